#include "contacts/EditingStatements.h"

#include "data/DataSetEditor.h"

#include <QStringList>

namespace {
const char* const ContactColumns[] = {"CTCD", "CD",  "PCD", "CNAM", "PNAM", "PDSG", "ADR", "ZCD",
                                      "PHN",  "MOB", "UAN", "FAX",  "EML",  "WEB",  "CCD", "BTP",
                                      "BDS",  "SLG", "HOT", "RTP",  "ORD",  "CT",   "LU"};
constexpr int ContactColumnCount = int(sizeof(ContactColumns) / sizeof(ContactColumns[0]));
} // namespace

const char* const* EditingStatements::contactColumns(int* count) {
    if (count)
        *count = ContactColumnCount;
    return ContactColumns;
}

void EditingStatements::configureFolder(DataSetEditor& editor) {
    editor.setSelectSql(QStringLiteral("select * from CATE WHERE CD=:VL"));
    editor.setInsertSql(QStringLiteral("INSERT INTO CATE (CD, PCD, TITLE, COM, ORD) "
                                       "VALUES (:CD, :PCD, :TITLE, :COM, :ORD)"));
    editor.setModifySql(QStringLiteral("UPDATE CATE SET CD = :CD, PCD = :PCD, TITLE = :TITLE, "
                                       "COM = :COM, ORD = :ORD WHERE CD = :OLD_CD"));
    editor.setRefreshSql(
        QStringLiteral("SELECT CD, PCD, TITLE, COM, ORD FROM CATE WHERE CD = :CD"));
    editor.setGenerator(QStringLiteral("GEN_CATE"), QStringLiteral("CD"));
}

void EditingStatements::configureContact(DataSetEditor& editor) {
    QStringList columns, params, assignments;
    for (const char* c : ContactColumns) {
        const QString name = QString::fromLatin1(c);
        columns << name;
        params << u':' + name;
        assignments << name + QStringLiteral(" = :") + name;
    }
    const QString list = columns.join(QStringLiteral(", "));
    editor.setSelectSql(QStringLiteral("select * from CONT WHERE CD=:VL"));
    editor.setInsertSql(QStringLiteral("INSERT INTO CONT (") + list + QStringLiteral(") VALUES (") +
                        params.join(QStringLiteral(", ")) + u')');
    editor.setModifySql(QStringLiteral("UPDATE CONT SET ") +
                        assignments.join(QStringLiteral(", ")) +
                        QStringLiteral(" WHERE CD = :OLD_CD"));
    editor.setRefreshSql(QStringLiteral("SELECT ") + list +
                         QStringLiteral(", WRD FROM CONT WHERE CD = :CD"));
    editor.setGenerator(QStringLiteral("GEN_CONT"), QStringLiteral("CD"));
}
