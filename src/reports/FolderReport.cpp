#include "reports/FolderReport.h"

#include "data/Query.h"
#include "reports/ReportFileError.h"
#include "reports/ReportPdf.h"
#include "reports/ReportRows.h"
#include "reports/ReportTable.h"
#include "reports/ReportWriter.h"

#include <QFile>
#include <QTemporaryDir>

FolderReport::FolderReport(Transaction& transaction) : m_transaction(transaction) {}

int FolderReport::folderByPath(const QString& path) {
    const QStringList titles = path.split(u'/', Qt::SkipEmptyParts);
    if (titles.isEmpty())
        return 1;
    Query q(m_transaction);
    q.setSql(QStringLiteral("SELECT FIRST 1 CD FROM CATE WHERE PCD = :PCD AND TITLE = :TITLE "
                            "ORDER BY CD"));
    int folder = 0;
    for (const QString& title : titles) {
        q.setParam(QStringLiteral("PCD"), folder);
        q.setParam(QStringLiteral("TITLE"), title.trimmed());
        q.open();
        if (q.eof())
            return -1;
        folder = q.value(0).toInt();
        q.close();
    }
    return folder;
}

QList<ContactRow> FolderReport::contacts(int folder) {
    Query q(m_transaction);
    if (folder == 1) {
        q.setSql(QStringLiteral("SELECT * FROM CONT ORDER BY CNAM"));
    } else {
        q.setSql(QStringLiteral(
            "WITH RECURSIVE BELOW (CD) AS (SELECT CD FROM CATE WHERE CD = :CD UNION ALL "
            "SELECT C.CD FROM CATE C JOIN BELOW B ON C.PCD = B.CD) "
            "SELECT T.* FROM CONT T WHERE T.CTCD IN (SELECT CD FROM BELOW) ORDER BY T.CNAM"));
        q.setParam(QStringLiteral("CD"), folder);
    }
    QList<ContactRow> rows;
    for (q.open(); !q.eof(); q.next()) {
        ContactRow r;
        r.CTCD = q.value(QStringLiteral("CTCD")).toInt();
        r.CD = q.value(QStringLiteral("CD")).toInt();
        r.CNAM = q.value(QStringLiteral("CNAM")).toString();
        r.PNAM = q.value(QStringLiteral("PNAM")).toString();
        r.PDSG = q.value(QStringLiteral("PDSG")).toString();
        r.ADR = q.value(QStringLiteral("ADR")).toString();
        r.ZCD = q.value(QStringLiteral("ZCD")).toString();
        r.PHN = q.value(QStringLiteral("PHN")).toString();
        r.MOB = q.value(QStringLiteral("MOB")).toString();
        r.UAN = q.value(QStringLiteral("UAN")).toString();
        r.FAX = q.value(QStringLiteral("FAX")).toString();
        r.EML = q.value(QStringLiteral("EML")).toString();
        r.WEB = q.value(QStringLiteral("WEB")).toString();
        r.BTP = q.value(QStringLiteral("BTP")).toString();
        r.BDS = q.value(QStringLiteral("BDS")).toString();
        rows.append(r);
    }
    return rows;
}

void FolderReport::writePdf(const QList<ContactRow>& rows, const QString& templatePath,
                            const QString& pdfPath) {
    QTemporaryDir work;
    if (!work.isValid())
        throw ReportFileError::cannotCreate(QStringLiteral("temporary folder"), work.errorString());
    const QString rtfPath = work.filePath(QStringLiteral("PD_RP.RTF"));
    ReportTable ds(ReportTable::Layout::Contact);
    ReportRows::fillContactReport(ds, rows);
    ReportWriter::writeAndBlank(ds, templatePath, rtfPath);
    ReportPdf::write(readReportFile(rtfPath), pdfPath, QStringLiteral("Personal report"));
}
