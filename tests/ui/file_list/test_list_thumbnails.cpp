// Pictures in the file list: made in the background, then painted in place of
// the page icon; off, the views stay as they were.

#include "common/main_window_fixture.h"

#include "common/test_env.h"
#include "common/test_registry.h"
#include "imaging/thumbnail_cache.h"
#include "ui/file_list/list_thumbnails.h"
#include "ui/file_list/shell_file_list.h"

#include <QDir>
#include <QImage>
#include <QListView>
#include <QTest>

using namespace mwtest;

class TestListThumbnails : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir(ThumbnailCacheRoot()).removeRecursively(); }

    void viewShowsThePictureAfterTheBackgroundWork_data() {
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("style");
        QTest::newRow("large icons") << true << int(ViewStyle::LargeIcon);
        QTest::newRow("small icons") << true << int(ViewStyle::SmallIcon);
        QTest::newRow("off") << false << int(ViewStyle::LargeIcon);
        QTest::newRow("list view keeps its page icons") << true << int(ViewStyle::List);
    }
    void viewShowsThePictureAfterTheBackgroundWork() {
        QFETCH(bool, on);
        QFETCH(int, style);
        Folder folder({});
        QImage red(300, 200, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(folder.file("red.jpg"), "JPEG", 95));
        auto window = MakeWindow([on](AppSettings& s) { s.ListeVorschaubilder = on; });
        window->resize(900, 700);
        window->show();
        QVERIFY(ShowFolder(*window, folder.path()));
        ShellFileList* list = window->fileList();
        list->setViewStyle(ViewStyle(style));
        QListView* view = list->iconView();
        const bool large = style == int(ViewStyle::LargeIcon);
        QCOMPARE(view->iconSize().width(), large ? (on ? 96 : 32) : 16);
        view->viewport()->repaint();
        const QString path = QDir(folder.path()).filePath("red.jpg");
        if (!on || ViewStyle(style) == ViewStyle::List) {
            QTest::qWait(200);
            QVERIFY(!list->thumbnails()->isReady(path));
            QCOMPARE(RedPixelsOfItem(view, "red.jpg"), 0);
            QVERIFY(!QFile::exists(ThumbnailCachePath(path, ThumbnailFlavour::Normal)));
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(list->thumbnails()->isReady(path), 10000);
        QVERIFY(QFile::exists(ThumbnailCachePath(path, ThumbnailFlavour::Normal)));
        const int area = view->iconSize().width() * view->iconSize().height();
        QTRY_VERIFY(RedPixelsOfItem(view, "red.jpg") > area / 3);
    }

    // Laying the list out measures every item; only the painted ones may
    // cost a thumbnail, or a large folder would be read from its end first.
    void onlyPaintedItemsAreMade() {
        Folder folder({});
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        for (int i = 0; i < 300; ++i)
            QVERIFY(picture.save(folder.file(QStringLiteral("b%1.jpg").arg(i, 3, 10, QChar('0'))),
                                 "JPEG"));
        auto window = MakeWindow([](AppSettings& s) { s.ListeVorschaubilder = true; });
        window->resize(900, 700);
        window->show();
        QVERIFY(ShowFolder(*window, folder.path()));
        ShellFileList* list = window->fileList();
        list->setViewStyle(ViewStyle::LargeIcon);
        QTRY_COMPARE(list->iconView()->model()->rowCount(list->iconView()->rootIndex()), 300);
        list->iconView()->viewport()->repaint();
        // Every visible item gets its picture, however many arrive at once.
        QListView* view = list->iconView();
        QStringList visible;
        for (int row = 0; row < 300; ++row) {
            const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
            if (view->viewport()->rect().intersects(view->visualRect(index)))
                visible << folder.file(index.data().toString());
        }
        QVERIFY(visible.size() > 8);
        for (const QString& path : visible)
            QTRY_VERIFY_WITH_TIMEOUT(list->thumbnails()->isReady(path), 10000);
        QTest::qWait(500);
        QVERIFY(!list->thumbnails()->isReady(folder.file("b299.jpg")));
        QVERIFY(
            !QFile::exists(ThumbnailCachePath(folder.file("b299.jpg"), ThumbnailFlavour::Normal)));
    }
};

KELVASTO_REGISTER_TEST(TestListThumbnails)
#include "test_list_thumbnails.moc"
