#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class Transaction;

// The folders of CATE as a tree in memory: paths for the export, the folders below a folder,
// and folders found or created by a path of titles (the command-line tool's --folder).
class FolderPaths {
public:
    explicit FolderPaths(Transaction& transaction);

    void reload();
    // Titles from the top-level folder down, joined by "\" (as the folder tree shows them).
    QString path(int folderId) const;
    // The folder and every folder below it, at any depth, parents first.
    QList<int> subtree(int folderId) const;
    // Splits a path of titles joined with "/"; "\/" stands for a "/" inside a title.
    static QStringList splitPath(const QString& path);
    // The folder a "/" path names (titles compared exactly), 0 when there is none.
    int find(const QString& path) const;
    // As find, creating the missing folders through the folder editor's editing object, then
    // committing. A path through folder 1 is refused (DatabaseError), as the folder tree does.
    int findOrCreate(const QString& path);

private:
    struct Folder {
        int pcd = 0;
        QString title;
    };
    int child(int parent, const QString& title) const;

    Transaction& m_transaction;
    QHash<int, Folder> m_folders;
    QHash<int, QList<int>> m_children;
};
