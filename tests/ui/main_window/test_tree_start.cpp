// At start the folder tree shows the start folder with room below it, not on
// its last visible line, whatever the window's size.

#include "common/main_window_fixture.h"
#include "ui/main_window/browser_controller.h"

#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"

#include <QDir>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

using namespace mwtest;

namespace {

// HOME for one window's start, restored afterwards.
class HomeFolder {
public:
    explicit HomeFolder(const QString& path) : m_saved(qgetenv("HOME")) {
        qputenv("HOME", QFile::encodeName(path));
    }
    ~HomeFolder() { qputenv("HOME", m_saved); }

private:
    QByteArray m_saved;
};

} // namespace

class TestTreeStart : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void startFolderInViewWithRoomBelow_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("siblings"); // folders beside the start folder
        QTest::newRow("smallest window") << QSize(800, 565) << 0;
        QTest::newRow("1280 x 1024") << QSize(1280, 1024) << 0;
        QTest::newRow("smallest window, many siblings") << QSize(800, 565) << 80;
        QTest::newRow("1280 x 1024, many siblings") << QSize(1280, 1024) << 80;
    }
    void startFolderInViewWithRoomBelow() {
        QFETCH(QSize, size);
        QFETCH(int, siblings);
        // The start folder with three sub-folders, after `siblings` others.
        const QString parent = testing::homeFolder() + QStringLiteral("/start-parent");
        QDir(parent).removeRecursively();
        for (int i = 0; i < siblings; ++i)
            QDir().mkpath(parent + QStringLiteral("/a%1").arg(i, 3, 10, QLatin1Char('0')));
        const QString start = parent + QStringLiteral("/start");
        for (const char* sub : {"/eins", "/zwei", "/drei"})
            QDir().mkpath(start + QLatin1String(sub));
        HomeFolder home(start);
        auto window = MakeWindow();
        window->resize(size);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTreeView* tree = window->controller<BrowserController>().folderTree();
        QCOMPARE(window->currentTreeFolder(), start);
        // The folders arrive in the background; wait until the sub-folders are listed.
        QTRY_COMPARE(tree->model()->rowCount(tree->currentIndex()), 3);
        QTest::qWait(100);

        const QRect item = tree->visualRect(tree->currentIndex());
        const int viewHeight = tree->viewport()->height();
        QVERIFY2(item.top() >= 0 && item.bottom() < viewHeight,
                 qPrintable(QStringLiteral("row at %1 of %2").arg(item.top()).arg(viewHeight)));
        // Its sub-folders are open below it, and there is room for them.
        QVERIFY(tree->isExpanded(tree->currentIndex()));
        QVERIFY2(viewHeight - item.bottom() >= 3 * item.height(),
                 qPrintable(QStringLiteral("row at %1 of %2").arg(item.top()).arg(viewHeight)));
    }
};

KELVASTO_REGISTER_TEST(TestTreeStart)
#include "test_tree_start.moc"
