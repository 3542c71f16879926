// The similar-picture search driven through the window: its sub-page, the
// groups on the result page, marking, the questions before the trash, a
// double click, and the page rules leaving the result page.

#include "common/main_window_fixture.h"

#include "app/open_with_program.h"
#include "common/dialog_answerer.h"
#include "common/similar_scenes.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "i18n/own_texts.h"
#include "ui/features/similar/similar_result_view.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include <cstdio>

using namespace mwtest;
using testing::Variant;

namespace {

// Two groups: a.jpg with its grey copy a-grey.jpg, b.jpg with its half-size
// copy b-half.jpg and its 12 % brighter copy b-bright.jpg; c.jpg alone.
struct SimilarTree {
    QString root = testing::homeFolder() + QStringLiteral("/similar");
    SimilarTree() {
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        const Picture a = testing::scene(320, 224, 61), b = testing::scene(320, 224, 62);
        testing::writeBytes(path("a.jpg"), testing::jpegAt(a, 90));
        testing::writeBytes(path("a-grey.jpg"), testing::variantFile(a, Variant::Grey));
        testing::writeBytes(path("b.jpg"), testing::jpegAt(b, 95));
        testing::writeBytes(path("b-half.jpg"), testing::variantFile(b, Variant::Half));
        testing::writeBytes(path("b-bright.jpg"), testing::variantFile(b, Variant::Brighter12));
        testing::writeBytes(path("c.jpg"), testing::jpegAt(testing::scene(320, 224, 63), 90));
    }
    QString path(const QString& name) const { return root + '/' + name; }
};

SimilarResultView* view(THauptForm& window) {
    return Find<SimilarResultView>(window, "ListView_Sim01");
}

void click(THauptForm& window, const char* button) {
    Find<QAbstractButton>(window, button)->click();
}

// The groups as names, one string per row.
QStringList rows(THauptForm& window) {
    QStringList out;
    for (int row = 0; row < view(window)->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < view(window)->columnCount(); ++column)
            if (const QString path = view(window)->pathAt(row, column); !path.isEmpty())
                cells.append(path.section('/', -1));
        out.append(cells.join(' '));
    }
    return out;
}

std::unique_ptr<THauptForm> searched(const SimilarTree& tree) {
    auto window = MakeWindow();
    if (!ShowFolder(*window, tree.root))
        return nullptr;
    Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(3);
    Find<QTabWidget>(*window, "DupPageControl01")->setCurrentIndex(1);
    click(*window, "BitBtnSimSuchen");
    return window;
}

} // namespace

class TestSimilarWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void searchShowsGroupsKeeperFirst() {
        SimilarTree tree;
        DialogAnswerer answers;
        auto window = searched(tree);
        QVERIFY(window);
        QCOMPARE(rows(*window), (QStringList{"b.jpg b-bright.jpg b-half.jpg", "a.jpg a-grey.jpg"}));
        QCOMPARE(Find<QLabel>(*window, "Label_Sim02")->text(), "6");
        QCOMPARE(Find<QLabel>(*window, "Label_Sim04")->text(), "6");
        QCOMPARE(Find<QLabel>(*window, "Label_Sim06")->text(), "2");
        // The result page opens by itself; the window is given back.
        QCOMPARE(Find<QStackedWidget>(*window, "HauptNotebook01")->currentWidget()->objectName(),
                 "ErgebnisAehnlich");
        QVERIFY(Find<QTabWidget>(*window, "HauptPageControl01")->isEnabled());
        // Each cell names the size, the bytes and the folder.
        const QString cell = view(*window)->item(0, 2)->text();
        QVERIFY2(cell.contains("160 × 112") && cell.contains(tree.root), qPrintable(cell));
        QTRY_VERIFY(view(*window)->hasThumbnail(tree.path("b-half.jpg")));
        QVERIFY(answers.shown().isEmpty());
    }

    void markThenTrashKeepsKeepers() {
        SimilarTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        click(*window, "BitBtn_Sim01");
        QCOMPARE(view(*window)->markedPaths(),
                 (QStringList{tree.path("b-bright.jpg"), tree.path("b-half.jpg"),
                              tree.path("a-grey.jpg")}));
        DialogAnswerer answers;
        answers.queue("Yes");
        click(*window, "BitBtn_Sim02");
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::ReallyDeleteMarkedFiles));
        for (const char* gone : {"b-bright.jpg", "b-half.jpg", "a-grey.jpg"})
            QVERIFY2(!QFile::exists(tree.path(gone)), gone);
        for (const char* kept : {"a.jpg", "b.jpg", "c.jpg"})
            QVERIFY2(QFile::exists(tree.path(kept)), kept);
        QVERIFY(QFile::exists(testing::dataHome() + "/Trash/files/b-half.jpg"));
        QVERIFY(rows(*window).isEmpty()); // no group is left
    }

    void fileChangedBehindTheSearchStays_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("saved anew") << "saved anew";
        QTest::newRow("replaced by another file") << "replaced";
        QTest::newRow("deleted") << "deleted";
    }

    // The user marked the picture shown: a file that has taken its name
    // since, or that changed, is not the one they chose to lose.
    void fileChangedBehindTheSearchStays() {
        QFETCH(QString, change);
        QDir(testing::dataHome() + "/Trash").removeRecursively();
        SimilarTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        click(*window, "BitBtn_Sim01");
        const QString changed = tree.path("a-grey.jpg");
        const QByteArray newBytes = testing::jpegAt(testing::scene(200, 150, 64), 80);
        if (change == "saved anew") {
            QFile file(changed);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(newBytes);
        } else if (change == "replaced") {
            testing::writeBytes(tree.path("new.tmp"), newBytes);
            QVERIFY(std::rename(QFile::encodeName(tree.path("new.tmp")).constData(),
                                QFile::encodeName(changed).constData()) == 0);
        } else {
            QVERIFY(QFile::remove(changed));
        }
        DialogAnswerer answers;
        answers.queue("Yes");
        click(*window, "BitBtn_Sim02");
        QCOMPARE(answers.shown().size(), 2);
        QCOMPARE(answers.shown().at(1).text,
                 OwnText("similar.notTrashed").arg(OwnText("similar.changedSince").arg(changed)));
        if (change != "deleted")
            QCOMPARE(testing::readFile(changed), newBytes);
        QVERIFY(!QFile::exists(testing::dataHome() + "/Trash/files/a-grey.jpg"));
        // The unchanged marked pictures went; the changed one stays marked.
        QVERIFY(!QFile::exists(tree.path("b-half.jpg")));
        QCOMPARE(rows(*window), QStringList{"a.jpg a-grey.jpg"});
        QCOMPARE(view(*window)->markedPaths(), QStringList{changed});
    }

    void wholeGroupMarkedAsksFirst_data() {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("trashed");
        QTest::newRow("No to the group question") << QStringList{"No"} << false;
        QTest::newRow("close box") << QStringList{} << false;
        QTest::newRow("Yes, then No") << QStringList{"Yes", "No"} << false;
        QTest::newRow("Yes, then Yes") << QStringList{"Yes", "Yes"} << true;
    }

    // Every picture of a group marked would leave none of them: never
    // without a question of its own.
    void wholeGroupMarkedAsksFirst() {
        QFETCH(QStringList, answers);
        QFETCH(bool, trashed);
        SimilarTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        view(*window)->markPaths({tree.path("a.jpg"), tree.path("a-grey.jpg")});
        DialogAnswerer answerer;
        for (const QString& answer : answers)
            answerer.queue(answer);
        click(*window, "BitBtn_Sim02");
        QVERIFY(!answerer.shown().isEmpty());
        QCOMPARE(answerer.shown().at(0).text, OwnText("similar.wholeGroup").arg(1));
        QCOMPARE(QFile::exists(tree.path("a.jpg")), !trashed);
        QCOMPARE(QFile::exists(tree.path("a-grey.jpg")), !trashed);
        QCOMPARE(rows(*window).size(), trashed ? 1 : 2);
    }

    void nothingMarkedShows9017() {
        SimilarTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        DialogAnswerer answers;
        answers.queue("OK");
        click(*window, "BitBtn_Sim02");
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::NothingMarked));
        QCOMPARE(rows(*window).size(), 2);
    }

    void doubleClickOpensThePicture() {
        SimilarTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        QList<DetachedStartCall> calls;
        DetachedStartOverride record([&](const DetachedStartCall& call) {
            calls.append(call);
            return true;
        });
        emit view(*window)->cellDoubleClicked(1, 1);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls.at(0).arguments.last(), tree.path("a-grey.jpg"));
        // An empty cell (row 1 has two pictures, the view three columns).
        DialogAnswerer answers;
        answers.queue("OK");
        emit view(*window)->cellDoubleClicked(1, 2);
        QCOMPARE(calls.size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::NoApplication));
    }

    void leavingTheSubPageLeavesTheResults() {
        SimilarTree tree;
        auto window = searched(tree);
        QVERIFY(window);
        auto* pages = Find<QStackedWidget>(*window, "HauptNotebook01");
        auto* search = Find<QAbstractButton>(*window, "BitBtnSimSuchen");
        QVERIFY(!search->isEnabled());
        Find<QTabWidget>(*window, "DupPageControl01")->setCurrentIndex(0);
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(search->isEnabled() && Find<QToolBar>(*window, "HauptToolBar01")->isEnabled());
        Find<QTabWidget>(*window, "DupPageControl01")->setCurrentIndex(1);
        click(*window, "BitBtnSimErgebnis");
        QCOMPARE(pages->currentWidget()->objectName(), "ErgebnisAehnlich");
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(0);
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(WithoutMnemonic(Find<QAbstractButton>(*window, "BitBtnSimErgebnis")->text()),
                 OwnText("similar.results.show"));
    }

    void textsFollowTheLanguage_data() {
        QTest::addColumn<int>("offset");
        QTest::newRow("German") << 0;
        QTest::newRow("English") << 10000;
    }
    void textsFollowTheLanguage() {
        QFETCH(int, offset);
        auto window = MakeWindow();
        SwitchLanguage(*window, offset);
        const bool english = offset == 10000;
        auto* tabs = Find<QTabWidget>(*window, "DupPageControl01");
        QCOMPARE(WithoutMnemonic(tabs->tabText(1)), OwnTextIn("similar.tab", english));
        QCOMPARE(WithoutMnemonic(Find<QAbstractButton>(*window, "BitBtnSimSuchen")->text()),
                 OwnTextIn("similar.search", english));
        QCOMPARE(Find<QLabel>(*window, "Label_Sim01")->text(),
                 OwnTextIn("similar.progress.total", english));
    }
};

KELVASTO_REGISTER_TEST(TestSimilarWindow)
#include "test_similar_window.moc"
