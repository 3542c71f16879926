// The lower half of the window (progress panel and series tabs) at the
// smallest window and at a common large one, in both languages: every caption
// fits on one line and every text field keeps a width a name or a folder can
// be read in. A layout that runs out of room wraps captions at odd places or
// squeezes fields to a few letters, which the minimum-size check of the
// button captions does not see.

#include "common/main_window_fixture.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {

// Narrower than this, a field shows too few letters of a name or a folder.
constexpr int kUsableFieldWidth = 90;

bool InsideSpinBox(const QWidget* w) {
    for (const QWidget* up = w->parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<const QAbstractSpinBox*>(up))
            return true;
    return false;
}

// Captions that do not fit on one line (wrapped or cut), fields narrower
// than a usable width and pages cut off at the bottom, among the visible
// widgets below `area`.
QStringList CrampedWidgets(THauptForm& window, QWidget& area) {
    QStringList cramped;
    for (QWidget* w : area.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window))
            continue;
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
            const int needed =
                label->fontMetrics().horizontalAdvance(WithoutMnemonic(label->text()));
            const int room = label->contentsRect().width() - 2 * label->margin();
            if (room < needed)
                cramped << QStringLiteral("%1 \"%2\" (%3 < %4)")
                               .arg(label->objectName(), label->text())
                               .arg(room)
                               .arg(needed);
        } else if (auto* scroller = qobject_cast<QScrollArea*>(w)) {
            // A page may scroll sideways; its lower part must not be cut off.
            const int contentHeight = scroller->widget()->height();
            if (contentHeight > scroller->viewport()->height())
                cramped << QStringLiteral("%1 cut off at the bottom (%2 > %3)")
                               .arg(scroller->parentWidget()->objectName())
                               .arg(contentHeight)
                               .arg(scroller->viewport()->height());
        } else if (auto* field = qobject_cast<QLineEdit*>(w); field && !InsideSpinBox(field)) {
            if (field->width() < kUsableFieldWidth)
                cramped
                    << QStringLiteral("%1 (%2 px)").arg(field->objectName()).arg(field->width());
        }
    }
    return cramped;
}

} // namespace

class TestLowerHalfLayout : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetLanguageOffset(0); }

    void captionsAndFieldsKeepTheirRoom_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QSize>("size");
        for (const int offset : {0, 10000})
            for (const QSize size : {QSize(800, 565), QSize(1280, 1024)})
                QTest::addRow("%s %dx%d", offset ? "english" : "deutsch", size.width(),
                              size.height())
                    << offset << size;
    }
    void captionsAndFieldsKeepTheirRoom() {
        QFETCH(int, offset);
        QFETCH(QSize, size);
        auto window = MakeWindow([offset](AppSettings& s) { s.Sprache = offset; });
        window->resize(size);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->size(), size);
        auto* lowerHalf = Find<QWidget>(*window, "HauptNotebook02");
        auto* tabs = Find<QTabWidget>(*window, "HauptPageControl01");
        // Each series tab with each of its sub-pages; the progress panel
        // follows the tab.
        const char* subPages[][2] = {{"GrafikPageControl01", nullptr},
                                     {"IdxSpeedButton01", "IdxSpeedButton02"},
                                     {"FktSpeedButton01", "FktSpeedButton02"},
                                     {nullptr, nullptr}};
        QStringList cramped;
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            for (int sub = 0; sub < 2; ++sub) {
                if (tab == 0)
                    Find<QTabWidget>(*window, subPages[0][0])->setCurrentIndex(sub);
                else if (subPages[tab][sub])
                    Find<QAbstractButton>(*window, subPages[tab][sub])->click();
                else if (sub > 0)
                    break;
                // Layouts settle through posted events; a loaded machine may
                // need more than one turn of the event loop.
                QStringList found;
                for (int turn = 0; turn < 50; ++turn) {
                    QTest::qWait(20);
                    found = CrampedWidgets(*window, *lowerHalf);
                    if (found.isEmpty())
                        break;
                }
                for (const QString& widget : found)
                    cramped << QStringLiteral("tab %1.%2: ").arg(tab).arg(sub) + widget;
            }
        }
        QVERIFY2(cramped.isEmpty(), qPrintable(cramped.join(QStringLiteral("\n"))));
    }
};

KELVASTO_REGISTER_TEST(TestLowerHalfLayout)
#include "test_lower_half_layout.moc"
