#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class Databases;

// Update sets made by the real tk-updateset tool from a source folder built in the test.
class UpdateSetFixture {
public:
    UpdateSetFixture();

    // Adds a file to the update's source folder ("bin/x", "prs_100.sql", ...).
    void addFile(const QString& relative, const QByteArray& bytes,
                 QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner);
    // The repository's development key, which the program under test trusts.
    static QString developmentKey() { return QStringLiteral(TK_DEV_UPDATE_KEY); }

    // Runs the tool, signing with `key`; the set lands in updateDir(). Answers the tool's exit
    // code.
    int build(const QString& volumeSize = QStringLiteral("10m"),
              const QString& key = developmentKey());
    // Signs the set in updateDir() as it stands (file.sig), as the tool's --sign-only does.
    int sign(const QString& key = developmentKey());
    // Makes a key pair PREFIX.key / PREFIX.pub with the tool.
    int makeKey(const QString& prefix);
    // Archives `paths` of the source folder as they stand (no "file/" put in front) with the
    // 7z command into one volume with its part list and fingerprint, signed with the
    // development key, as a maker's mistake would. Answers the command's exit code.
    int buildRaw(const QStringList& paths);

    // The folder holding source/ and update/: the service's data folder.
    QString root() const { return m_dir.path(); }
    QString sourceDir() const { return m_dir.path() + QStringLiteral("/source"); }
    QString updateDir() const { return m_dir.path() + QStringLiteral("/update"); }
    QString toolOutput() const { return m_output; }
    int partCount() const;
    QByteArray fingerprint() const;
    QByteArray partList() const;
    QByteArray signature() const;

    // Copies the parts into a program's temp folder and records them as downloaded (state 2)
    // with the set's fingerprint and signature, as the download would have left them.
    void placeDownloaded(Databases& db, const QString& tempDir) const;

    // Bytes that do not compress, so volumes come out at their set size.
    static QByteArray noise(int size, quint32 seed = 1);

private:
    int runTool(const QStringList& args);

    QTemporaryDir m_dir;
    QString m_output;
};

QByteArray readAll(const QString& path);
