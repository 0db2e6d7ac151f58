#pragma once

#include <QString>

class SingleValueHelper;

// How far each update script got, kept in the system database (table HVXSCR: the script's
// file name, the MD5 digest of its text and the number of its last committed statement), so
// a script cut short by a crash goes on after its last COMMIT instead of running again from
// the start. A database made before the table existed simply keeps no record.
class ScriptProgress {
public:
    explicit ScriptProgress(SingleValueHelper& sysMm);

    // Whether the table is there.
    bool available();
    // The statement a run of this script (same name, same text) committed last; 0 if none.
    int resumePoint(const QString& name, const QString& digest);
    // Records `statement` in the system database's transaction, not committed. False (and
    // nothing recorded) when it cannot be written.
    bool record(const QString& name, const QString& digest, int statement) noexcept;
    // Forgets every record, in the transaction that records the installation's end.
    void clear();

private:
    SingleValueHelper& m_mm;
    int m_available = -1;
};
