// The file browser: the filter by extension, the page filters, a folder
// picked again, views on one selection, renaming without replacing, hidden
// items.

#include "app/error_handler.h"
#include "app/open_with_program.h"
#include "common/main_window_fixture.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "ui/file_list/file_list_filter.h"
#include "ui/file_list/folder_list_model.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/main_window/browser_controller.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QListView>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <sys/stat.h>

using namespace mwtest;

class TestFileBrowser : public QObject {
    Q_OBJECT
private slots:
    void masksAreSplitAtSemicolons_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QStringList>("masks");
        QTest::newRow("jpeg") << "*.jpg;*.jpeg" << QStringList{"*.jpg", "*.jpeg"};
        QTest::newRow("bitmap") << "*.bmp" << QStringList{"*.bmp"};
        QTest::newRow("everything") << "*.*" << QStringList{"*.*"};
        QTest::newRow("more entries than stars") << "*.a;b;c" << QStringList{"*.a"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void masksAreSplitAtSemicolons() {
        QFETCH(QString, mask);
        QFETCH(QStringList, masks);
        QCOMPARE(ParseListMasks(mask), masks);
    }

    void itemsAreAdmittedByExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("shown");
        QTest::newRow("jpg") << "a.jpg" << false << true;
        QTest::newRow("JPG in capitals") << "A.JPG" << false << true;
        QTest::newRow("jpeg") << "b.JpEg" << false << true;
        QTest::newRow("further extension") << "x.jpg.txt" << false << false;
        QTest::newRow("no extension") << "jpg" << false << false;
        QTest::newRow("folder always") << "Bilder.txt" << true << true;
        QTest::newRow("dot file") << ".jpg" << false << true;
    }
    void itemsAreAdmittedByExtension() {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        QFETCH(bool, shown);
        QCOMPARE(ListMasksAdmit({"*.jpg", "*.jpeg"}, name, folder), shown);
        QVERIFY(ListMasksAdmit({"*.*"}, name, folder));
    }

    void jpegFilterListsCapitalsAndNotFurtherExtensions() {
        Folder folder({"b.JPG", "a.jpg", "x.jpg.txt", "c.jpeg", "d.bmp", "Sub/", "e.JPEG"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"Sub", "a.jpg", "b.JPG", "c.jpeg", "e.JPEG"}));
    }

    void bitmapSubPageFilterAndItsReturn() {
        Folder folder({"a.jpg", "p.BMP", "q.bmp", "Sub/"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        auto* series = Find<QTabWidget>(*window, "HauptPageControl01");
        series->setCurrentIndex(2);
        Find<QAbstractButton>(*window, "FktSpeedButton02")->click();
        QCOMPARE(window->controller<BrowserController>().fileFilter(), kBitmapFilter);
        QVERIFY(WaitForItems(*window, {"Sub", "p.BMP", "q.bmp"}));
        series->setCurrentIndex(3);
        QCOMPARE(window->controller<BrowserController>().fileFilter(), kJpegFilter);
        QVERIFY(WaitForItems(*window, {"Sub", "a.jpg"}));
        series->setCurrentIndex(2);
        QVERIFY(WaitForItems(*window, {"Sub", "p.BMP", "q.bmp"}));
        Find<QAbstractButton>(*window, "FktSpeedButton01")->click();
        QVERIFY(WaitForItems(*window, {"Sub", "a.jpg"}));
        QCOMPARE(Find<QComboBox>(*window, "FilterComboBox01")->count(), 1);
    }

    void theSameFolderAgainLeavesTheLayoutAlone() {
        QStringList names;
        for (int i = 0; i < 300; ++i)
            names.append(QString("bild%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
        Folder folder(names);
        auto window = MakeWindow();
        window->resize(1000, 700);
        window->show();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, names));
        QListView* list = window->fileList()->iconView();
        QScrollBar* bar = list->horizontalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        const int scrolled = bar->value();
        window->controller<BrowserController>().ShellTreeView01Change();
        QCOMPARE(bar->value(), scrolled);
        QCOMPARE(window->controller<BrowserController>().treeFolder(),
                 QDir::cleanPath(folder.path()));
    }

    // The last name is the shortest; no item may take its width from it.
    void longNamesShowWhole_data() {
        QTest::addColumn<QString>("view");
        QTest::newRow("list") << "TB01List";
        QTest::newRow("small icons") << "TB01SmallIcon";
    }
    void longNamesShowWhole() {
        QFETCH(QString, view);
        const QStringList names{"a-longer-name.jpg", "b.jpg"};
        Folder folder(names);
        auto window = MakeWindow();
        window->resize(1000, 700);
        window->show();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, names));
        window->findChild<QAction*>(view)->trigger();
        QListView* list = window->fileList()->iconView();
        const QModelIndex first = list->model()->index(0, 0, list->rootIndex());
        QCOMPARE(first.data().toString(), names.first());
        const int needed =
            list->fontMetrics().horizontalAdvance(names.first()) + list->iconSize().width();
        QTRY_VERIFY(list->visualRect(first).width() >= needed);
    }

    void largeIconsFlowFromLeftToRight() {
        const QStringList names{"a.jpg", "b.jpg", "c.jpg"};
        Folder folder(names);
        auto window = MakeWindow();
        window->resize(1000, 700);
        window->show();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, names));
        Find<QAction>(*window, "TB01LargeIcon")->trigger();
        QListView* list = window->fileList()->iconView();
        const QModelIndex root = list->rootIndex();
        QTRY_VERIFY(list->visualRect(list->model()->index(1, 0, root)).x() >
                    list->visualRect(list->model()->index(0, 0, root)).x());
        QCOMPARE(list->visualRect(list->model()->index(2, 0, root)).y(),
                 list->visualRect(list->model()->index(0, 0, root)).y());
    }

    void viewsShareOneSelection() {
        Folder folder({"a.jpg", "b.jpg", "c.jpg"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"a.jpg", "b.jpg", "c.jpg"}));
        window->fileList()->selectNames({"a.jpg", "c.jpg"});
        for (const char* view : {"TB01Report", "TB01SmallIcon", "TB01LargeIcon", "TB01List"}) {
            Find<QAction>(*window, view)->trigger();
            QCOMPARE(window->selectedFiles(),
                     (QStringList{folder.file("a.jpg"), folder.file("c.jpg")}));
        }
        QCOMPARE(window->fileList()->viewStyle(), ViewStyle::List);
        QCOMPARE(window->fileList()->detailsView()->selectionModel(),
                 window->fileList()->iconView()->selectionModel());
    }

    void selectedFilesLeaveFoldersOut() {
        Folder folder({"a.jpg", "Sub/"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"Sub", "a.jpg"}));
        window->fileList()->selectAll();
        QCOMPARE(window->selectedFiles(), QStringList{folder.file("a.jpg")});
    }

    void renamingNeverReplacesAnExistingName_data() {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<bool>("renamed");
        QTest::newRow("free name") << "neu.jpg" << true;
        QTest::newRow("taken by a file") << "b.jpg" << false;
        QTest::newRow("taken by a folder") << "Sub" << false;
        QTest::newRow("slash") << "x/y.jpg" << false;
        QTest::newRow("empty") << "" << false;
    }
    void renamingNeverReplacesAnExistingName() {
        QFETCH(QString, newName);
        QFETCH(bool, renamed);
        Folder folder({"a.jpg", "b.jpg", "Sub/"});
        testing::writeFile(folder.file("b.jpg"), "keep me");
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"Sub", "a.jpg", "b.jpg"}));
        FolderListModel* model = window->fileList()->listModel();
        const QModelIndex a = model->index(1, 0);
        QCOMPARE(a.data().toString(), QStringLiteral("a.jpg"));
        QCOMPARE(model->setData(a, newName, Qt::EditRole), renamed);
        QCOMPARE(QFile::exists(folder.file("a.jpg")), !renamed);
        QCOMPARE(testing::readFile(folder.file("b.jpg")), QByteArray("keep me"));
        if (renamed)
            QVERIFY(QFile::exists(folder.file(newName)));
    }

    void hiddenItemsOnlyWhenAllowed() {
        Folder folder({".versteckt.jpg", "a.jpg", ".Ordner/"});
        QVERIFY(::mkfifo(QFile::encodeName(folder.file("fifo.jpg")).constData(), 0600) == 0);
        auto window = MakeWindow([](AppSettings& s) { s.VerstecktAnzeigen = true; });
        QVERIFY(ShowFolder(*window, folder.path()));
        // The stored value is not applied at start.
        QVERIFY(WaitForItems(*window, {"a.jpg"}));
        window->fileList()->setShowHidden(true);
        QVERIFY(WaitForItems(*window, {".Ordner", ".versteckt.jpg", "a.jpg", "fifo.jpg"}));
    }

    // A double click opens a folder in the tree and a file with the desktop's
    // program for it: the path goes over as one argument, whatever it holds.
    void doubleClickOpensTheItem_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("view");
        QTest::addColumn<bool>("folder");
        QTest::newRow("folder, list") << "sub"
                                      << "TB01List" << true;
        QTest::newRow("folder, details") << "sub"
                                         << "TB01Report" << true;
        QTest::newRow("file, list") << "a.jpg"
                                    << "TB01List" << false;
        QTest::newRow("odd file name, details") << "it's \"odd\" $(rm -rf x); a.jpg"
                                                << "TB01Report" << false;
        QTest::newRow("name like an option") << "--help.jpg"
                                             << "TB01LargeIcon" << false;
    }
    void doubleClickOpensTheItem() {
        QFETCH(QString, name);
        QFETCH(QString, view);
        QFETCH(bool, folder);
        Folder files({"sub/", name == "sub" ? "a.jpg" : name});
        QList<DetachedStartCall> started;
        DetachedStartOverride record([&](const DetachedStartCall& call) {
            started.append(call);
            return true;
        });
        auto window = MakeWindow();
        window->resize(1000, 700);
        window->show();
        QVERIFY(ShowFolder(*window, files.path()));
        QTRY_VERIFY(window->fileList()->itemNames().contains(name));
        Find<QAction>(*window, qPrintable(view))->trigger();
        QAbstractItemView* list = window->fileList()->activeView();
        QModelIndex item;
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
            const QModelIndex at = list->model()->index(row, 0, list->rootIndex());
            if (at.data().toString() == name)
                item = at;
        }
        QVERIFY(item.isValid());
        list->scrollTo(item);
        const QPoint centre = list->visualRect(item).center();
        // A double click is a press and release followed by the double-click
        // event; the view opens the item only when both hit the same item.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
        if (folder) {
            QTRY_COMPARE(window->currentTreeFolder(), files.file(name));
            QVERIFY(started.isEmpty());
            return;
        }
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.at(0).program, QStringLiteral("xdg-open"));
        QCOMPARE(started.at(0).arguments, QStringList{files.file(name)});
        QCOMPARE(started.at(0).workingFolder, QDir::cleanPath(files.path()));
        QCOMPARE(window->currentTreeFolder(), QDir::cleanPath(files.path()));
    }

    // A folder change that fails half-way must end in the error handler, not
    // unwind through the tree's signal into whoever selected the folder.
    void failingFolderChangeStaysInsideTheGuard() {
        Folder first({"a.jpg"});
        Folder second({"b.jpg"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, first.path()));
        window->fileList()->setViewStyle(ViewStyle::List);
        delete Find<QAction>(*window, "TB01SmallIcon"); // the handler's lookup now throws
        const int discarded = DiscardedErrorCount();
        bool escaped = false;
        try {
            window->selectTreeFolder(second.path());
        } catch (...) {
            escaped = true;
        }
        QVERIFY(!escaped);
        QCOMPARE(DiscardedErrorCount(), discarded + 1);
    }
};

KELVASTO_REGISTER_TEST(TestFileBrowser)
#include "test_file_browser.moc"
