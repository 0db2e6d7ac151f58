#pragma once

#include <QString>

// The record kept with every row of the PTCL result list; fields are named after the CONT columns
// they fill when the row is copied into a folder. Only CNAM, ADR and PHN are filled by a search.
struct PtclRow {
    int CD = 0;   // not filled: 0
    int CCD = 0;  // not filled: 0
    QString CNAM; // name
    QString PNAM;
    QString PDSG;
    QString ADR; // address, words capitalised
    QString ZCD;
    QString PHN; // phone number; its first three characters are the area code
    QString MOB;
    QString UAN;
    QString FAX;
    QString EML;
    QString WEB;
    QString BTP;
    QString BDS;
};
