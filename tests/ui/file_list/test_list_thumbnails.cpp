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
#include <QScrollBar>
#include <QTest>

#include <unistd.h>

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
    // A fast scroll over the folder paints thousands on its way; only where
    // it ends is made.
    void onlyPaintedItemsAreMade_data() {
        QTest::addColumn<int>("style");
        QTest::newRow("large icons") << int(ViewStyle::LargeIcon);
        QTest::newRow("small icons") << int(ViewStyle::SmallIcon);
    }
    void onlyPaintedItemsAreMade() {
        QFETCH(int, style);
        constexpr int kPictures = 3000;
        Folder folder({});
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        const QString source = folder.file(QStringLiteral(".quelle.jpg"));
        QVERIFY(picture.save(source, "JPEG"));
        // Links to one picture: thousands of files cost the test little.
        QStringList paths;
        for (int i = 0; i < kPictures; ++i) {
            paths << folder.file(QStringLiteral("b%1.jpg").arg(i, 4, 10, QChar('0')));
            QVERIFY(::link(QFile::encodeName(source).constData(),
                           QFile::encodeName(paths.last()).constData()) == 0);
        }
        auto window = MakeWindow([](AppSettings& s) { s.ListeVorschaubilder = true; });
        window->resize(900, 700);
        window->show();
        QVERIFY(ShowFolder(*window, folder.path()));
        ShellFileList* list = window->fileList();
        list->setViewStyle(ViewStyle(style));
        QListView* view = list->iconView();
        QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), kPictures);
        const ListThumbnails& thumbnails = *list->thumbnails();
        const auto inView = [&] {
            QStringList visible;
            for (int row = 0; row < kPictures; ++row)
                if (view->viewport()->rect().intersects(
                        view->visualRect(view->model()->index(row, 0, view->rootIndex()))))
                    visible << paths.at(row);
            return visible;
        };
        // Every visible item gets its picture, however many arrive at once.
        QStringList visible = inView();
        QVERIFY(visible.size() > 8);
        for (const QString& path : visible)
            QTRY_VERIFY_WITH_TIMEOUT(list->thumbnails()->isReady(path), 10000);
        QTRY_VERIFY(thumbnails.isIdle());
        // The view paints a row beyond its edge where the items wrap.
        QVERIFY2(thumbnails.counts().made <= visible.size() * 5 / 4,
                 qPrintable(QString::number(thumbnails.counts().made)));
        QVERIFY(!list->thumbnails()->isReady(paths.last()));
        QVERIFY(!QFile::exists(ThumbnailCachePath(paths.last(), ThumbnailFlavour::Normal)));

        const int before = thumbnails.counts().made;
        QScrollBar* bar = view->verticalScrollBar();
        for (int step = 1; step <= 50; ++step) {
            bar->setValue(bar->maximum() * step / 50);
            view->viewport()->repaint();
            QCoreApplication::processEvents();
        }
        visible = inView();
        QVERIFY(visible.contains(paths.last()));
        for (const QString& path : visible)
            QTRY_VERIFY_WITH_TIMEOUT(list->thumbnails()->isReady(path), 10000);
        QTRY_VERIFY(thumbnails.isIdle());
        // Each step showed as many again; a slow step may let a few through.
        QVERIFY2(thumbnails.counts().made - before <= 3 * visible.size(),
                 qPrintable(QString::number(thumbnails.counts().made - before)));
    }
};

KELVASTO_REGISTER_TEST(TestListThumbnails)
#include "test_list_thumbnails.moc"
