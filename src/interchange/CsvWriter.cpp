#include "interchange/CsvWriter.h"

#include "interchange/CsvContactReader.h"

namespace {
QByteArray line(const QStringList& fields) {
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        out += CsvWriter::field(fields[i]);
    }
    return out + "\r\n";
}
} // namespace

QByteArray CsvWriter::field(const QString& text) {
    const bool quote = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
                       text.contains(u'\r') || text.contains(u';') || text.contains(u'\t') ||
                       text.startsWith(u' ') || text.endsWith(u' ');
    if (!quote)
        return text.toUtf8();
    QString inner = text;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return '"' + inner.toUtf8() + '"';
}

QByteArray CsvWriter::header() {
    return QByteArray("\xEF\xBB\xBF") + line(CsvContactReader::ownHeaders());
}

QByteArray CsvWriter::record(const ContactRow& row, const QString& folderPath,
                             const QString& cityTitle) {
    return line({folderPath, row.CNAM, cityTitle, row.PHN, row.FAX, row.MOB, row.EML, row.WEB,
                 row.PNAM, row.PDSG, row.ADR, row.ZCD, row.UAN, row.BTP, row.BDS});
}
