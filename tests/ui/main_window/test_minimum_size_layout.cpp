// At the smallest size the window can be dragged to, every page in both
// languages must give each caption the room it asks for: a layout that does
// not fit squeezes buttons and labels below their size hints, which cuts
// their texts or lets them overlap.

#include "common/main_window_fixture.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

using namespace mwtest;

namespace {

bool InsideToolBar(const QWidget* w) {
    for (const QWidget* up = w; up; up = up->parentWidget())
        if (qobject_cast<const QToolBar*>(up))
            return true;
    return false;
}

// Names of visible controls narrower than their captions need.
QStringList SqueezedControls(THauptForm& window) {
    QStringList squeezed;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || InsideToolBar(w))
            continue;
        const auto* label = qobject_cast<QLabel*>(w);
        if (label && (label->wordWrap() || label->text().isEmpty()))
            continue;
        if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            const int last = tabs->count() - 1;
            if (last >= 0 && tabs->tabRect(last).right() >= tabs->width())
                squeezed << QStringLiteral("tabs of ") + tabs->parentWidget()->objectName();
            continue;
        }
        if (!label && !qobject_cast<QAbstractButton*>(w))
            continue;
        if (w->width() < w->minimumSizeHint().width())
            squeezed << QStringLiteral("%1 (%2 < %3)")
                            .arg(w->objectName())
                            .arg(w->width())
                            .arg(w->minimumSizeHint().width());
    }
    return squeezed;
}

} // namespace

class TestMinimumSizeLayout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetLanguageOffset(0); }

    void everyPageFitsAtTheMinimumSize_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("mainTab");
        QTest::addColumn<int>("seriesTab");
        QTest::addColumn<int>("subPage");
        for (const int offset : {0, 10000}) {
            const char* language = offset ? "english" : "deutsch";
            for (int series = 0; series < 4; ++series)
                for (int sub = 0; sub < (series == 3 ? 1 : 2); ++sub)
                    QTest::addRow("%s series %d.%d", language, series, sub)
                        << offset << 0 << series << sub;
            QTest::addRow("%s editor", language) << offset << 1 << 0 << 0;
        }
    }
    void everyPageFitsAtTheMinimumSize() {
        QFETCH(int, offset);
        QFETCH(int, mainTab);
        QFETCH(int, seriesTab);
        QFETCH(int, subPage);
        auto window = MakeWindow([offset](AppSettings& s) { s.Sprache = offset; });
        window->resize(800, 565);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        Find<QTabWidget>(*window, "PageControl01")->setCurrentIndex(mainTab);
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(seriesTab);
        const char* subPageButtons[][2] = {{nullptr, nullptr},
                                           {"IdxSpeedButton01", "IdxSpeedButton02"},
                                           {"FktSpeedButton01", "FktSpeedButton02"}};
        if (seriesTab == 0)
            Find<QTabWidget>(*window, "GrafikPageControl01")->setCurrentIndex(subPage);
        else if (seriesTab < 3)
            Find<QAbstractButton>(*window, subPageButtons[seriesTab][subPage])->click();
        // Layouts settle through posted events; a loaded machine may need
        // more than one turn of the event loop.
        QStringList squeezed;
        for (int turn = 0; turn < 50; ++turn) {
            QTest::qWait(20);
            squeezed = SqueezedControls(*window);
            if (squeezed.isEmpty())
                break;
        }
        QCOMPARE(window->size(), QSize(800, 565));
        QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join(QStringLiteral(", "))));
    }
};

KELVASTO_REGISTER_TEST(TestMinimumSizeLayout)
#include "test_minimum_size_layout.moc"
