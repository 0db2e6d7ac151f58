#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class SingleValueHelper;

// One queued part of an update: its number and MD5 digest.
struct UpdatePart {
    int id = 0;
    QString hsh;
    bool operator==(const UpdatePart&) const = default;
};

// The update bookkeeping in the system database: the state (HVX row 4), the fingerprint of the
// accepted update set (row 3), the queue of parts HVXUPD, and the part files in the temp folder.
// Every statement is built from checked values; nothing is committed except where noted.
class UpdateQueue {
public:
    enum State { Nothing = 0, Downloading = 1, Downloaded = 2, Installed = 3 };

    // `tempDir` is the program's temp folder ("../temp").
    UpdateQueue(SingleValueHelper& sysMm, const QString& tempDir);

    // A part list as the service sends it, one "N,'32 hex digits'" per line. Any other line,
    // a number too large, or a number given twice makes the whole list unusable.
    static std::optional<QList<UpdatePart>> parsePartList(const QStringList& lines);
    // "file.zup." and the number padded to three digits.
    static QString partFileName(int id);

    QString partPath(int id) const;
    QString stateText() const;
    QString storedFingerprint() const;
    void setState(State state);
    // Replaces the queue; when it is not empty, stores the fingerprint, the set's signature
    // (its text form) and sets state 1, in one commit. Answers the number of parts queued.
    int acceptPartList(const QList<UpdatePart>& parts, const QString& fingerprint,
                       const QString& signature);
    // Whether the stored signature holds for the stored fingerprint and the whole queue, so a
    // queue or fingerprint changed since the check is never installed. Errors answer false.
    bool signatureHolds() const;
    // The pending part with the lowest number.
    std::optional<UpdatePart> nextPending() const;
    // Marks a part downloaded and verified. Commits.
    void markDownloaded(int id);
    // No part pending: state 2. Commits.
    void markAllDownloaded();

    // Start-up with state 2: whether every downloaded part is intact. A damaged or missing
    // part is queued again and the state goes back to 1, so the download fetches it again.
    bool Che_Upd_Intg();
    // Start-up with state 3: the updater's marker confirms the update (state 0, marker,
    // downloaded parts and unpacked files removed); without it the answer is false.
    bool Che_Suc_Upd();

    // Counts one more installation attempt, or one more start in state 3 without the
    // marker, of the stored fingerprint (a new fingerprint starts again at one) and answers
    // the count. Commits before the attempt, so one that crashes counts too.
    int countInstallAttempt();
    int countUnconfirmedStart();
    // Gives up the stored update: state 0, queue emptied, parts and unpacked files removed.
    // The fingerprint stays, so the same set is not taken again; a new one is. Commits.
    void setAside();
    // Gives up a stored update whose signature does not hold: as setAside(), and the
    // fingerprint and signature are forgotten, so the set is checked afresh when offered.
    void setAsideUntrusted();
    // Removes the downloaded parts and the unpacked update from the temp folder.
    void removeFiles() const;

    // Removes a folder with everything in it, making read-only folders writable first.
    static void removeFolder(const QString& dir);

private:
    void commit();
    int countFor(int row);
    // Sets configuration row `row`, adding it when a database made before it lacks it.
    void writeRow(int row, const QString& value);

    SingleValueHelper& m_mm;
    QString m_temp;
};
