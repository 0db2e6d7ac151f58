#include "PersonalFixture.h"

#include <QStringList>

QString sqlText(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

PersonalFixture::PersonalFixture() : m_db(std::make_unique<Databases>()) {
    m_db->open(m_tmp.dataPath(), m_tmp.sysPath());
}

int PersonalFixture::addFolder(int parent, const QString& title, const QString& comments) {
    const int cd = m_db->MM.QueryInteger(QStringLiteral("GEN_ID(GEN_CATE, 1)"),
                                         QStringLiteral("RDB$DATABASE"));
    m_db->MM.ExecStatement(
        QStringLiteral("INSERT INTO CATE (CD, PCD, TITLE, COM) VALUES (%1, %2, %3, %4)")
            .arg(cd)
            .arg(parent)
            .arg(sqlText(title), comments.isNull() ? QStringLiteral("NULL") : sqlText(comments)));
    m_db->DTR.CommitRetaining();
    return cd;
}

int PersonalFixture::addContact(int folder, const QString& title,
                                const QMap<QString, QString>& columns) {
    const int cd = m_db->MM.QueryInteger(QStringLiteral("GEN_ID(GEN_CONT, 1)"),
                                         QStringLiteral("RDB$DATABASE"));
    QStringList names{QStringLiteral("CD"), QStringLiteral("CTCD"), QStringLiteral("CNAM")};
    QStringList values{QString::number(cd), QString::number(folder), sqlText(title)};
    for (auto it = columns.cbegin(); it != columns.cend(); ++it) {
        names << it.key();
        values << sqlText(it.value());
    }
    m_db->MM.ExecStatement(QStringLiteral("INSERT INTO CONT (%1) VALUES (%2)")
                               .arg(names.join(u','), values.join(u',')));
    m_db->DTR.CommitRetaining();
    return cd;
}

int PersonalFixture::count(const QString& table, const QString& condition) {
    return m_db->MM.QueryCount(QString(), table, condition);
}

QString PersonalFixture::text(const QString& expression, const QString& table,
                              const QString& condition) {
    return m_db->MM.QueryText(expression, table, condition);
}
