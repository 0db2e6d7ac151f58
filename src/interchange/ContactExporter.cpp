#include "interchange/ContactExporter.h"

#include "data/SingleValueHelper.h"
#include "interchange/CsvWriter.h"
#include "interchange/VCardWriter.h"

#include <QElapsedTimer>
#include <QIODevice>

ContactExporter::ContactExporter(Transaction& transaction, Format format, QIODevice& out)
    : m_transaction(transaction), m_format(format), m_out(out), m_folders(transaction),
      m_query(transaction) {
    Query cities(transaction);
    cities.setSql(QStringLiteral("SELECT CD, TITLE FROM CTRY"));
    for (cities.open(); !cities.eof(); cities.next())
        m_cities.insert(cities.value(0).toInt(), cities.value(1).toString());
}

ContactExporter::Format ContactExporter::formatForFile(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? Format::Csv
                                                                         : Format::VCard4;
}

QString ContactExporter::columns() {
    return QStringLiteral("CTCD, CD, CCD, HOT, CNAM, PNAM, PDSG, ADR, ZCD, PHN, MOB, UAN, FAX, "
                          "EML, WEB, BTP, BDS");
}

ContactRow ContactExporter::rowOf(const Query& q) {
    ContactRow r;
    r.CTCD = q.value(0).toInt();
    r.CD = q.value(1).toInt();
    r.CCD = q.value(2).toInt();
    r.HOT = q.value(3).toInt();
    QString* texts[] = {&r.CNAM, &r.PNAM, &r.PDSG, &r.ADR, &r.ZCD, &r.PHN, &r.MOB,
                        &r.UAN,  &r.FAX,  &r.EML,  &r.WEB, &r.BTP, &r.BDS};
    for (int i = 0; i < 13; ++i)
        *texts[i] = q.value(4 + i).toString();
    return r;
}

void ContactExporter::addFolder(int folderId) {
    if (folderId == 1) {
        addAll();
        return;
    }
    for (int cd : m_folders.subtree(folderId))
        m_parts << Part{QStringLiteral("CTCD=%1").arg(cd)};
}

void ContactExporter::addContacts(const QList<int>& contactIds) {
    for (int cd : contactIds)
        m_parts << Part{QStringLiteral("CD=%1").arg(cd)};
}

void ContactExporter::addAll() {
    m_parts << Part{QString()};
}

int ContactExporter::total() const {
    SingleValueHelper helper(m_transaction);
    int count = 0;
    for (const Part& p : m_parts)
        count += helper.QueryCount(QString(), QStringLiteral("CONT"), p.where);
    return count;
}

bool ContactExporter::openNext() {
    m_query.close();
    if (m_parts.isEmpty())
        return false;
    const Part part = m_parts.takeFirst();
    m_query.setSql(QStringLiteral("SELECT %1 FROM CONT%2 ORDER BY CNAM, CD")
                       .arg(columns(), part.where.isEmpty()
                                           ? QString()
                                           : QStringLiteral(" WHERE ") + part.where));
    m_query.open();
    return true;
}

void ContactExporter::writeRow(const ContactRow& row) {
    const QString city = m_cities.value(row.CCD);
    switch (m_format) {
    case Format::VCard4:
        m_out.write(VCardWriter::card(row, city, VCardWriter::Version::V4));
        break;
    case Format::VCard3:
        m_out.write(VCardWriter::card(row, city, VCardWriter::Version::V3));
        break;
    case Format::Csv:
        m_out.write(CsvWriter::record(row, m_folders.path(row.CTCD), city));
        break;
    }
    ++m_written;
}

bool ContactExporter::step(int budgetMs) {
    QElapsedTimer clock;
    clock.start();
    if (!m_started) {
        m_started = true;
        if (m_format == Format::Csv)
            m_out.write(CsvWriter::header());
        if (!openNext())
            return false;
    }
    while (clock.elapsed() < budgetMs) {
        while (m_query.eof())
            if (!openNext())
                return false;
        writeRow(rowOf(m_query));
        m_query.next();
    }
    return true;
}

void ContactExporter::run() {
    while (step(1000)) {
    }
}
