// The details view sorts by a click on a column header (name, size, type,
// date), folders first in either order, and the next start shows the list in
// the order the user chose.

#include "common/main_window_fixture.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/file_list/shell_file_list.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QHeaderView>
#include <QJsonObject>
#include <QTest>
#include <QTreeView>

using namespace mwtest;

namespace {

// Two folders and three files whose name, size, type and date orders differ.
struct SortFolder : Folder {
    SortFolder() : Folder({"a/", "B/"}) {
        const QDateTime day(QDate(2005, 5, 4), QTime(12, 0));
        const struct {
            const char* name;
            int size;
            int daysOld;
        } files[] = {{"w.bmp", 300, 1}, {"x.jpg", 100, 0}, {"y.txt", 200, 2}};
        for (const auto& each : files) {
            testing::writeFile(file(each.name), QByteArray(each.size, 'x'));
            QFile stamped(file(each.name));
            stamped.open(QIODevice::ReadWrite);
            stamped.setFileTime(day.addDays(-each.daysOld), QFileDevice::FileModificationTime);
        }
    }
};

QTreeView* Details(THauptForm& window) {
    return Find<QTreeView>(window, "ShellListView01_Details");
}

// A click on the header of `column`, as the user makes it.
void ClickHeader(THauptForm& window, int column) {
    QHeaderView* header = Details(window)->header();
    const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

std::unique_ptr<THauptForm> DetailsOn(const SortFolder& folder,
                                      std::function<void(AppSettings&)> customise = {}) {
    auto window = MakeWindow(std::move(customise));
    window->resize(900, 700);
    window->show();
    window->setFileFilter(QStringLiteral("*.*|*.*"));
    if (!ShowFolder(*window, folder.path()))
        return nullptr;
    Find<QAction>(*window, "TB01Report")->trigger();
    return window;
}

} // namespace

class TestDetailsSort : public QObject {
    Q_OBJECT
private slots:
    void init() {
        testing::resetHive();
        SetLanguageOffset(0);
    }

    void aHeaderClickSortsFoldersFirst_data() {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("by name, at start")
            << QList<int>{} << QStringList{"a", "B", "w.bmp", "x.jpg", "y.txt"};
        QTest::newRow("by name, descending")
            << QList<int>{0} << QStringList{"B", "a", "y.txt", "x.jpg", "w.bmp"};
        QTest::newRow("by size") << QList<int>{1}
                                 << QStringList{"a", "B", "x.jpg", "y.txt", "w.bmp"};
        QTest::newRow("by size, descending")
            << QList<int>{1, 1} << QStringList{"B", "a", "w.bmp", "y.txt", "x.jpg"};
        // "Einfaches Textdokument" < "JPEG-Bild" < "Windows-BMP-Bild".
        QTest::newRow("by type") << QList<int>{2}
                                 << QStringList{"a", "B", "y.txt", "x.jpg", "w.bmp"};
        QTest::newRow("by date") << QList<int>{3}
                                 << QStringList{"a", "B", "y.txt", "w.bmp", "x.jpg"};
        QTest::newRow("by date, then by name again")
            << QList<int>{3, 0} << QStringList{"a", "B", "w.bmp", "x.jpg", "y.txt"};
    }
    void aHeaderClickSortsFoldersFirst() {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, order);
        SortFolder folder;
        auto window = DetailsOn(folder);
        QVERIFY(window);
        for (const int column : clicks)
            ClickHeader(*window, column);
        QVERIFY(WaitForItems(*window, order));
        // The same order in the icon views, which share the list.
        Find<QAction>(*window, "TB01LargeIcon")->trigger();
        QCOMPARE(window->fileList()->itemNames(), order);

        // Kept with the view settings: the next start lists it alike.
        const QJsonObject key = testing::storedSettingsKey();
        const int column = clicks.isEmpty() ? 0 : clicks.last();
        QCOMPARE(key.value("ListeSortierSpalte").toInt(), column);
        const bool descending =
            Details(*window)->header()->sortIndicatorOrder() == Qt::DescendingOrder;
        QCOMPARE(key.value("ListeSortierAbsteigend").toInt() != 0, descending);
        window.reset();
        auto next = DetailsOn(folder, [](AppSettings& s) {
            const AppSettings stored = LoadSettings();
            s.ListeSortierSpalte = stored.ListeSortierSpalte;
            s.ListeSortierAbsteigend = stored.ListeSortierAbsteigend;
        });
        QVERIFY(next);
        QVERIFY(WaitForItems(*next, order));
        QCOMPARE(Details(*next)->header()->sortIndicatorSection(), column);
    }

    void theOrderOutlivesARereadOfTheList() {
        SortFolder folder;
        auto window = DetailsOn(folder);
        QVERIFY(window);
        ClickHeader(*window, 1);
        QVERIFY(WaitForItems(*window, {"a", "B", "x.jpg", "y.txt", "w.bmp"}));
        testing::writeFile(folder.file("v.txt"), QByteArray(150, 'x'));
        window->refreshFileList();
        QVERIFY(WaitForItems(*window, {"a", "B", "x.jpg", "v.txt", "y.txt", "w.bmp"}));
    }
};

KELVASTO_REGISTER_TEST(TestDetailsSort)
#include "test_details_sort.moc"
