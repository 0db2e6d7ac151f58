#pragma once

#include "TempDatabase.h"
#include "data/Databases.h"

#include <QMap>
#include <QString>
#include <memory>

// A fresh data database with helpers that add folders and contacts the way the program does
// (identifiers from the generators).
class PersonalFixture {
public:
    PersonalFixture();

    Databases& db() { return *m_db; }
    // Adds a folder under `parent` (0: top level) and answers its CD.
    int addFolder(int parent, const QString& title, const QString& comments = QString());
    // Adds a contact in the folder; further columns by name, e.g. {"PHN", "042-111"}.
    int addContact(int folder, const QString& title, const QMap<QString, QString>& columns = {});
    int count(const QString& table, const QString& condition = QString());
    QString text(const QString& expression, const QString& table, const QString& condition);
    QString settingsPath() const { return m_tmp.binDir() + QStringLiteral("/settings.xml"); }
    QString root() const { return m_tmp.root(); }
    QString binDir() const { return m_tmp.binDir(); }
    void installTemplates() const { m_tmp.installTemplates(); }
    // Detaches from both databases, so that another process (a command-line tool) can open
    // them; the fixture's database helpers are not used afterwards.
    void closeDatabases() { m_db.reset(); }

private:
    TempDatabase m_tmp;
    std::unique_ptr<Databases> m_db;
};

// SQL literal for test data.
QString sqlText(const QString& text);
