#include "online/UpdateQueue.h"

#include "app/Helpers.h"
#include "data/Query.h"
#include "data/SingleValueHelper.h"
#include "data/Transaction.h"
#include "online/UpdateSignature.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {
// Configuration rows of HVX beside the state (4) and the fingerprint (3).
constexpr int SignatureRow = 2;
constexpr int InstallAttemptsRow = 5;
constexpr int UnconfirmedStartsRow = 6;
} // namespace

UpdateQueue::UpdateQueue(SingleValueHelper& sysMm, const QString& tempDir)
    : m_mm(sysMm), m_temp(tempDir) {}

std::optional<QList<UpdatePart>> UpdateQueue::parsePartList(const QStringList& lines) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,10}),'([0-9A-Fa-f]{32})'$"));
    QList<UpdatePart> parts;
    QSet<int> seen;
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = form.match(line);
        if (!m.hasMatch())
            return std::nullopt;
        bool ok = false;
        const int id = m.captured(1).toInt(&ok);
        if (!ok || seen.contains(id))
            return std::nullopt;
        seen.insert(id);
        parts.append({id, m.captured(2)});
    }
    return parts;
}

QString UpdateQueue::partFileName(int id) {
    return QStringLiteral("file.zup.") + PadLeft(QString::number(id), 3, u'0');
}

QString UpdateQueue::partPath(int id) const {
    return m_temp + u'/' + partFileName(id);
}

QString UpdateQueue::stateText() const {
    return m_mm.QueryText(QStringLiteral("COM"), QStringLiteral("HVX"), QStringLiteral("ID=4"));
}

QString UpdateQueue::storedFingerprint() const {
    return m_mm.QueryText(QStringLiteral("COM"), QStringLiteral("HVX"), QStringLiteral("ID=3"));
}

void UpdateQueue::setState(State state) {
    m_mm.ExecStatement(QStringLiteral("update hvx set com=%1 where id=4").arg(int(state)));
}

void UpdateQueue::commit() {
    m_mm.transaction().CommitRetaining();
}

int UpdateQueue::acceptPartList(const QList<UpdatePart>& parts, const QString& fingerprint,
                                const QString& signature) {
    m_mm.ExecStatement(QStringLiteral("delete from hvxupd"));
    for (const UpdatePart& p : parts)
        m_mm.ExecStatement(QStringLiteral("insert into hvxupd (id,hsh) values (%1,%2)")
                               .arg(p.id)
                               .arg(QuoteSql(p.hsh)));
    const int queued = m_mm.QueryCount(QStringLiteral("ID"), QStringLiteral("HVXUPD"));
    if (queued >= 1) {
        m_mm.ExecStatement(
            QStringLiteral("update hvx set com=%1 where id=3").arg(QuoteSql(fingerprint)));
        writeRow(SignatureRow, signature);
        setState(Downloading);
    }
    commit();
    return queued;
}

bool UpdateQueue::signatureHolds() const {
    try {
        const auto signature =
            UpdateSignature::parse(m_mm.QueryText(QStringLiteral("COM"), QStringLiteral("HVX"),
                                                  QStringLiteral("ID=%1").arg(SignatureRow)));
        if (!signature)
            return false;
        QList<UpdatePart> parts;
        Query q(m_mm.transaction());
        q.setSql(QStringLiteral("SELECT ID,HSH FROM HVXUPD ORDER BY ID"));
        for (q.open(); !q.eof(); q.next())
            parts.append({q.value(0).toInt(), q.value(1).toString()});
        return !parts.isEmpty() &&
               UpdateSignature::verify(UpdateSignature::message(storedFingerprint(), parts),
                                       *signature);
    } catch (const std::exception&) {
        return false;
    }
}

std::optional<UpdatePart> UpdateQueue::nextPending() const {
    Query q(m_mm.transaction());
    q.setSql(QStringLiteral("SELECT FIRST 1 ID,HSH FROM HVXUPD WHERE ST IS NULL ORDER BY ID"));
    q.open();
    if (q.eof())
        return std::nullopt;
    return UpdatePart{q.value(0).toInt(), q.value(1).toString()};
}

void UpdateQueue::markDownloaded(int id) {
    m_mm.ExecStatement(QStringLiteral("update hvxupd set st=1 where id=%1").arg(id));
    commit();
}

void UpdateQueue::markAllDownloaded() {
    setState(Downloaded);
    commit();
}

bool UpdateQueue::Che_Upd_Intg() {
    try {
        QList<UpdatePart> downloaded;
        {
            Query q(m_mm.transaction());
            q.setSql(QStringLiteral("SELECT ID,HSH FROM HVXUPD WHERE ST=1 ORDER BY ID"));
            for (q.open(); !q.eof(); q.next())
                downloaded.append({q.value(0).toInt(), q.value(1).toString()});
        }
        bool intact = true;
        for (const UpdatePart& p : downloaded) {
            if (!FileMatchesMd5(partPath(p.id), p.hsh)) {
                intact = false;
                m_mm.ExecStatement(
                    QStringLiteral("update hvxupd set st=null where id=%1").arg(p.id));
            }
        }
        if (!intact)
            setState(Downloading);
        commit();
        return intact;
    } catch (const std::exception&) {
        return false;
    }
}

bool UpdateQueue::Che_Suc_Upd() {
    const QString marker = m_temp + QStringLiteral("/replica.ok");
    if (!QFile::exists(marker))
        return false;
    setState(Nothing);
    commit();
    QFile::remove(marker);
    removeFiles();
    return true;
}

// The row holds "<count> <fingerprint>"; rows missing in a database made before them are
// added on first use.
int UpdateQueue::countFor(int row) {
    const QString fingerprint = storedFingerprint();
    const QString stored = m_mm.QueryText(QStringLiteral("COM"), QStringLiteral("HVX"),
                                          QStringLiteral("ID=%1").arg(row));
    const int count =
        stored.section(u' ', 1) == fingerprint ? stored.section(u' ', 0, 0).toInt() + 1 : 1;
    writeRow(row, QString::number(count) + u' ' + fingerprint);
    commit();
    return count;
}

void UpdateQueue::writeRow(int row, const QString& value) {
    m_mm.ExecStatement(
        QStringLiteral("update or insert into hvx (id,com) values (%1,%2) matching (id)")
            .arg(row)
            .arg(QuoteSql(value)));
}

int UpdateQueue::countInstallAttempt() {
    return countFor(InstallAttemptsRow);
}

int UpdateQueue::countUnconfirmedStart() {
    return countFor(UnconfirmedStartsRow);
}

void UpdateQueue::setAside() {
    m_mm.ExecStatement(QStringLiteral("delete from hvxupd"));
    setState(Nothing);
    commit();
    removeFiles();
}

void UpdateQueue::setAsideUntrusted() {
    m_mm.ExecStatement(QStringLiteral("update hvx set com='' where id=3"));
    m_mm.ExecStatement(QStringLiteral("delete from hvx where id=%1").arg(SignatureRow));
    setAside();
}

void UpdateQueue::removeFiles() const {
    const QDir temp(m_temp);
    for (const QString& part :
         temp.entryList({QStringLiteral("file.zup.[0-9][0-9][0-9]*")}, QDir::Files))
        QFile::remove(temp.filePath(part));
    removeFolder(m_temp + QStringLiteral("/file"));
}

void UpdateQueue::removeFolder(const QString& dir) {
    if (!QFileInfo::exists(dir))
        return;
    QDirIterator it(dir, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFile::permissions(it.filePath()) | QFile::WriteOwner |
                                             QFile::ExeOwner | QFile::ReadOwner);
    QDir(dir).removeRecursively();
}
