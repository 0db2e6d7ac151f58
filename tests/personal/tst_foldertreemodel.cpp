// The folder tree model over CATE: on-demand loading, folder 1, paths, menus, the user's place,
// deleting, moving folders and contacts.
#include "PersonalFixture.h"
#include "data/DatabaseError.h"
#include "personal/FolderTreeModel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

class FolderTreeModelTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<PersonalFixture> f;
    std::unique_ptr<FolderTreeModel> model;

    QStringList titles(const QModelIndex& parent = {}) {
        QStringList list;
        for (int r = 0; r < model->rowCount(parent); ++r)
            list << model->folderRow(model->index(r, 0, parent)).TITLE;
        return list;
    }

private slots:
    void init() {
        f = std::make_unique<PersonalFixture>();
        model = std::make_unique<FolderTreeModel>(f->db().DTR, f->db().MM);
    }
    void cleanup() {
        model.reset();
        f.reset();
    }

    void folderOneOnlyAndItsChildrenNeverShown() {
        // A row whose parent is folder 1 is never part of the tree.
        f->addFolder(1, QStringLiteral("Hidden"));
        model->restart();
        QCOMPARE(model->rowCount(), 1);
        const QModelIndex one = model->index(0, 0);
        QCOMPARE(model->folderRow(one).CD, 1);
        QVERIFY(!model->hasChildren(one));
        QCOMPARE(model->rowCount(one), 0);
        QCOMPARE(model->data(model->index(0, 1)).toString(),
                 QStringLiteral("Every contact in the directory"));
        QVERIFY(!(model->flags(one) & Qt::ItemIsDragEnabled));
        QVERIFY(!(model->flags(one) & Qt::ItemIsDropEnabled));
        QVERIFY(
            !model->findFolder(f->db().MM.QueryInteger("CD", "CATE", "TITLE='Hidden'")).isValid());
    }

    void nodesLoadOnDemandInTitleOrder() {
        const int clients = f->addFolder(0, "Clients");
        f->addFolder(0, "Banks");
        f->addFolder(clients, "North");
        f->addFolder(clients, "East");
        f->addFolder(0, "Banks"); // same title twice: both appear
        model->restart();
        QCOMPARE(titles(), QStringList({"All Contacts", "Banks", "Banks", "Clients"}));
        const QModelIndex c = model->index(3, 0);
        QVERIFY(model->hasChildren(c));
        QCOMPARE(titles(c), QStringList({"East", "North"}));
        QVERIFY(!model->hasChildren(model->index(1, 0)));
        QVERIFY(model->folderRow(model->index(1, 0)).CD != model->folderRow(model->index(2, 0)).CD);
    }

    void modelPassesTheTester() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(a, "B");
        f->addFolder(b, "C");
        f->addFolder(0, "D", "line one\nline two");
        model->restart();
        QAbstractItemModelTester tester(model.get(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model->loadAll();
        QCOMPARE(model
                     ->data(model->findFolder(f->db().MM.QueryInteger("CD", "CATE", "TITLE='D'"))
                                .siblingAtColumn(1))
                     .toString(),
                 QStringLiteral("line one line two"));
        model->moveFolder(model->findFolder(b), {});
        model->deleteFolder(model->findFolder(a));
        model->restart();
        model->loadAll();
    }

    void walkOrderPathsAndMenu() {
        const int a = f->addFolder(0, "A");
        const int a1 = f->addFolder(a, "A1");
        const int a11 = f->addFolder(a1, "A11");
        const int b = f->addFolder(0, "B");
        model->restart();
        QStringList order;
        model->walk([&](const QModelIndex& i) {
            order << model->folderRow(i).TITLE;
            return true;
        });
        QCOMPARE(order, QStringList({"A", "A1", "A11", "All Contacts", "B"}));
        QCOMPARE(model->GetFolderPath(a11), QStringLiteral("A\\A1\\A11"));
        QCOMPARE(model->GetFolderPath(b), QStringLiteral("B"));
        QCOMPARE(model->GetFolderPath(9999), QString());
        const auto entries = model->folderMenuEntries();
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries[0], qMakePair(QStringLiteral("A"), a));
        QCOMPARE(entries[1], qMakePair(QStringLiteral("    A1"), a1));
        QCOMPARE(entries[2], qMakePair(QStringLiteral("        A11"), a11));
        QCOMPARE(entries[3], qMakePair(QStringLiteral("B"), b));
    }

    void rememberedPlace() {
        const int a = f->addFolder(0, "A");
        const int a1 = f->addFolder(a, "A1");
        const int a2 = f->addFolder(a, "A2");
        const int a21 = f->addFolder(a2, "A21");
        const int b = f->addFolder(0, "B");
        model->restart();
        model->loadAll();
        // A1: next sibling A2, preceded by its parent.
        auto p = model->rememberPlace(model->findFolder(a1));
        QCOMPARE(p.same, a1);
        QCOMPARE(p.next, a2);
        QCOMPARE(p.previous, a);
        // A has sub-folders: the node after it is a child, so no "next".
        p = model->rememberPlace(model->findFolder(a));
        QCOMPARE(p.next, 0);
        QCOMPARE(p.previous, a); // first of all: preceded by nothing, so itself
        // B is preceded by the deepest last descendant of its previous sibling (All Contacts
        // sorts before B but after A).
        p = model->rememberPlace(model->findFolder(b));
        QCOMPARE(p.previous, 1);
        p = model->rememberPlace(model->findFolder(1));
        QCOMPARE(p.previous, a21);
        QCOMPARE(p.next, b);
        QCOMPARE(model->rememberPlace({}).same, 0);
    }

    void incrementalSearch() {
        QVERIFY(FolderTreeModel::incrementalMatch("Clients", "cl"));
        QVERIFY(FolderTreeModel::incrementalMatch("Cl", "CLIENTS")); // the shorter decides
        QVERIFY(!FolderTreeModel::incrementalMatch("Banks", "cl"));
        const int a = f->addFolder(0, "Alpha");
        const int deep = f->addFolder(a, "Zeta");
        f->addFolder(0, "Zulu");
        model->restart();
        // All nodes are searched, collapsed ones included, from the current node on.
        QCOMPARE(model->folderId(model->incrementalFind("z", model->index(0, 0))), deep);
        QCOMPARE(model->folderRow(model->incrementalFind("zu", model->index(0, 0))).TITLE,
                 QStringLiteral("Zulu"));
        QVERIFY(!model->incrementalFind("q", {}).isValid());
    }

    void deleteRemovesTheWholeSubtreeAndNoContact() {
        const int a = f->addFolder(0, "A");
        const int a1 = f->addFolder(a, "A1");
        const int a11 = f->addFolder(a1, "A11");
        f->addFolder(a11, "A111");
        const int b = f->addFolder(0, "B");
        const int c = f->addContact(a11, "Deep Contact");
        model->restart();
        model->loadAll();
        model->deleteFolder(model->findFolder(a));
        QCOMPARE(f->count("CATE", QStringLiteral("TITLE STARTING WITH 'A' AND CD<>1")), 0);
        QCOMPARE(f->count("CATE"), 2); // folder 1 and B
        QCOMPARE(f->count("CONT", QStringLiteral("CD=%1").arg(c)), 1);
        QCOMPARE(titles(), QStringList({"All Contacts", "B"}));
        QVERIFY(model->findFolder(b).isValid());
        // Folder 1 is never deleted.
        model->deleteFolder(model->findFolder(1));
        QCOMPARE(f->count("CATE", "CD=1"), 1);
        // Committed: a second connection sees it.
        Databases other;
        other.open(f->root() + "/DATA/DATA.FDB", f->root() + "/DATA/SYS.FDB");
        QCOMPARE(other.MM.QueryCount(QString(), "CATE"), 2);
    }

    void moveToEmptySpaceAndRefuseOwnDescendant() {
        const int a = f->addFolder(0, "A");
        const int a1 = f->addFolder(a, "A1");
        const int a11 = f->addFolder(a1, "A11");
        f->addFolder(0, "Z");
        model->restart();
        model->loadAll();
        // Into its own child: refused, nothing written.
        QVERIFY(!model->moveFolder(model->findFolder(a), model->findFolder(a11)));
        QVERIFY(!model->moveFolder(model->findFolder(a), model->findFolder(a)));
        QCOMPARE(f->text("PCD", "CATE", QStringLiteral("CD=%1").arg(a)), QStringLiteral("0"));
        // Empty space: top level, shown last until the next reload, sub-folders kept.
        QVERIFY(model->moveFolder(model->findFolder(a1), {}));
        QCOMPARE(f->text("PCD", "CATE", QStringLiteral("CD=%1").arg(a1)), QStringLiteral("0"));
        QCOMPARE(titles(), QStringList({"A", "All Contacts", "Z", "A1"}));
        QCOMPARE(titles(model->index(3, 0)), QStringList({"A11"}));
        QVERIFY(!model->hasChildren(model->index(0, 0)));
        QCOMPARE(model->GetFolderPath(a11), QStringLiteral("A1\\A11"));
        // Onto another folder: its last child.
        QVERIFY(model->moveFolder(model->findFolder(a), model->findFolder(a11)));
        QCOMPARE(f->text("PCD", "CATE", QStringLiteral("CD=%1").arg(a)), QString::number(a11));
        model->restart();
        QCOMPARE(titles(), QStringList({"A1", "All Contacts", "Z"}));
    }

    void contactsMoveWithOneCommit() {
        const int a = f->addFolder(0, "A");
        const int b = f->addFolder(0, "B");
        const int c1 = f->addContact(a, "One");
        const int c2 = f->addContact(a, "Two");
        const int c3 = f->addContact(a, "Three");
        model->moveContacts({c1, c2, c3}, b);
        QCOMPARE(f->count("CONT", QStringLiteral("CTCD=%1").arg(b)), 3);
        Databases other;
        other.open(f->root() + "/DATA/DATA.FDB", f->root() + "/DATA/SYS.FDB");
        QCOMPARE(other.MM.QueryCount(QString(), "CONT", QStringLiteral("CTCD=%1").arg(b)), 3);
    }

    void setFolderRowShowsAtOnce() {
        const int a = f->addFolder(0, "A");
        model->restart();
        QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
        const QModelIndex i = model->findFolder(a);
        model->setFolderRow(i, FolderRow{a, "Renamed", "Note"});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(model->data(i).toString(), QStringLiteral("Renamed"));
        QCOMPARE(model->data(i.siblingAtColumn(1)).toString(), QStringLiteral("Note"));
    }
};

QTEST_GUILESS_MAIN(FolderTreeModelTest)
#include "tst_foldertreemodel.moc"
