#pragma once

#include <QString>
#include <memory>

class Databases;

// The program the tool belongs to: its folder (the tool's own), its databases in ../DATA/,
// opened on first use, and whether the program is running and holds them.
class ProgramData {
public:
    explicit ProgramData(const QString& binDirectory);
    ~ProgramData();

    QString binDirectory() const { return m_bin; }
    QString programPath() const;
    // Opens DATA.FDB and SYS.FDB; throws a std::runtime_error whose text says what to do
    // (close the running program first) when they cannot be had.
    Databases& databases();

private:
    QString m_bin;
    std::unique_ptr<Databases> m_databases;
};
