// At the smallest size the window can be dragged to, and on a 1280 x 1024
// screen scaled by 1.5 (853 x 682 logical pixels, or the full screen with a
// font half as large again), every page in both languages must give each
// caption the room it asks for and show each group whole: a layout that does
// not fit squeezes buttons and labels below their size hints, which cuts
// their texts or lets them overlap, or hides a group behind a scroll bar.

#include "common/main_window_fixture.h"
#include "common/scaled_font.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
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

// The part of `w` its ancestors up to `page` leave visible, in w's
// coordinates.
QRect VisiblePart(const QWidget* w, const QWidget* page) {
    QRect visible = w->rect();
    QPoint offset;
    for (const QWidget* up = w; up != page && up->parentWidget(); up = up->parentWidget()) {
        offset += up->pos();
        visible &= up->parentWidget()->rect().translated(-offset);
    }
    return visible;
}

// Groups and controls of the shown page that are cut or reached only by
// scrolling sideways.
QStringList CutControls(const QWidget* page) {
    QStringList cut;
    for (const QScrollBar* bar : page->findChildren<QScrollBar*>())
        if (bar->orientation() == Qt::Horizontal && bar->isVisible() && bar->maximum() > 0)
            cut << QStringLiteral("scroll bar of ") + bar->parentWidget()->objectName();
    for (const QWidget* w : page->findChildren<QWidget*>()) {
        if (!w->isVisible() ||
            !(qobject_cast<const QGroupBox*>(w) || qobject_cast<const QAbstractButton*>(w)))
            continue;
        if (VisiblePart(w, page) != w->rect())
            cut << w->objectName();
    }
    return cut;
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
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("fontScale");
        const struct {
            const char* name;
            QSize size;
            double fontScale;
        } screens[] = {{"minimum", {800, 565}, 1.0},
                       {"1280x1024 scaled 1.5", {853, 650}, 1.0},
                       {"1280x1024 font 1.5", {1280, 975}, 1.5}};
        for (const auto& screen : screens)
            for (const int offset : {0, 10000}) {
                const char* language = offset ? "english" : "deutsch";
                for (int series = 0; series < 4; ++series)
                    for (int sub = 0; sub < (series == 3 ? 1 : 2); ++sub)
                        QTest::addRow("%s %s series %d.%d", screen.name, language, series, sub)
                            << offset << 0 << series << sub << screen.size << screen.fontScale;
                QTest::addRow("%s %s editor", screen.name, language)
                    << offset << 1 << 0 << 0 << screen.size << screen.fontScale;
            }
    }
    void everyPageFitsAtTheMinimumSize() {
        QFETCH(int, offset);
        QFETCH(int, mainTab);
        QFETCH(int, seriesTab);
        QFETCH(int, subPage);
        QFETCH(QSize, size);
        QFETCH(double, fontScale);
        const ScaledApplicationFont font(fontScale);
        auto window = MakeWindow([offset](AppSettings& s) { s.Sprache = offset; });
        window->resize(size);
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
        const QWidget* page = mainTab == 0
                                  ? Find<QTabWidget>(*window, "HauptPageControl01")->currentWidget()
                                  : Find<QTabWidget>(*window, "PageControl01")->currentWidget();
        // Until the pages settle: a page that moves its destination group
        // lays itself out again once more.
        QStringList squeezed;
        QStringList cut;
        const bool settled = QTest::qWaitFor(
            [&] {
                squeezed = SqueezedControls(*window);
                cut = CutControls(page);
                return squeezed.isEmpty() && cut.isEmpty();
            },
            3000);
        Q_UNUSED(settled); // what is still wrong is named below
        QCOMPARE(window->size(), size);
        QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join(QStringLiteral(", "))));
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
    }
};

KELVASTO_REGISTER_TEST(TestMinimumSizeLayout)
#include "test_minimum_size_layout.moc"
