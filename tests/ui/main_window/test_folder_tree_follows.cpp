// The folder tree follows the file system when the window's jobs or its
// delete command make or remove folders: a folder that went is no longer
// offered, a new one shows, and the opened folders stay open.

#include "common/main_window_fixture.h"
#include "ui/main_window/browser_controller.h"

#include "common/dialog_answerer.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "imaging/picture_files.h"
#include "ui/folder_tree/folder_tree_model.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

using namespace mwtest;

namespace {

// The sub-folders the tree shows below `folder`, sorted.
QModelIndex TreeItem(THauptForm& window, const QString& folder) {
    auto* model = qobject_cast<FolderTreeModel*>(
        window.controller<BrowserController>().folderTree()->model());
    return model->indexOf(QDir::cleanPath(folder));
}

QStringList TreeChildren(THauptForm& window, const QString& folder) {
    const QAbstractItemModel* model = window.controller<BrowserController>().folderTree()->model();
    const QModelIndex parent = TreeItem(window, folder);
    QStringList names;
    for (int row = 0; row < model->rowCount(parent); ++row)
        names << model->index(row, 0, parent).data().toString();
    names.sort();
    return names;
}

bool TreeShowsOpen(THauptForm& window, const QString& folder) {
    return window.controller<BrowserController>().folderTree()->isExpanded(
        TreeItem(window, folder));
}

} // namespace

class TestFolderTreeFollows : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void treeAfterFoldersWentOrCame_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("empty folders removed")
            << "empty folders" << QStringList{"leer", "tief", "voll"} << QStringList{"voll"};
        QTest::newRow("folder deleted from the pop-up menu")
            << "delete" << QStringList{"leer", "tief", "voll"} << QStringList{"tief", "voll"};
        QTest::newRow("a job makes its sub-folder")
            << "sub-folder job" << QStringList{"leer", "tief", "voll"}
            << QStringList{"Sonst", "leer", "tief", "voll"};
    }
    void treeAfterFoldersWentOrCame() {
        QFETCH(QString, action);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        Folder folder({"leer/", "tief/leer/", "voll/x.txt"});
        Picture picture(8, 8);
        picture.fill(10, 20, 30);
        SaveAsJpeg(picture, folder.file("a.jpg"));
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        window->controller<BrowserController>().folderTree()->expand(
            window->controller<BrowserController>().folderTree()->currentIndex());
        QTRY_COMPARE(TreeChildren(*window, folder.path()), before);

        DialogAnswerer answers;
        if (action == "empty folders") {
            Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(3);
            answers.queue("Yes");
            Find<QAbstractButton>(*window, "BitBtnDupLeereOrdner")->click();
        } else if (action == "delete") {
            QVERIFY(WaitForItems(*window, {"leer", "tief", "voll", "a.jpg"}));
            window->fileList()->selectNames({"leer"});
            answers.queue("Yes");
            Find<QAction>(*window, "PM01_DateiLoeschen")->trigger();
        } else {
            Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(2);
            Find<QCheckBox>(*window, "FktRekursiv")->setChecked(true);
            Find<QLineEdit>(*window, "FktUnterverzeichnis")->setText(QStringLiteral("Sonst"));
            Find<QRadioButton>(*window, "FktZielRadioButton03")->setChecked(true);
            Find<QAbstractButton>(*window, "FktBB_SW")->click();
        }
        QCOMPARE(answers.unexpected(), 0);
        QTRY_COMPARE(TreeChildren(*window, folder.path()), after);
        QVERIFY(TreeShowsOpen(*window, folder.path()));
        QCOMPARE(QDir::cleanPath(window->currentTreeFolder()), QDir::cleanPath(folder.path()));
    }

    void aSelectedFolderThatWentGivesWayToTheOneAbove() {
        Folder folder({"a/b/"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.file("a/b")));
        // Gone behind the program's back, then a job ends.
        QVERIFY(QDir(folder.file("a")).removeRecursively());
        window->folderTreeMayHaveChanged();
        QCOMPARE(QDir::cleanPath(window->currentTreeFolder()), QDir::cleanPath(folder.path()));
        QTRY_COMPARE(QDir::cleanPath(window->fileList()->folder()), QDir::cleanPath(folder.path()));
        QTRY_COMPARE(TreeChildren(*window, folder.path()), QStringList{});
    }
};

KELVASTO_REGISTER_TEST(TestFolderTreeFollows)
#include "test_folder_tree_follows.moc"
