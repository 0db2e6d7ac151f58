#include "data/Query.h"

#include "data/Connection.h"
#include "data/DatabaseError.h"
#include "data/FbClient.h"
#include "data/Transaction.h"

using namespace Firebird;

namespace {
QString paramKey(const QString& name) {
    return (name.startsWith(u':') ? name.mid(1) : name).toUpper();
}
} // namespace

Query::Query(Transaction& transaction) : m_transaction(transaction) {
    transaction.connection().addCloseListener(this, [this] { unprepare(); });
}

Query::~Query() {
    m_transaction.connection().removeCloseListener(this);
    unprepare();
}

void Query::setSql(const QString& sql) {
    if (sql == m_sql)
        return;
    unprepare();
    m_sql = sql;
    m_parsed = SqlText::parse(sql);
}

void Query::setParam(const QString& name, const QVariant& value) {
    m_params[paramKey(name)] = value;
}

QVariant Query::param(const QString& name) const {
    return m_params.value(paramKey(name));
}

std::vector<QVariant> Query::inputValues() const {
    std::vector<QVariant> values;
    values.reserve(size_t(m_parsed.params.size()));
    for (const QString& name : m_parsed.params)
        values.push_back(m_params.value(name));
    return values;
}

void Query::prepare() {
    if (m_statement)
        return;
    FbStatus status;
    IAttachment* attachment = m_transaction.connection().attachment();
    ITransaction* transaction = m_transaction.handle();
    const QByteArray text = m_parsed.text.toUtf8();
    fbCall([&] {
        m_statement =
            attachment->prepare(&status, transaction, unsigned(text.size()), text.constData(), 3,
                                IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata* out = m_statement->getOutputMetadata(&status);
        m_output.setOutput(out);
        out->release();
    });
}

void Query::unprepare() {
    close();
    if (m_statement) {
        FbStatus status;
        try {
            m_statement->free(&status);
        } catch (const FbException&) {
            m_statement->release();
        }
    }
    m_statement = nullptr;
    m_output.reset();
    m_input.reset();
}

void Query::open() {
    close();
    prepare();
    FbStatus status;
    ITransaction* transaction = m_transaction.handle();
    fbCall([&] {
        IMessageMetadata* in = m_statement->getInputMetadata(&status);
        m_input.setInput(in, inputValues());
        in->release();
        m_cursor = m_statement->openCursor(&status, transaction, m_input.metadata(),
                                           m_input.buffer(), m_output.metadata(), 0);
    });
    m_eof = false;
    next();
}

bool Query::fetch() {
    FbStatus status;
    return fbCall(
        [&] { return m_cursor->fetchNext(&status, m_output.buffer()) == IStatus::RESULT_OK; });
}

bool Query::next() {
    if (!m_cursor || m_eof)
        return false;
    m_eof = !fetch();
    return !m_eof;
}

void Query::close() {
    m_eof = true;
    if (!m_cursor)
        return;
    FbStatus status;
    try {
        m_cursor->close(&status);
    } catch (const FbException&) {
        m_cursor->release();
    }
    m_cursor = nullptr;
}

int Query::execute() {
    close();
    prepare();
    FbStatus status;
    ITransaction* transaction = m_transaction.handle();
    return fbCall([&] {
        IMessageMetadata* in = m_statement->getInputMetadata(&status);
        m_input.setInput(in, inputValues());
        in->release();
        const bool hasOutput = m_output.count() > 0;
        m_statement->execute(&status, transaction, m_input.metadata(), m_input.buffer(),
                             hasOutput ? m_output.metadata() : nullptr,
                             hasOutput ? m_output.buffer() : nullptr);
        return int(m_statement->getAffectedRecords(&status));
    });
}

int Query::fieldCount() const {
    return int(m_output.count());
}

QString Query::fieldName(int i) const {
    return m_output.name(unsigned(i));
}

int Query::fieldIndex(const QString& name) const {
    for (unsigned i = 0; i < m_output.count(); ++i)
        if (m_output.name(i).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int Query::fieldLength(int i) const {
    return m_output.length(unsigned(i));
}

QVariant Query::value(int i) const {
    if (m_eof || i < 0 || i >= fieldCount())
        return QVariant();
    return m_output.value(unsigned(i), m_transaction.connection().attachment(),
                          m_transaction.handle());
}

QVariant Query::value(const QString& name) const {
    return value(fieldIndex(name));
}
