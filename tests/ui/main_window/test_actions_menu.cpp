// The menu "Aktionen" keeps dropping down with its entries whatever the user
// did with it on a tab where it has none to show; there it is disabled rather
// than dropping down empty.

#include "common/main_window_fixture.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {

// Clicks the menu's title in the menu bar, as a user does.
void ClickTitle(THauptForm& window, QMenu* menu) {
    QMenuBar* bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
}

// Escape goes to the open pop-up, or to the menu bar when none is open.
void PressEscape(THauptForm& window) {
    QWidget* popup = QApplication::activePopupWidget();
    QTest::keyClick(popup ? popup : window.menuBar(), Qt::Key_Escape);
}

QStringList ShownEntries(QMenu* menu) {
    QStringList names;
    for (QAction* action : menu->actions())
        if (action->isVisible() && !action->isSeparator() &&
            !menu->actionGeometry(action).isEmpty())
            names << action->objectName();
    return names;
}

// A menu window shown at zero size is never mapped again by X; the offscreen
// platform does not show that, so look at the size the window was given.
bool ShownWithSize(QMenu* menu) {
    return !menu->isVisible() ||
           (!menu->geometry().isEmpty() && !menu->testAttribute(Qt::WA_OutsideWSRange));
}

} // namespace

class TestActionsMenu : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void entriesReturnAfterEmptyMenuWasOpened_data() {
        QTest::addColumn<int>("emptyTab");
        QTest::addColumn<int>("backTab");
        QTest::addColumn<QString>("subPage"); // clicked on backTab first, if any
        QTest::addColumn<QStringList>("entries");
        const QStringList defects{"HMenu_DDS", "HMenu_DDL", "HMenu_DV"};
        QTest::newRow("duplicates, back to JPEGs Testen") << 3 << 0 << "" << defects;
        QTest::newRow("duplicates, on to index pictures")
            << 3 << 1 << "IdxSpeedButton01" << QStringList{"HMenu_IndexBilder"};
        QTest::newRow("duplicates, on to BMP")
            << 3 << 2 << "FktSpeedButton02" << QStringList{"HMenu_BMP_JPG"};
    }
    void entriesReturnAfterEmptyMenuWasOpened() {
        QFETCH(int, emptyTab);
        QFETCH(int, backTab);
        QFETCH(QString, subPage);
        QFETCH(QStringList, entries);
        auto window = MakeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* series = Find<QTabWidget>(*window, "HauptPageControl01");
        auto* menu = Find<QMenu>(*window, "HMenu_Aktionen");

        series->setCurrentIndex(emptyTab);
        ClickTitle(*window, menu);
        QVERIFY(ShownEntries(menu).isEmpty());
        QVERIFY(ShownWithSize(menu));
        PressEscape(*window);
        QTRY_VERIFY(!menu->isVisible());

        series->setCurrentIndex(backTab);
        if (!subPage.isEmpty())
            window->findChild<QAbstractButton*>(subPage)->click();
        ClickTitle(*window, menu);
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(ShownWithSize(menu));
        QCOMPARE(ShownEntries(menu), entries);
        PressEscape(*window);
        QTRY_VERIFY(!menu->isVisible());
    }

    void disabledWhileItHasNothingToOffer_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("subPage"); // clicked after the tab, if any
        QTest::addColumn<bool>("enabled");
        QTest::newRow("JPEGs Testen") << 0 << "" << true;
        QTest::newRow("thumbnails") << 1 << "IdxSpeedButton02" << true;
        QTest::newRow("BMP") << 2 << "FktSpeedButton02" << true;
        QTest::newRow("duplicates") << 3 << "" << false;
    }
    void disabledWhileItHasNothingToOffer() {
        QFETCH(int, tab);
        QFETCH(QString, subPage);
        QFETCH(bool, enabled);
        auto window = MakeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        auto* menu = Find<QMenu>(*window, "HMenu_Aktionen");
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(tab);
        if (!subPage.isEmpty())
            window->findChild<QAbstractButton*>(subPage)->click();
        QCOMPARE(menu->menuAction()->isEnabled(), enabled);
        ClickTitle(*window, menu);
        QCOMPARE(menu->isVisible(), enabled);
        if (enabled)
            PressEscape(*window);
        // A job locks every menu; its end gives back the same state.
        window->LockUiForJob(JobKind::DuplicateSearch);
        QVERIFY(!menu->menuAction()->isEnabled());
        window->UnlockUiAfterJob(JobKind::DuplicateSearch);
        QCOMPARE(menu->menuAction()->isEnabled(), enabled);
        QVERIFY(Find<QMenu>(*window, "HMenu_Datei")->menuAction()->isEnabled());
    }
};

KELVASTO_REGISTER_TEST(TestActionsMenu)
#include "test_actions_menu.moc"
