#include "data/ScriptRunner.h"

#include "data/Connection.h"
#include "data/DatabaseError.h"
#include "data/FbClient.h"
#include "data/Query.h"
#include "data/Transaction.h"

#include <QRegularExpression>

using namespace Firebird;

namespace {

// Walks a script and hands out each statement; SET TERM is applied while splitting so that
// a changed terminator takes effect for the text that follows it.
class ScriptSplitter {
public:
    explicit ScriptSplitter(const QString& script) : m_s(script) {}

    bool next(QString& statement) {
        QString current;
        const qsizetype n = m_s.size();
        while (m_pos < n) {
            const QChar c = m_s[m_pos];
            if (c == u'/' && peek(1) == u'*') {
                const qsizetype end = m_s.indexOf(QLatin1String("*/"), m_pos + 2);
                m_pos = end < 0 ? n : end + 2;
                current += u' ';
                continue;
            }
            if (c == u'-' && peek(1) == u'-') {
                const qsizetype end = m_s.indexOf(u'\n', m_pos);
                m_pos = end < 0 ? n : end;
                continue;
            }
            if (c == u'\'' || c == u'"') {
                current += quoted(c);
                continue;
            }
            if (m_s.mid(m_pos, m_term.size()) == m_term) {
                m_pos += m_term.size();
                if (applySetTerm(current.trimmed()))
                    current.clear();
                else if (finish(current, statement))
                    return true;
                continue;
            }
            current += c;
            ++m_pos;
        }
        // A last statement without terminator still counts.
        if (applySetTerm(current.trimmed()))
            return false;
        return finish(current, statement);
    }

private:
    QChar peek(int ahead) const {
        return m_pos + ahead < m_s.size() ? m_s[m_pos + ahead] : QChar();
    }

    QString quoted(QChar quote) {
        const qsizetype start = m_pos++;
        while (m_pos < m_s.size()) {
            if (m_s[m_pos] == quote) {
                if (peek(1) == quote) {
                    m_pos += 2;
                    continue;
                }
                ++m_pos;
                break;
            }
            ++m_pos;
        }
        return m_s.mid(start, m_pos - start);
    }

    bool applySetTerm(const QString& text) {
        static const QRegularExpression re(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
        const auto m = re.match(text);
        if (!m.hasMatch())
            return false;
        m_term = m.captured(1);
        return true;
    }

    static bool finish(QString& current, QString& statement) {
        statement = current.trimmed();
        current.clear();
        return !statement.isEmpty();
    }

    const QString& m_s;
    qsizetype m_pos = 0;
    QString m_term = QStringLiteral(";");
};

bool matches(const QString& text, const char* pattern, QRegularExpressionMatch* match = nullptr) {
    const QRegularExpression re(QString::fromLatin1(pattern),
                                QRegularExpression::CaseInsensitiveOption |
                                    QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(text);
    if (match)
        *match = m;
    return m.hasMatch();
}

QString unquote(const QString& s) {
    if (s.size() >= 2 && (s.front() == u'\'' || s.front() == u'"') && s.back() == s.front())
        return s.mid(1, s.size() - 2);
    return s;
}

} // namespace

ScriptRunner::ScriptRunner(Transaction& transaction) : m_transaction(transaction) {}

QStringList ScriptRunner::splitStatements(const QString& script) {
    QStringList out;
    ScriptSplitter splitter(script);
    QString statement;
    while (splitter.next(statement))
        if (!statement.isEmpty())
            out << statement;
    return out;
}

void ScriptRunner::setCommitHooks(CommitHook before, CommitHook after) {
    m_beforeCommit = std::move(before);
    m_afterCommit = std::move(after);
}

void ScriptRunner::RunScript(const QString& script, int resumeAfter) {
    ScriptSplitter splitter(script);
    QString statement;
    m_number = 0;
    while (splitter.next(statement)) {
        if (statement.isEmpty())
            continue;
        if (matches(statement, "^(EXIT|QUIT)$"))
            break;
        if (++m_number <= resumeAfter) {
            // Done before: only the connection's settings are taken up again.
            if (matches(statement, "^SET\\s+(SQL\\s+DIALECT|NAMES|AUTODDL)\\b"))
                runCommand(statement);
            continue;
        }
        try {
            runStatement(statement);
            ++m_executed;
        } catch (const DatabaseError& error) {
            if (!m_onError || !m_onError(statement, error))
                throw;
            ++m_skipped;
        }
    }
}

void ScriptRunner::runStatement(const QString& statement) {
    if (!runCommand(statement))
        execute(statement);
}

// The isql commands that are not SQL; answers false for a statement to run on the engine.
bool ScriptRunner::runCommand(const QString& statement) {
    QRegularExpressionMatch m;
    if (matches(statement, "^COMMIT(\\s+WORK)?$")) {
        if (m_beforeCommit)
            m_beforeCommit(m_number);
        m_transaction.commit();
        if (m_afterCommit)
            m_afterCommit(m_number);
    } else if (matches(statement, "^ROLLBACK(\\s+WORK)?$")) {
        m_transaction.rollback();
    } else if (matches(statement, "^SET\\s+SQL\\s+DIALECT\\s+(\\d+)$", &m)) {
        m_dialect = m.captured(1).toInt();
    } else if (matches(statement, "^SET\\s+NAMES\\s+(\\S+)$", &m)) {
        m_names = m.captured(1);
    } else if (matches(statement, "^SET\\s+AUTODDL(\\s+(ON|OFF))?$", &m)) {
        m_autoDdl = m.captured(2).compare(QLatin1String("OFF"), Qt::CaseInsensitive) != 0;
    } else if (matches(statement, "^SET\\s+STATISTICS\\s+INDEX\\s")) {
        return false; // SQL: recomputes an index's selectivity
    } else if (matches(statement, "^SET\\s+(STATISTICS|STATS|LIST|ECHO|BAIL|HEADING|COUNT|"
                                  "PLAN|PLANONLY|WARNINGS|WNG|TIME|BLOBDISPLAY|ROWCOUNT)\\b")) {
        // Display settings of the interactive tool: nothing to do here.
    } else if (matches(statement, "^CREATE\\s+(DATABASE|SCHEMA)\\s")) {
        createDatabase(statement);
    } else if (matches(statement, "^(CONNECT|RECONNECT)\\b")) {
        connectTo(statement);
    } else {
        return false;
    }
    return true;
}

void ScriptRunner::execute(const QString& statement) {
    // As in isql with AUTODDL on, definitions run and commit in a transaction of their own,
    // so the script's data work after them sees the new objects and stays uncommitted.
    if (m_autoDdl && matches(statement, "^(CREATE|ALTER|DROP|RECREATE|DECLARE|COMMENT|GRANT|"
                                        "REVOKE)\\s")) {
        Transaction ddl(m_transaction.connection());
        Query query(ddl);
        query.setSql(statement);
        query.execute();
        ddl.commit();
        return;
    }
    Query query(m_transaction);
    query.setSql(statement);
    query.execute();
}

void ScriptRunner::createDatabase(const QString& statement) {
    FbClient& fb = FbClient::instance();
    KeepSignalHandlers keep;
    FbStatus status;
    QRegularExpressionMatch m;
    matches(statement, "^CREATE\\s+\\w+\\s+('[^']*'|\"[^\"]*\")", &m);
    const QString path = unquote(m.captured(1));
    const QByteArray text = statement.toLocal8Bit();
    Connection& connection = m_transaction.connection();
    m_transaction.rollback();
    IAttachment* attachment = fbCall([&] {
        FB_BOOLEAN isCreate = false;
        return fb.util()->executeCreateDatabase(&status, unsigned(text.size()), text.constData(),
                                                unsigned(m_dialect), &isCreate);
    });
    connection.adopt(attachment, path);
    // The new database is attached again like any other, so the rest of the script talks to
    // it in UTF-8.
    connection.close();
    connection.open();
}

void ScriptRunner::connectTo(const QString& statement) {
    QRegularExpressionMatch m;
    Connection& connection = m_transaction.connection();
    m_transaction.rollback();
    if (matches(statement, "^CONNECT\\s+('[^']*'|\"[^\"]*\"|\\S+)", &m)) {
        connection.close();
        connection.setDatabaseName(unquote(m.captured(1)));
    } else {
        connection.close();
    }
    connection.open();
}
