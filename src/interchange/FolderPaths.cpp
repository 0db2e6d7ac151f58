#include "interchange/FolderPaths.h"

#include "contacts/EditingStatements.h"
#include "data/DataSetEditor.h"
#include "data/DatabaseError.h"
#include "data/Query.h"
#include "data/Transaction.h"

FolderPaths::FolderPaths(Transaction& transaction) : m_transaction(transaction) {
    reload();
}

void FolderPaths::reload() {
    m_folders.clear();
    m_children.clear();
    Query q(m_transaction);
    q.setSql(QStringLiteral("SELECT CD, PCD, TITLE FROM CATE ORDER BY TITLE, CD"));
    for (q.open(); !q.eof(); q.next()) {
        const int cd = q.value(0).toInt();
        m_folders.insert(cd, {q.value(1).toInt(), q.value(2).toString()});
        m_children[q.value(1).toInt()] << cd;
    }
}

QString FolderPaths::path(int folderId) const {
    QStringList titles;
    QList<int> seen;
    for (int cd = folderId; cd != 0 && m_folders.contains(cd) && !seen.contains(cd);
         cd = m_folders.value(cd).pcd) {
        seen << cd;
        titles.prepend(m_folders.value(cd).title);
    }
    return titles.join(u'\\');
}

QList<int> FolderPaths::subtree(int folderId) const {
    QList<int> result{folderId};
    for (qsizetype i = 0; i < result.size(); ++i)
        for (int c : m_children.value(result[i]))
            if (!result.contains(c) && c != 1)
                result << c;
    return result;
}

QStringList FolderPaths::splitPath(const QString& path) {
    QStringList titles;
    QString current;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path[i] == u'\\' && i + 1 < path.size() && path[i + 1] == u'/') {
            current += u'/';
            ++i;
        } else if (path[i] == u'/') {
            titles << current;
            current.clear();
        } else
            current += path[i];
    }
    titles << current;
    QStringList kept;
    for (const QString& t : titles)
        if (!t.trimmed().isEmpty())
            kept << t.trimmed();
    return kept;
}

int FolderPaths::child(int parent, const QString& title) const {
    for (int c : m_children.value(parent))
        if (m_folders.value(c).title == title)
            return c;
    return 0;
}

int FolderPaths::find(const QString& path) const {
    int cd = 0;
    for (const QString& title : splitPath(path)) {
        cd = child(cd, title);
        if (cd == 0)
            return 0;
    }
    return cd;
}

int FolderPaths::findOrCreate(const QString& path) {
    const QStringList titles = splitPath(path);
    if (titles.isEmpty())
        throw DatabaseError(QStringLiteral("The folder path is empty"));
    int cd = 0;
    DataSetEditor cdt(m_transaction);
    EditingStatements::configureFolder(cdt);
    for (const QString& title : titles) {
        if (cd == 1)
            throw DatabaseError(QStringLiteral("Folder \"%1\" holds every contact and has no "
                                               "folders below it")
                                    .arg(m_folders.value(1).title));
        const int found = child(cd, title);
        if (found) {
            cd = found;
            continue;
        }
        cdt.setParam(QStringLiteral("VL"), 0);
        cdt.open();
        cdt.append();
        cdt.setField(QStringLiteral("PCD"), cd);
        cdt.setField(QStringLiteral("TITLE"), QString(title).remove(u'\\'));
        cdt.post();
        const int created = cdt.field(QStringLiteral("CD")).toInt();
        cdt.close();
        m_folders.insert(created, {cd, title});
        m_children[cd] << created;
        cd = created;
    }
    if (cd == 1)
        throw DatabaseError(QStringLiteral("Contacts cannot be put into folder \"%1\"")
                                .arg(m_folders.value(1).title));
    m_transaction.CommitRetaining();
    return cd;
}
