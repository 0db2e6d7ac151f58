#include "online/ScriptProgress.h"

#include "app/Helpers.h"
#include "data/SingleValueHelper.h"

#include <exception>

ScriptProgress::ScriptProgress(SingleValueHelper& sysMm) : m_mm(sysMm) {}

bool ScriptProgress::available() {
    if (m_available < 0)
        m_available = m_mm.QueryCount(QString(), QStringLiteral("RDB$RELATIONS"),
                                      QStringLiteral("RDB$RELATION_NAME='HVXSCR'")) > 0;
    return m_available > 0;
}

int ScriptProgress::resumePoint(const QString& name, const QString& digest) {
    if (!available())
        return 0;
    return m_mm.QueryInteger(
        QStringLiteral("STM"), QStringLiteral("HVXSCR"),
        QStringLiteral("NAM=%1 AND HSH=%2").arg(QuoteSql(name), QuoteSql(digest)));
}

bool ScriptProgress::record(const QString& name, const QString& digest, int statement) noexcept {
    try {
        if (!available())
            return false;
        m_mm.ExecStatement(QStringLiteral("update or insert into hvxscr (nam,hsh,stm) values "
                                          "(%1,%2,%3) matching (nam)")
                               .arg(QuoteSql(name), QuoteSql(digest))
                               .arg(statement));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void ScriptProgress::clear() {
    if (available())
        m_mm.ExecStatement(QStringLiteral("delete from hvxscr"));
}
