#pragma once

#include <QString>

// The record kept with every row of the personal contact list; fields are named after the CONT
// columns they hold (integers read NULL as 0, texts read NULL as an empty text).
struct ContactRow {
    int CTCD = 0; // folder the contact belongs to
    int CD = 0;   // contact identifier
    int CCD = 0;  // city (CTRY.CD), 0 when none
    int HOT = 0;  // 1 for a hot contact
    QString CNAM; // title
    QString PNAM; // contact person
    QString PDSG; // designation of the contact person
    QString ADR;  // address
    QString ZCD;  // zip code
    QString PHN;  // phone number(s), separated by ","
    QString MOB;  // mobile number(s), separated by ","
    QString UAN;  // universal access number
    QString FAX;  // fax number(s)
    QString EML;  // e-mail address(es)
    QString WEB;  // web site, without scheme
    QString BTP;  // business (kind of business)
    QString BDS;  // description of the business, several lines
};
