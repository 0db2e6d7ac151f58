#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

class Databases;

// Update sets made by the real tk-updateset tool from a source folder built in the test.
class UpdateSetFixture {
public:
    UpdateSetFixture();

    // Adds a file to the update's source folder ("bin/x", "prs_100.sql", ...).
    void addFile(const QString& relative, const QByteArray& bytes,
                 QFile::Permissions perms = QFile::ReadOwner | QFile::WriteOwner);
    // Runs the tool; the set lands in updateDir(). Answers the tool's exit code.
    int build(const QString& volumeSize = QStringLiteral("10m"));
    // Archives `paths` of the source folder as they stand (no "file/" put in front) with the
    // 7z command into one volume with its part list, as a maker's mistake or a hostile
    // server would. Answers the command's exit code.
    int buildRaw(const QStringList& paths);

    // The folder holding source/ and update/: the service's data folder.
    QString root() const { return m_dir.path(); }
    QString sourceDir() const { return m_dir.path() + QStringLiteral("/source"); }
    QString updateDir() const { return m_dir.path() + QStringLiteral("/update"); }
    QString toolOutput() const { return m_output; }
    int partCount() const;
    QByteArray fingerprint() const;
    QByteArray partList() const;

    // Copies the parts into a program's temp folder and records them as downloaded (state 2),
    // as the download would have left them.
    void placeDownloaded(Databases& db, const QString& tempDir) const;

    // Bytes that do not compress, so volumes come out at their set size.
    static QByteArray noise(int size, quint32 seed = 1);

private:
    QTemporaryDir m_dir;
    QString m_output;
};

QByteArray readAll(const QString& path);
