// The duplicate search driven through the window: the search button, the
// result page and its buttons, the page rule leaving it, and the removal of
// empty folders.

#include "common/main_window_fixture.h"

#include "app/open_with_program.h"
#include "common/dialog_answerer.h"
#include "common/duplicate_trees.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

using namespace mwtest;

namespace {

// a, b identical; c, d, e identical; f alone of its size; g of c's size.
struct DupTree {
    QString root = testing::homeFolder() + QStringLiteral("/dupes");
    DupTree() {
        QDir(root).removeRecursively();
        dupes::write(root, {"a.jpg 300 A", "b.jpg 300 A", "c.jpg 500 C", "d.jpg 500 C",
                            "e.jpg 500 C", "f.jpg 700 A", "g.jpg 500 G"});
    }
    QString path(const QString& name) const { return root + '/' + name; }
};

QListWidget* resultList(THauptForm& window) {
    return Find<QListWidget>(window, "ListBox_Dup02");
}

QStringList lines(THauptForm& window) {
    QStringList out;
    for (int row = 0; row < resultList(window)->count(); ++row)
        out.append(resultList(window)->item(row)->text());
    return out;
}

QList<int> selectedRows(THauptForm& window) {
    QList<int> rows;
    for (int row = 0; row < resultList(window)->count(); ++row)
        if (resultList(window)->item(row)->isSelected())
            rows.append(row);
    return rows;
}

void click(THauptForm& window, const char* button) {
    Find<QAbstractButton>(window, button)->click();
}

// The window on the duplicate tab with the search run over `tree`.
std::unique_ptr<THauptForm> searched(const DupTree& tree) {
    auto window = MakeWindow();
    if (!ShowFolder(*window, tree.root))
        return nullptr;
    Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(3);
    click(*window, "BitBtnDupSuchen");
    return window;
}

} // namespace

class TestDuplicatesWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void searchFillsListAndCounters() {
        DupTree tree;
        DialogAnswerer answers;
        auto window = searched(tree);
        QVERIFY(window);
        QCOMPARE(lines(*window),
                 QStringList({tree.path("a.jpg"), tree.path("b.jpg"), "", tree.path("c.jpg"),
                              tree.path("e.jpg"), tree.path("d.jpg"), ""}));
        QCOMPARE(Find<QLabel>(*window, "Label_Dup02")->text(), "7");
        QCOMPARE(Find<QLabel>(*window, "Label_Dup04")->text(), "6");
        QCOMPARE(Find<QLabel>(*window, "Label_Dup06")->text(), "3");
        QCOMPARE(Find<QLabel>(*window, "DupStatusBar")->text(),
                 CatalogueText(CatalogueId::TestForIdentity));
        QCOMPARE(Find<QStackedWidget>(*window, "NBStatus01")->currentIndex(), 0);
        QVERIFY(Find<QTabWidget>(*window, "HauptPageControl01")->isEnabled());
        QVERIFY(answers.shown().isEmpty()); // no closing message
    }

    void resultPageTogglesSearchButtonAndToolbar() {
        auto window = MakeWindow();
        auto* series = Find<QTabWidget>(*window, "HauptPageControl01");
        series->setCurrentIndex(3);
        auto* pages = Find<QStackedWidget>(*window, "HauptNotebook01");
        auto* search = Find<QAbstractButton>(*window, "BitBtnDupSuchen");
        auto* toolbar = Find<QToolBar>(*window, "HauptToolBar01");
        auto* toggle = Find<QAbstractButton>(*window, "BitBtnDupErgebnis");

        click(*window, "BitBtnDupErgebnis");
        QCOMPARE(pages->currentIndex(), 1);
        QVERIFY(!search->isEnabled() && !toolbar->isEnabled());
        QCOMPARE(WithoutMnemonic(toggle->text()), CatalogueText(CatalogueId::DirectoryView));
        QCOMPARE(toggle->toolTip(), CatalogueText(CatalogueId::BackToDirectoryView));

        click(*window, "BitBtnDupErgebnis");
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(search->isEnabled() && toolbar->isEnabled());
        QCOMPARE(WithoutMnemonic(toggle->text()), CatalogueText(CatalogueId::ViewResults));

        // Another series tab leaves the result page the same way.
        click(*window, "BitBtnDupErgebnis");
        series->setCurrentIndex(1);
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(search->isEnabled() && toolbar->isEnabled());
        series->setCurrentIndex(3);
        click(*window, "BitBtnDupErgebnis");
        QCOMPARE(pages->currentIndex(), 1);
    }

    void markAndDeleteLeavesFirstLinesAndSeparators() {
        DupTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        resultList(*window)->item(0)->setSelected(false);
        click(*window, "BitBtn_Dup01");
        QCOMPARE(selectedRows(*window), QList<int>({1, 4, 5}));

        DialogAnswerer answers;
        answers.queue("Yes");
        click(*window, "BitBtn_Dup02");
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::ReallyDeleteMarkedFiles));
        QCOMPARE(lines(*window), QStringList({tree.path("a.jpg"), "", tree.path("c.jpg"), ""}));
        for (const char* gone : {"b.jpg", "d.jpg", "e.jpg"})
            QVERIFY(!QFile::exists(tree.path(gone)));
        for (const char* kept : {"a.jpg", "c.jpg", "f.jpg", "g.jpg"})
            QVERIFY(QFile::exists(tree.path(kept)));
        QVERIFY(resultList(*window)->isEnabled());
    }

    void refusedDeletionKeepsLinesAndFiles_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("No") << "No";
        QTest::newRow("close box") << "";
    }
    void refusedDeletionKeepsLinesAndFiles() {
        QFETCH(QString, answer);
        DupTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        resultList(*window)->item(1)->setSelected(true);
        DialogAnswerer answers;
        if (!answer.isEmpty())
            answers.queue(answer);
        click(*window, "BitBtn_Dup02");
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(lines(*window).size(), 7);
        QVERIFY(QFile::exists(tree.path("b.jpg")));
    }

    void deletingWithoutMarksShows9017() {
        DupTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        DialogAnswerer answers;
        answers.queue("OK");
        click(*window, "BitBtn_Dup02");
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::NothingMarked));
        QCOMPARE(lines(*window).size(), 7);
    }

    void clearingAsksFirst() {
        DupTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        DialogAnswerer answers;
        answers.queue("No");
        click(*window, "BitBtn_Dup03");
        QCOMPARE(lines(*window).size(), 7);
        answers.queue("Yes");
        click(*window, "BitBtn_Dup03");
        QVERIFY(lines(*window).isEmpty());
        QCOMPARE(answers.shown().at(1).text, CatalogueText(CatalogueId::ReallyClearList));
    }

    void doubleClickWithoutCurrentLineShows9005() {
        auto window = MakeWindow();
        DialogAnswerer answers;
        answers.queue("OK");
        QListWidget* list = resultList(*window);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::NoApplication));
    }

    // The current line's file opens in the working folder; an empty
    // separator line names no file.
    void doubleClickOpensCurrentLine() {
        DupTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        QList<DetachedStartCall> calls;
        DetachedStartOverride record([&](const DetachedStartCall& call) {
            calls.append(call);
            return true;
        });
        QListWidget* list = resultList(*window);
        list->setCurrentRow(1);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           list->visualItemRect(list->item(1)).center());
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].arguments, QStringList{tree.path("b.jpg")});
        QCOMPARE(calls[0].workingFolder, window->settings().Arbeitsverzeichnis);

        DialogAnswerer answers;
        answers.queue("OK");
        list->setCurrentRow(2);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           list->visualItemRect(list->item(2)).center());
        QCOMPARE(calls.size(), 1);
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::NoApplication));
    }

    void emptyFoldersButton() {
        const QString root = testing::homeFolder() + QStringLiteral("/folders");
        QDir(root).removeRecursively();
        QVERIFY(QDir().mkpath(root + "/A/B"));
        QVERIFY(testing::writeFile(root + "/C/x.jpg", "12345"));
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, root));
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(3);
        DialogAnswerer answers;
        answers.queue("Yes");
        click(*window, "BitBtnDupLeereOrdner");
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, "2" + CatalogueText(CatalogueId::EmptyFoldersFound) +
                                                 "\n" +
                                                 CatalogueText(CatalogueId::ReallyDeleteFolders));
        QVERIFY(!QFileInfo::exists(root + "/A"));
        QVERIFY(QFileInfo::exists(root + "/C/x.jpg"));

        answers.queue("OK");
        click(*window, "BitBtnDupLeereOrdner");
        QCOMPARE(answers.shown().at(1).text, CatalogueText(CatalogueId::NoEmptyFolders));
    }
};

KELVASTO_REGISTER_TEST(TestDuplicatesWindow)
#include "test_duplicates_window.moc"
