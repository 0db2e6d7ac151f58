#include "data/DataSetEditor.h"

#include "data/DatabaseError.h"
#include "data/Query.h"

DataSetEditor::DataSetEditor(Transaction& transaction) : m_transaction(transaction) {}

DataSetEditor::~DataSetEditor() = default;

Query& DataSetEditor::statement(std::unique_ptr<Query>& slot, const QString& sql) {
    if (!slot)
        slot = std::make_unique<Query>(m_transaction);
    slot->setSql(sql);
    return *slot;
}

void DataSetEditor::setParam(const QString& name, const QVariant& value) {
    m_selectParams[(name.startsWith(u':') ? name.mid(1) : name).toUpper()] = value;
}

void DataSetEditor::open() {
    close();
    Query query(m_transaction);
    query.setSql(m_selectSql);
    for (auto it = m_selectParams.cbegin(); it != m_selectParams.cend(); ++it)
        query.setParam(it.key(), it.value());
    query.open();
    for (int i = 0; i < query.fieldCount(); ++i) {
        m_fields << query.fieldName(i).toUpper();
        m_lengths << query.fieldLength(i);
    }
    for (; !query.eof(); query.next()) {
        QVector<QVariant> row(query.fieldCount());
        for (int i = 0; i < query.fieldCount(); ++i)
            row[i] = query.value(i);
        m_rows << row;
    }
    if (!m_rows.isEmpty())
        m_current = m_rows.first();
    m_open = true;
}

void DataSetEditor::close() {
    m_fields.clear();
    m_lengths.clear();
    m_rows.clear();
    m_current.clear();
    m_old.clear();
    m_state = State::Browse;
    m_open = false;
}

int DataSetEditor::indexOf(const QString& name) const {
    return int(m_fields.indexOf((name.startsWith(u':') ? name.mid(1) : name).toUpper()));
}

int DataSetEditor::fieldLength(const QString& name) const {
    const int i = indexOf(name);
    return i < 0 ? 0 : m_lengths[i];
}

void DataSetEditor::append() {
    if (!m_open)
        throw DatabaseError(QStringLiteral("Dataset not open"));
    m_current = QVector<QVariant>(m_fields.size());
    m_old.clear();
    m_state = State::Insert;
}

void DataSetEditor::edit() {
    if (m_rows.isEmpty())
        throw DatabaseError(QStringLiteral("Cannot edit an empty dataset"));
    m_current = m_rows.first();
    m_old = m_current;
    m_state = State::Edit;
}

void DataSetEditor::cancel() {
    m_current = m_rows.isEmpty() ? QVector<QVariant>() : m_rows.first();
    m_state = State::Browse;
}

void DataSetEditor::setField(const QString& name, const QVariant& value) {
    const int i = indexOf(name);
    if (i < 0)
        throw DatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    if (m_state == State::Browse)
        throw DatabaseError(QStringLiteral("Not in insert or edit mode"));
    m_current[i] = value;
}

QVariant DataSetEditor::field(const QString& name) const {
    const int i = indexOf(name);
    return (i < 0 || i >= m_current.size()) ? QVariant() : m_current[i];
}

QVariant DataSetEditor::valueFor(const QString& param) const {
    if (param.startsWith(QLatin1String("OLD_"))) {
        const int i = indexOf(param.mid(4));
        if (i >= 0 && i < m_old.size())
            return m_old[i];
    }
    return field(param);
}

void DataSetEditor::post() {
    if (m_state == State::Browse)
        return;
    if (m_state == State::Insert && !m_generator.isEmpty()) {
        Query& key = statement(
            m_keyQuery, QStringLiteral("SELECT GEN_ID(%1, 1) FROM RDB$DATABASE").arg(m_generator));
        key.open();
        m_current[indexOf(m_keyField)] = key.value(0).toInt();
        key.close();
    }
    Query& query = m_state == State::Insert ? statement(m_insertQuery, m_insertSql)
                                            : statement(m_modifyQuery, m_modifySql);
    for (const QString& name : query.paramNames())
        query.setParam(name, valueFor(name));
    query.execute();
    refresh();
    if (m_state == State::Insert)
        m_rows.prepend(m_current);
    else
        m_rows.first() = m_current;
    m_state = State::Browse;
}

// Reads the stored row back, so that values the database sets (WRD) are seen.
void DataSetEditor::refresh() {
    if (m_refreshSql.isEmpty())
        return;
    Query& query = statement(m_refreshQuery, m_refreshSql);
    for (const QString& name : query.paramNames())
        query.setParam(name, field(name));
    query.open();
    for (int i = 0; !query.eof() && i < query.fieldCount(); ++i) {
        const int j = indexOf(query.fieldName(i));
        if (j >= 0)
            m_current[j] = query.value(i);
    }
    query.close();
}
