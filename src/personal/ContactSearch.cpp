#include "personal/ContactSearch.h"

#include "app/Helpers.h"

namespace {
const char* const Columns[] = {nullptr, "CNAM", "ADR", "ZCD", "BTP", "BDS", "PNAM",
                               "PDSG",  "PHN",  "FAX", "MOB", "UAN", "EML", "WEB"};
} // namespace

QString ContactSearch::SearchColumn(int index) {
    if (index < 1 || index > 13)
        return QStringLiteral("WRD");
    return QStringLiteral("UPPER(%1)").arg(QLatin1String(Columns[index]));
}

static QString convertedText(const QString& text) {
    QString converted = text;
    converted.replace(u' ', u'%');
    return DatabaseUpper(converted);
}

QStringList ContactSearch::searchWords(const QString& text) {
    return convertedText(text).split(u'%', Qt::SkipEmptyParts);
}

QString ContactSearch::pattern(const QString& text) {
    return QuoteSql(u'%' + convertedText(text) + u'%');
}

QString ContactSearch::folderCondition(int folderId) {
    return folderId == 1 ? QString() : QStringLiteral(" WHERE CTCD=") + QString::number(folderId);
}

QString ContactSearch::folderListSql(int folderId) {
    return QStringLiteral("SELECT * FROM CONT") + folderCondition(folderId) +
           QStringLiteral(" ORDER BY CNAM");
}

QString ContactSearch::folderCountSql(int folderId) {
    return QStringLiteral("SELECT COUNT(*) FROM CONT") + folderCondition(folderId);
}

QString ContactSearch::searchListSql(int fieldIndex, const QString& quotedPattern) {
    return QStringLiteral("SELECT * FROM CONT WHERE ") + SearchColumn(fieldIndex) +
           QStringLiteral(" LIKE ") + quotedPattern + QStringLiteral(" ORDER BY CNAM");
}

QString ContactSearch::searchCountSql(int fieldIndex, const QString& quotedPattern) {
    return QStringLiteral("SELECT COUNT(*) FROM CONT WHERE ") + SearchColumn(fieldIndex) +
           QStringLiteral(" LIKE ") + quotedPattern;
}

QString ContactSearch::searchKeysSql(int fieldIndex, const QString& quotedPattern, bool fewHits) {
    QString sql = QStringLiteral("SELECT CD FROM CONT WHERE ") + SearchColumn(fieldIndex) +
                  QStringLiteral(" LIKE ") + quotedPattern + QStringLiteral(" ORDER BY CNAM");
    if (fewHits) {
        // The record number is the last four bytes of the key, least significant first.
        for (int byte = 8; byte >= 5; --byte)
            sql += QStringLiteral(", ASCII_VAL(SUBSTRING(RDB$DB_KEY FROM %1 FOR 1))").arg(byte);
    }
    return sql;
}

bool ContactSearch::isHighlighted(const QString& cellText, int column, int fieldChoice,
                                  const QStringList& words) {
    if (words.isEmpty() || column == 0)
        return false;
    if (fieldChoice != 0 && column != fieldChoice)
        return false;
    const QString upper = DatabaseUpper(cellText);
    for (const QString& word : words)
        if (upper.contains(word))
            return true;
    return false;
}
