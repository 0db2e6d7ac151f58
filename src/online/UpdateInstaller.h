#pragma once

#include <QObject>
#include <QString>

class Databases;

// Installs a downloaded update: unpacks ../temp/file.zup.001... into ../temp/file/ (on a worker
// thread, reporting progress), takes the new updater copy from it, runs the update's data and
// system scripts and records state 3. Any failure leaves the state as it was.
class UpdateInstaller : public QObject {
    Q_OBJECT
public:
    static inline const QString ExtractingCaption = QStringLiteral("Extracting Files...");
    static inline const QString UpdatingCaption = QStringLiteral("Updating Data");

    // `programDir` is the program's folder; the temp folder is beside it.
    UpdateInstaller(Databases& db, const QString& programDir = QStringLiteral("."),
                    QObject* parent = nullptr);

    // Runs the whole installation; true once state 3 is committed. Keeps the event loop
    // running while the files are unpacked.
    bool install();
    QString error() const { return m_error; }

signals:
    void captionChanged(const QString& caption);
    void progressChanged(int percent);

private:
    bool extract();
    void takeReplica();
    void runScript(const QString& path, bool data);

    Databases& m_db;
    QString m_programDir;
    QString m_temp;
    QString m_error;
    int m_percent = -1;
};
