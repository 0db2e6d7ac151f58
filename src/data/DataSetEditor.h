#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

class Query;
class Transaction;

// An editing object over one table row (CDT): opened on its select statement, it holds the
// selected rows; a row is appended or edited, filled by field name and posted through the
// insert or modify statement, whose ":NAME" parameters take the row's fields (":OLD_NAME"
// the values as read). A new row gets the next generator value in its key field on post.
class DataSetEditor {
public:
    enum class State { Browse, Insert, Edit };

    explicit DataSetEditor(Transaction& transaction);
    ~DataSetEditor();

    void setSelectSql(const QString& sql) { m_selectSql = sql; }
    void setInsertSql(const QString& sql) { m_insertSql = sql; }
    void setModifySql(const QString& sql) { m_modifySql = sql; }
    void setRefreshSql(const QString& sql) { m_refreshSql = sql; }
    void setGenerator(const QString& generator, const QString& field = QStringLiteral("CD")) {
        m_generator = generator;
        m_keyField = field;
    }

    // Parameters of the select statement (":VL").
    void setParam(const QString& name, const QVariant& value);

    // Reads the rows the select statement gives; the field list comes from its columns.
    void open();
    void close();
    bool isOpen() const { return m_open; }
    int rowCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    State state() const { return m_state; }

    QStringList fieldNames() const { return m_fields; }
    // Declared size of a text column in characters, 0 for other columns.
    int fieldLength(const QString& name) const;

    void append();
    void edit();
    void cancel();
    void setField(const QString& name, const QVariant& value);
    QVariant field(const QString& name) const;

    // Stores the appended or edited row; for a new row the key comes from the generator.
    void post();

private:
    int indexOf(const QString& name) const;
    QVariant valueFor(const QString& param) const;
    void refresh();
    // The statement kept in slot, prepared once and reused while its text stays the same, so
    // that a run of posts (an import) does not prepare three statements per row.
    Query& statement(std::unique_ptr<Query>& slot, const QString& sql);

    Transaction& m_transaction;
    QString m_selectSql, m_insertSql, m_modifySql, m_refreshSql, m_generator, m_keyField;
    QVariantMap m_selectParams;
    QStringList m_fields;
    QVector<int> m_lengths;
    QVector<QVector<QVariant>> m_rows;
    QVector<QVariant> m_current, m_old;
    State m_state = State::Browse;
    bool m_open = false;
    std::unique_ptr<Query> m_keyQuery, m_insertQuery, m_modifyQuery, m_refreshQuery;
};
