// The file list with a folder of a few thousand pictures, which arrives in
// several batches: every view shows every picture the filter admits, in list
// order, and lays every one out; a folder picked while another loads shows
// alone; the selection stays with its items while the folder changes behind
// the list.

#include "common/main_window_fixture.h"

#include "common/test_env.h"
#include "common/test_registry.h"
#include "ui/file_list/folder_list_model.h"
#include "ui/file_list/shell_file_list.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

using namespace mwtest;

namespace {

constexpr int kPictures = 3000;

// A camera dump with what users keep beside it: names in capitals, the
// other JPEG extension, sidecar files, folders, a hidden file, umlauts and
// names that differ only in case.
QStringList DumpNames(const QString& prefix, int pictures) {
    QStringList names;
    for (int i = 0; i < pictures; ++i) {
        const QString base =
            prefix + QStringLiteral("%1").arg(i * 7919 % 100000, 5, 10, QChar('0'));
        names << base + (i % 3 == 0 ? QStringLiteral(".JPG") : i % 3 == 1 ? ".jpeg" : ".jpg");
        if (i % 10 == 0)
            names << base + QStringLiteral(".xmp");
    }
    names << "Ärger.jpg"
          << "ärger.JPG"
          << "Zebra.jpg"
          << "zebra.jpg"
          << ".versteckt.jpg"
          << "Bild.jpg.txt"
          << "Urlaub/"
          << "archiv/"
          << "Ältere/";
    return names;
}

// What the JPEG filter shows, in list order: folders first, then by name
// ignoring case, names differing only in case in byte order.
QStringList ShownInOrder(const QStringList& names) {
    QStringList folders, files;
    for (const QString& name : names) {
        if (name.startsWith(QLatin1Char('.')))
            continue;
        if (name.endsWith(QLatin1Char('/')))
            folders << name.chopped(1);
        else if (name.endsWith(".jpg", Qt::CaseInsensitive) ||
                 name.endsWith(".jpeg", Qt::CaseInsensitive))
            files << name;
    }
    auto order = [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : QFile::encodeName(a) < QFile::encodeName(b);
    };
    std::sort(folders.begin(), folders.end(), order);
    std::sort(files.begin(), files.end(), order);
    return folders + files;
}

// A folder of these names; the files are links to one file, as making
// thousands of files costs the file system more than the test itself.
struct LinkedFolder {
    QTemporaryDir dir{testing::homeFolder() + QStringLiteral("/large-XXXXXX")};
    explicit LinkedFolder(const QStringList& names) {
        const QByteArray source = QFile::encodeName(file(QStringLiteral(".quelle")));
        testing::writeFile(file(QStringLiteral(".quelle")), "x");
        for (const QString& name : names) {
            if (name.endsWith(QLatin1Char('/')))
                QDir().mkpath(file(name));
            else
                ::link(source.constData(), QFile::encodeName(file(name)).constData());
        }
    }
    QString path() const { return dir.path(); }
    QString file(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
};

bool WaitForLoaded(THauptForm& window, const QString& folder) {
    return QTest::qWaitFor(
        [&] {
            return QDir::cleanPath(window.fileList()->folder()) == QDir::cleanPath(folder) &&
                   window.fileList()->isLoaded();
        },
        20000);
}

// The item `row` of the active view is laid out where the view says, and is
// found there again.
bool LaidOutAt(QAbstractItemView* view, int row) {
    const QModelIndex item = view->model()->index(row, 0);
    view->scrollTo(item);
    const QRect rect = view->visualRect(item);
    return rect.isValid() && view->viewport()->rect().intersects(rect) &&
           view->indexAt(rect.center()).row() == row;
}

} // namespace

class TestLargeFolder : public QObject {
    Q_OBJECT
private slots:
    void everyPictureInOrderInEachView_data() {
        QTest::addColumn<QString>("view");
        QTest::newRow("large icons") << "TB01LargeIcon";
        QTest::newRow("small icons") << "TB01SmallIcon";
        QTest::newRow("list") << "TB01List";
        QTest::newRow("details") << "TB01Report";
    }
    void everyPictureInOrderInEachView() {
        QFETCH(QString, view);
        const QStringList names = DumpNames(QStringLiteral("IMG_"), kPictures);
        LinkedFolder folder(names);
        const QStringList shown = ShownInOrder(names);
        auto window = MakeWindow();
        window->resize(1000, 700);
        window->show();
        Find<QAction>(*window, qPrintable(view))->trigger();
        QVERIFY(window->selectTreeFolder(folder.path()));
        QVERIFY(WaitForLoaded(*window, folder.path()));
        QCOMPARE(window->fileList()->itemNames(), shown);
        QAbstractItemView* list = window->fileList()->activeView();
        QCOMPARE(list->model()->rowCount(), int(shown.size()));
        for (const int row : {0, int(shown.size()) / 2, int(shown.size()) - 1})
            QVERIFY2(LaidOutAt(list, row), qPrintable(shown.at(row)));

        // "Mark all" hands the files, not the folders, to a job, in order.
        Find<QAction>(*window, "PM01_DateienMarkieren")->trigger();
        QStringList files;
        for (const QString& name : shown.mid(3))
            files << folder.file(name);
        QCOMPARE(window->selectedFiles(), files);
    }

    // A second folder picked before the first is read whole: only the second
    // shows, also after the first one's reader would have finished.
    void folderPickedWhileAnotherLoads_data() {
        QTest::addColumn<bool>("bigFirst");
        QTest::addColumn<bool>("bitmapFilter"); // the second read is the first folder's
        QTest::newRow("large folder, then a small one") << true << false;
        QTest::newRow("small folder, then a large one") << false << false;
        QTest::newRow("filter changed while loading") << true << true;
    }
    void folderPickedWhileAnotherLoads() {
        QFETCH(bool, bigFirst);
        QFETCH(bool, bitmapFilter);
        QStringList bigNames = DumpNames(QStringLiteral("gross_"), kPictures);
        bigNames << "farben.bmp";
        LinkedFolder big(bigNames);
        LinkedFolder small({"a.jpg", "b.JPG", "c.bmp", "Sub/"});
        auto window = MakeWindow();
        window->show();
        const LinkedFolder& first = bigFirst ? big : small;
        const LinkedFolder& second = bitmapFilter ? big : (bigFirst ? small : big);
        QVERIFY(window->selectTreeFolder(first.path()));
        if (bitmapFilter) {
            Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(2);
            Find<QAbstractButton>(*window, "FktSpeedButton02")->click();
        } else {
            QVERIFY(window->selectTreeFolder(second.path()));
        }
        QVERIFY(WaitForLoaded(*window, second.path()));
        QStringList expected = bitmapFilter
                                   ? QStringList{"archiv", "Urlaub", "Ältere", "farben.bmp"}
                               : bigFirst ? QStringList{"Sub", "a.jpg", "b.JPG"}
                                          : ShownInOrder(bigNames);
        QCOMPARE(window->fileList()->itemNames(), expected);
        QTest::qWait(300);
        QCOMPARE(window->fileList()->itemNames(), expected);
    }

    // Another program changes the listed folder: the list follows, and the
    // selected items stay selected wherever they move.
    void selectionStaysWhileTheFolderChanges_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("picture added before the selection")
            << "add a.jpg" << QStringList{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"};
        QTest::newRow("picture removed")
            << "remove b.jpg" << QStringList{"c.jpg", "d.jpg", "e.jpg"};
        QTest::newRow("selected picture renamed away")
            << "rename c.jpg a.jpg" << QStringList{"a.jpg", "b.jpg", "d.jpg", "e.jpg"};
        QTest::newRow("picture replaced by a larger one")
            << "replace e.jpg" << QStringList{"b.jpg", "c.jpg", "d.jpg", "e.jpg"};
    }
    void selectionStaysWhileTheFolderChanges() {
        QFETCH(QString, change);
        QFETCH(QStringList, shown);
        Folder folder({"b.jpg", "c.jpg", "d.jpg", "e.jpg"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"b.jpg", "c.jpg", "d.jpg", "e.jpg"}));
        window->fileList()->selectNames({"c.jpg", "e.jpg"});
        const QStringList words = change.split(' ');
        if (words[0] == "add") {
            QVERIFY(testing::writeFile(folder.file(words[1]), "x"));
        } else if (words[0] == "replace") {
            // As a careful program writes: a new file renamed over the old.
            QVERIFY(testing::writeFile(folder.path() + "/.neu", QByteArray(5000, 'x')));
            QVERIFY(::rename(QFile::encodeName(folder.path() + "/.neu").constData(),
                             QFile::encodeName(folder.file(words[1])).constData()) == 0);
        } else if (words[0] == "remove")
            QVERIFY(QFile::remove(folder.file(words[1])));
        else
            QVERIFY(QFile::rename(folder.file(words[1]), folder.file(words[2])));
        QVERIFY(QTest::qWaitFor([&] { return window->fileList()->itemNames() == shown; }, 5000));
        QStringList selected{folder.file("e.jpg")};
        if (words[0] != "rename")
            selected.prepend(folder.file("c.jpg"));
        QCOMPARE(window->selectedFiles(), selected);
        if (words[0] == "replace") {
            const int row = int(shown.indexOf("e.jpg"));
            FolderListModel* model = window->fileList()->listModel();
            QTRY_COMPARE(model->entry(row).size, 5000);
        }
    }

    // Renamed in the list, an item takes its place in the order at once, or
    // leaves the list when the filter no longer shows it.
    void renamedItemTakesItsPlace_data() {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("further down") << "z.jpg" << QStringList{"Sub", "b.jpg", "c.jpg", "z.jpg"};
        QTest::newRow("only the case") << "A.JPG" << QStringList{"Sub", "A.JPG", "b.jpg", "c.jpg"};
        QTest::newRow("no longer a picture") << "a.txt" << QStringList{"Sub", "b.jpg", "c.jpg"};
        QTest::newRow("hidden") << ".a.jpg" << QStringList{"Sub", "b.jpg", "c.jpg"};
    }
    void renamedItemTakesItsPlace() {
        QFETCH(QString, newName);
        QFETCH(QStringList, shown);
        Folder folder({"a.jpg", "b.jpg", "c.jpg", "Sub/"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"Sub", "a.jpg", "b.jpg", "c.jpg"}));
        window->fileList()->selectNames({"b.jpg"});
        FolderListModel* model = window->fileList()->listModel();
        QVERIFY(model->setData(model->index(1, 0), newName, Qt::EditRole));
        QCOMPARE(window->fileList()->itemNames(), shown);
        QCOMPARE(window->selectedFiles(), QStringList{folder.file("b.jpg")});
        QVERIFY(QFile::exists(folder.file(newName)));
    }
};

KELVASTO_REGISTER_TEST(TestLargeFolder)
#include "test_large_folder.moc"
