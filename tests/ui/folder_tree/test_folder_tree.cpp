// The folder tree's model: each folder's visible sub-folders, in the order a
// file manager shows them, read when the folder is opened; a path is
// reachable before its folders have been read, and stays once they are.

#include "common/file_fixtures.h"
#include "common/test_registry.h"
#include "ui/folder_tree/folder_tree_model.h"

#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

namespace {

QStringList ChildNames(const FolderTreeModel& model, const QModelIndex& parent) {
    QStringList names;
    for (int row = 0; row < model.rowCount(parent); ++row)
        names << model.index(row, 0, parent).data().toString();
    return names;
}

// Opens the folder as the tree does and waits until its sub-folders are read.
bool ReadFolder(FolderTreeModel& model, const QModelIndex& folder) {
    QSignalSpy read(&model, &FolderTreeModel::directoryLoaded);
    if (!model.canFetchMore(folder))
        return true;
    model.fetchMore(folder);
    return read.wait(10000);
}

} // namespace

class TestFolderTree : public QObject {
    Q_OBJECT
private slots:
    // The program always runs in German or English; the "C" locale of a
    // test run has no collation of its own.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }

    void subFoldersInFileManagerOrder_data() {
        QTest::addColumn<QStringList>("entries"); // "/" ends a folder, "->" makes a link
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("numbers by their value, case ignored")
            << QStringList{"Ordner10/", "ordner2/", "Ordner1/", "b/", "A/"}
            << QStringList{"A", "b", "Ordner1", "ordner2", "Ordner10"};
        QTest::newRow("hidden folders and files left out")
            << QStringList{".cache/", "Bilder/", "bild.jpg", ".profile"} << QStringList{"Bilder"};
        QTest::newRow("a link to a folder is a folder, a dangling one nothing")
            << QStringList{"Bilder/", "Verweis->Bilder", "Leer->fehlt", "Datei->bild.jpg",
                           "bild.jpg"}
            << QStringList{"Bilder", "Verweis"};
        QTest::newRow("no sub-folders") << QStringList{"bild.jpg"} << QStringList{};
    }
    void subFoldersInFileManagerOrder() {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, shown);
        fixtures::Tree tree;
        for (const QString& entry : entries) {
            const QStringList link = entry.split("->");
            if (link.size() == 2)
                QVERIFY(::symlink(link[1].toUtf8().constData(),
                                  QFile::encodeName(tree.path(link[0])).constData()) == 0);
            else if (entry.endsWith('/'))
                QVERIFY(tree.folder(entry));
            else
                QVERIFY(tree.file(entry, "x"));
        }
        FolderTreeModel model;
        const QModelIndex folder = model.indexOf(QDir::cleanPath(tree.root()));
        QVERIFY(folder.isValid());
        QVERIFY(model.hasChildren(folder));
        QVERIFY(ReadFolder(model, folder));
        QCOMPARE(ChildNames(model, folder), shown);
        QCOMPARE(model.hasChildren(folder), !shown.isEmpty());
        for (int row = 0; row < shown.size(); ++row)
            QCOMPARE(model.filePath(model.index(row, 0, folder)), tree.path(shown[row]));
    }

    // A folder selected by its path before its parent was read keeps its
    // item (and what refers to it) when the parent's folders arrive.
    void pathBeforeItsFoldersAreRead_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("siblings");
        QTest::newRow("visible folder") << "m" << QStringList{"a", "m", "z"};
        QTest::newRow("hidden folder, reached by its path") << ".m" << QStringList{".m", "a", "z"};
    }
    void pathBeforeItsFoldersAreRead() {
        QFETCH(QString, selected);
        QFETCH(QStringList, siblings);
        fixtures::Tree tree;
        for (const QString& name : {QString("a"), QString("z"), selected})
            QVERIFY(tree.folder(name + "/inner"));
        FolderTreeModel model;
        const QString path = tree.path(selected + "/inner");
        const QPersistentModelIndex inner = model.indexOf(path);
        QVERIFY(inner.isValid());
        QCOMPARE(model.filePath(inner), path);
        const QModelIndex parent = inner.parent().parent();
        QCOMPARE(ChildNames(model, parent), QStringList{selected});
        QVERIFY(ReadFolder(model, parent));
        QCOMPARE(ChildNames(model, parent), siblings);
        QVERIFY(inner.isValid());
        QCOMPARE(model.filePath(inner), path);
        QCOMPARE(model.indexOf(path), QModelIndex(inner));
    }

    void onlyFoldersHaveItems_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("a file") << "bild.jpg";
        QTest::newRow("missing") << "fehlt";
        QTest::newRow("relative") << "";
    }
    void onlyFoldersHaveItems() {
        QFETCH(QString, path);
        fixtures::Tree tree;
        QVERIFY(tree.file("bild.jpg", "x"));
        FolderTreeModel model;
        QVERIFY(!model.indexOf(path.isEmpty() ? QStringLiteral("relativ/weg") : tree.path(path))
                     .isValid());
        QCOMPARE(model.filePath(model.indexOf(QStringLiteral("/"))), QStringLiteral("/"));
    }
};

KELVASTO_REGISTER_TEST(TestFolderTree)
#include "test_folder_tree.moc"
