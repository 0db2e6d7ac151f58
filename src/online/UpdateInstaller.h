#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "online/ScriptProgress.h"

class Databases;

// Installs a downloaded update whose stored signature holds (any other is left untouched):
// unpacks ../temp/file.zup.001... into ../temp/file/ (on a worker thread, reporting progress),
// checks that the updater can put every file in place, takes the new updater copy from it,
// runs the update's data and system scripts and records state 3. An entry that cannot be
// unpacked is logged and passed over; any other failure leaves the state as it was.
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
    // "path: reason" for each archive entry the last installation could not unpack.
    QStringList notUnpacked() const { return m_notUnpacked; }

signals:
    void captionChanged(const QString& caption);
    void progressChanged(int percent);
    // A script's COMMIT at `statement` was recorded: a later run goes on after it.
    void scriptCommitted(const QString& script, int statement);

private:
    bool extract();
    bool checkPlan();
    static void log(const QString& line);
    void takeReplica();
    void runScript(const QString& path, bool data);

    Databases& m_db;
    QString m_programDir;
    QString m_temp;
    QString m_error;
    QStringList m_notUnpacked;
    ScriptProgress m_progress;
    int m_percent = -1;
};
