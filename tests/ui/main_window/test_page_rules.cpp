// Page changes, the pop-up menu's wording and deletion, SelectionKind.

#include "common/dialog_answerer.h"
#include "common/main_window_fixture.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "ui/features/defect_scan/defect_scan_controller.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/main_window/browser_controller.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {
bool Visible(THauptForm& w, const QString& name) {
    return w.findChild<QAction*>(name)->isVisible();
}
QAbstractButton* Button(THauptForm& w, const char* name) {
    return Find<QAbstractButton>(w, name);
}
} // namespace

class TestPageRules : public QObject {
    Q_OBJECT
private slots:
    void init() {
        SetLanguageOffset(0);
        SetLanguageIndex(0);
    }

    void jobEntriesFollowTabAndSubPage_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("subPage"); // button clicked on the tab first, if any
        QTest::addColumn<QStringList>("visible");
        QTest::newRow("JPEGs Testen") << 0 << "" << QStringList{"DDS", "DDL", "DV"};
        QTest::newRow("index") << 1 << "IdxSpeedButton01" << QStringList{"IndexBilder"};
        QTest::newRow("thumbnails") << 1 << "IdxSpeedButton02" << QStringList{"Thumbnails"};
        QTest::newRow("JPEG functions")
            << 2 << "FktSpeedButton01" << QStringList{"AntiAlising", "Optimieren", "SW"};
        QTest::newRow("BMP") << 2 << "FktSpeedButton02" << QStringList{"BMP_JPG"};
        QTest::newRow("duplicates") << 3 << "" << QStringList{};
    }
    void jobEntriesFollowTabAndSubPage() {
        QFETCH(int, tab);
        QFETCH(QString, subPage);
        QFETCH(QStringList, visible);
        auto window = MakeWindow();
        auto* series = Find<QTabWidget>(*window, "HauptPageControl01");
        series->setCurrentIndex(tab);
        if (!subPage.isEmpty())
            window->findChild<QAbstractButton*>(subPage)->click();
        // Leave and come back: the page rule alone must restore the entries.
        series->setCurrentIndex(tab == 3 ? 0 : 3);
        series->setCurrentIndex(tab);
        for (const QString entry : {"DDS", "DDL", "DV", "IndexBilder", "Thumbnails", "AntiAlising",
                                    "Optimieren", "SW", "BMP_JPG"}) {
            QCOMPARE(Visible(*window, "HMenu_" + entry), visible.contains(entry));
            QCOMPARE(Visible(*window, "PM01_" + entry), visible.contains(entry));
        }
        const int page = Find<QStackedWidget>(*window, "NBStatus01")->currentIndex();
        QCOMPARE(page, tab == 0 ? 1 : 0);
    }

    void editorTabHidesTheActionsMenu() {
        auto window = MakeWindow();
        auto* tabs = Find<QTabWidget>(*window, "PageControl01");
        QAction* actions = Find<QMenu>(*window, "HMenu_Aktionen")->menuAction();
        tabs->setCurrentIndex(1);
        QVERIFY(!actions->isVisible());
        tabs->setCurrentIndex(0);
        QVERIFY(actions->isVisible());
    }

    void reductionTabSwitchesEntriesAndProgressPage() {
        auto window = MakeWindow();
        auto* tabs = Find<QTabWidget>(*window, "GrafikPageControl01");
        tabs->setCurrentIndex(1);
        QVERIFY(!Find<QAction>(*window, "PM01_DDS")->isEnabled());
        QVERIFY(Find<QAction>(*window, "PM01_DV")->isEnabled());
        QCOMPARE(Find<QStackedWidget>(*window, "NBStatus01")->currentIndex(), 2);
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(0);
        QCOMPARE(Find<QStackedWidget>(*window, "NBStatus01")->currentIndex(), 2);
        tabs->setCurrentIndex(0);
        QVERIFY(Find<QAction>(*window, "HMenu_DDS")->isEnabled());
        QVERIFY(!Find<QAction>(*window, "HMenu_DV")->isEnabled());
        QCOMPARE(Find<QStackedWidget>(*window, "NBStatus01")->currentIndex(), 1);
    }

    void leavingTheResultViewRestoresTreeAndEntries() {
        Folder before({"a.jpg"});
        Folder result({"Defekt00001_a.jpg"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, result.path()));
        // The defect scan's result view: tag 1, entries as the scan leaves them.
        QAbstractButton* view = Button(*window, "BitBtn_DDS03");
        view->setProperty("Tag", 1);
        view->setText(CatalogueText(9));
        window->controller<DefectScanController>().setSavedTreeFolder(before.path());
        for (const char* name : {"HMenu_DDS", "PM01_DDS"})
            Find<QAction>(*window, name)->setEnabled(false);
        for (const char* name : {"HMenu_DDL", "PM01_DDL"})
            Find<QAction>(*window, name)->setEnabled(true);
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(1);
        QCOMPARE(view->property("Tag").toInt(), 0);
        QCOMPARE(WithoutMnemonic(view->text()), CatalogueText(8));
        QCOMPARE(window->currentTreeFolder(), QDir::cleanPath(before.path()));
        // Hidden entries report disabled; back on the tab they show their state.
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(0);
        for (const char* suffix : {"DDS", "DDL", "DV"})
            QCOMPARE(Find<QAction>(*window, QByteArray("PM01_") + suffix)->isEnabled(),
                     window->findChild<QAction*>(QString("HMenu_") + suffix)->isEnabled());
        QVERIFY(Find<QAction>(*window, "PM01_DDS")->isEnabled());
        QVERIFY(!Find<QAction>(*window, "PM01_DDL")->isEnabled());
        QVERIFY(!Find<QAction>(*window, "PM01_DV")->isEnabled());
    }

    void leavingTheDuplicateResultView() {
        auto window = MakeWindow();
        auto* series = Find<QTabWidget>(*window, "HauptPageControl01");
        series->setCurrentIndex(3);
        QAbstractButton* result = Button(*window, "BitBtnDupErgebnis");
        result->setProperty("Tag", 1);
        Find<QStackedWidget>(*window, "HauptNotebook01")->setCurrentIndex(1);
        series->setCurrentIndex(0);
        QCOMPARE(Find<QStackedWidget>(*window, "HauptNotebook01")->currentIndex(), 0);
        QCOMPARE(result->property("Tag").toInt(), 0);
        QCOMPARE(WithoutMnemonic(result->text()), CatalogueText(3));
        QCOMPARE(result->toolTip(), CatalogueText(4));
    }

    void selectionKind_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("rekursiv");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("kind");
        QTest::newRow("box ticked, nothing selected") << 0 << true << 0 << 2;
        QTest::newRow("box ticked, one selected") << 1 << true << 1 << 2;
        QTest::newRow("box ticked on functions") << 2 << true << 3 << 2;
        QTest::newRow("box clear, three selected") << 0 << false << 3 << 3;
        QTest::newRow("box clear, one selected") << 2 << false << 1 << 1;
        QTest::newRow("box clear, nothing") << 0 << false << 0 << 0;
        QTest::newRow("duplicates tab has no box") << 3 << true << 1 << 1;
    }
    void selectionKind() {
        QFETCH(int, tab);
        QFETCH(bool, rekursiv);
        QFETCH(int, selected);
        QFETCH(int, kind);
        Folder folder({"a.jpg", "b.jpg", "c.jpg"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"a.jpg", "b.jpg", "c.jpg"}));
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(tab);
        QVERIFY(WaitForItems(*window, {"a.jpg", "b.jpg", "c.jpg"}));
        static const char* boxes[] = {"GrafikRekursiv", "IdxRekursiv", "FktRekursiv"};
        if (tab < 3)
            Button(*window, boxes[tab])->setChecked(rekursiv);
        window->fileList()->selectNames(QStringList{"a.jpg", "b.jpg", "c.jpg"}.mid(0, selected));
        QCOMPARE(window->controller<BrowserController>().SelectionKind(), kind);
    }

    void popupWording_data() {
        QTest::addColumn<int>("before"); // selected at an earlier opening; -1: none
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("caption");
        QTest::newRow("nothing, first opening") << -1 << 0 << false << 811;
        QTest::newRow("nothing after two files") << 2 << 0 << false << 812;
        QTest::newRow("one file") << -1 << 1 << true << 811;
        QTest::newRow("two files") << -1 << 2 << true << 812;
        QTest::newRow("one file after two") << 2 << 1 << true << 811;
    }
    void popupWording() {
        QFETCH(int, before);
        QFETCH(int, selected);
        QFETCH(bool, enabled);
        QFETCH(int, caption);
        Folder folder({"a.jpg", "b.jpg"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"a.jpg", "b.jpg"}));
        const QStringList names{"a.jpg", "b.jpg"};
        if (before >= 0) {
            window->fileList()->selectNames(names.mid(0, before));
            window->controller<BrowserController>().PopupMenu01Popup();
        }
        window->fileList()->selectNames(names.mid(0, selected));
        window->controller<BrowserController>().PopupMenu01Popup();
        QAction* remove = Find<QAction>(*window, "PM01_DateiLoeschen");
        QCOMPARE(remove->isEnabled(), enabled);
        QCOMPARE(WithoutMnemonic(remove->text()), CatalogueText(caption));
        QCOMPARE(remove->statusTip(), CatalogueText(caption + 9));
    }

    void deletingWithTheBoxTickedAndNothingSelectedAsksNothing() {
        Folder folder({"a.jpg", "b.jpg"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"a.jpg", "b.jpg"}));
        Button(*window, "GrafikRekursiv")->setChecked(true);
        window->controller<BrowserController>().PopupMenu01Popup();
        QAction* remove = Find<QAction>(*window, "PM01_DateiLoeschen");
        QVERIFY(remove->isEnabled());
        QCOMPARE(WithoutMnemonic(remove->text()), QStringLiteral("Dateien löschen"));
        DialogAnswerer answers;
        remove->trigger();
        QCOMPARE(answers.shown().size(), 0);
        QCOMPARE(answers.unexpected(), 0);
        QVERIFY(QFile::exists(folder.file("a.jpg")));
        QVERIFY(QFile::exists(folder.file("b.jpg")));
    }

    void deletingFromThePopupAsksAndUsesTheTrash_data() {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("question");
        QTest::newRow("one, yes") << QStringList{"b.jpg"} << "Yes" << 9029;
        QTest::newRow("two, yes") << QStringList{"a.jpg", "c.jpg"} << "Yes" << 9031;
        QTest::newRow("two, no") << QStringList{"a.jpg", "c.jpg"} << "No" << 9031;
        QTest::newRow("one, close box") << QStringList{"a.jpg"} << "" << 9029;
    }
    void deletingFromThePopupAsksAndUsesTheTrash() {
        QFETCH(QStringList, selected);
        QFETCH(QString, answer);
        QFETCH(int, question);
        Folder folder({"a.jpg", "b.jpg", "c.jpg"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"a.jpg", "b.jpg", "c.jpg"}));
        window->fileList()->selectNames(selected);
        DialogAnswerer answers;
        if (!answer.isEmpty())
            answers.queue(answer);
        Find<QAction>(*window, "PM01_DateiLoeschen")->trigger();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().first().text, CatalogueText(question));
        QCOMPARE(answers.shown().first().buttons, (QStringList{"Yes", "No"}));
        const bool deleted = answer == "Yes";
        QStringList left = {"a.jpg", "b.jpg", "c.jpg"};
        for (const QString& name : selected) {
            QCOMPARE(QFile::exists(folder.file(name)), !deleted);
            QCOMPARE(QFile::exists(testing::dataHome() + "/Trash/files/" + name), deleted);
            if (deleted)
                left.removeAll(name);
        }
        QVERIFY(WaitForItems(*window, left));
        QDir(testing::dataHome() + "/Trash").removeRecursively();
    }

    void markAllSelectsEveryItem() {
        Folder folder({"a.jpg", "b.jpg", "Sub/"});
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, folder.path()));
        QVERIFY(WaitForItems(*window, {"Sub", "a.jpg", "b.jpg"}));
        Find<QAction>(*window, "PM01_DateienMarkieren")->trigger();
        QCOMPARE(window->fileList()->selectedCount(), 3);
    }

    void refreshSelectsTheStartFolder() {
        Folder start({"s.jpg"});
        Folder elsewhere({"e.jpg"});
        auto window = MakeWindow([&](AppSettings& s) { s.Startverzeichnis = start.path() + "/"; });
        QVERIFY(ShowFolder(*window, elsewhere.path()));
        Find<QAction>(*window, "TB01Refresh")->trigger();
        QCOMPARE(window->currentTreeFolder(), QDir::cleanPath(start.path()));
        QCOMPARE(window->controller<BrowserController>().treeFolder(),
                 QDir::cleanPath(start.path()));
        QVERIFY(WaitForItems(*window, {"s.jpg"}));
    }

    void refreshWithAVanishedStartFolderLeavesTheTree() {
        Folder elsewhere({"e.jpg"});
        auto window = MakeWindow(
            [](AppSettings& s) { s.Startverzeichnis = testing::homeFolder() + "/weg/"; });
        QVERIFY(ShowFolder(*window, elsewhere.path()));
        Find<QAction>(*window, "TB01Refresh")->trigger();
        QCOMPARE(window->currentTreeFolder(), QDir::cleanPath(elsewhere.path()));
    }
};

KELVASTO_REGISTER_TEST(TestPageRules)
#include "test_page_rules.moc"
