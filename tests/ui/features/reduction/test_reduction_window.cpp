// The reduction driven through the window: its button and both menu twins,
// the copy mode twice, a stop from the abort button, the message without a
// ticked box.

#include "common/main_window_fixture.h"
#include "jobs/framework/job_controls.h"

#include "common/dialog_answerer.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/widgets/radio_group.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {

constexpr qint64 kSaved = JpegBuilder::kDecoratedSaved;

struct ReductionTree {
    QString root = testing::homeFolder() + QStringLiteral("/reduce");
    QString copies = testing::homeFolder() + QStringLiteral("/copies");
    explicit ReductionTree(int files = 3) {
        QDir(root).removeRecursively();
        QDir(copies).removeRecursively();
        for (int i = 1; i <= files; ++i)
            testing::writeFile(name(i), JpegBuilder::decorated());
        QDir().mkpath(copies);
    }
    QString name(int i) const {
        return root + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QChar('0'));
    }
};

QString label(THauptForm& w, const QString& name) {
    return Find<QLabel>(w, name)->text();
}

QString warning() {
    QStringList lines;
    for (int id = 9108; id <= 9112; ++id)
        lines << CatalogueText(CatalogueId(id));
    return lines.join(QLatin1Char('\n'));
}

// The sub-page "JPEGs verkleinern" of a recursive run over `folder`.
void setUp(THauptForm& window, const QString& folder, bool copies, const QString& destination,
           bool tick = true) {
    QVERIFY(ShowFolder(window, folder));
    Find<QTabWidget>(window, "GrafikPageControl01")->setCurrentIndex(1);
    Find<QCheckBox>(window, "GrafikRekursiv")->setChecked(true);
    Find<RadioGroup>(window, "RadioGroup_DV01")->setItemIndex(copies ? 1 : 0);
    Find<QLineEdit>(window, "GrafikZielverzeichnis")->setText(destination);
    for (const char* box : {"CheckBox_DV02", "CheckBox_DV03", "CheckBox_DV04"})
        Find<QCheckBox>(window, box)->setChecked(tick);
}

void start(THauptForm& window, const QString& how) {
    if (how == QLatin1String("button"))
        Find<QPushButton>(window, "BitBtn_DV01")->click();
    else
        Find<QAction>(window, how)->trigger();
}

} // namespace

class TestReductionWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void startsFromButtonAndMenus_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("button") << "button";
        QTest::newRow("main menu") << "HMenu_DV";
        QTest::newRow("pop-up menu") << "PM01_DV";
    }
    void startsFromButtonAndMenus() {
        QFETCH(QString, how);
        ReductionTree tree;
        auto window = MakeWindow();
        setUp(*window, tree.root, false, QString());
        DialogAnswerer answers;
        answers.queue("OK");
        answers.queue("OK");
        start(*window, how);
        QCOMPARE(answers.shown().size(), 2);
        QCOMPARE(answers.shown().at(0).text, warning());
        QCOMPARE(answers.shown().at(1).text, CatalogueText(CatalogueId::ReductionReady));
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(testing::readFile(tree.name(i)).size(),
                     JpegBuilder::decorated().size() - kSaved);
        QCOMPARE(label(*window, kReductionControls.savings), QString::number(3 * kSaved));
        QCOMPARE(label(*window, kReductionControls.progress.total), QString("3"));
        QCOMPARE(label(*window, kReductionControls.progress.done), QString("3"));
        QCOMPARE(Find<QProgressBar>(*window, kReductionControls.progress.bar)->value(), 3);
        QVERIFY(Find<QTabWidget>(*window, "HauptPageControl01")->isEnabled());
        QCOMPARE(answers.unexpected(), 0);
    }

    void noBoxTicked() {
        ReductionTree tree;
        auto window = MakeWindow();
        setUp(*window, tree.root, false, QString(), false);
        DialogAnswerer answers;
        answers.queue("OK");
        start(*window, "button");
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::NothingToRemoveChosen));
        QCOMPARE(testing::readFile(tree.name(1)), JpegBuilder::decorated());
    }

    // The copies are made and reduced; the second run reduces the existing
    // copies again and saves nothing more. The originals keep their bytes.
    void copyModeTwice() {
        ReductionTree tree;
        auto window = MakeWindow();
        setUp(*window, tree.root, true, tree.copies);
        for (qint64 saved : {3 * kSaved, qint64(0)}) {
            DialogAnswerer answers;
            answers.queue("OK");
            answers.queue("OK");
            start(*window, "button");
            QCOMPARE(answers.shown().size(), 2);
            QCOMPARE(answers.shown().at(0).text, warning());
            QCOMPARE(label(*window, kReductionControls.savings), QString::number(saved));
            QCOMPARE(QDir(tree.copies).entryList(QDir::Files).size(), 3);
            for (int i = 1; i <= 3; ++i) {
                QCOMPARE(testing::readFile(tree.name(i)), JpegBuilder::decorated());
                QCOMPARE(testing::readFile(tree.copies +
                                           QStringLiteral("/p%1.jpg").arg(i, 2, 10, QChar('0')))
                             .size(),
                         JpegBuilder::decorated().size() - kSaved);
            }
        }
    }

    // The abort button asks the running job to stop: the reduction reads this
    // flag after the file in hand (the engine's tests stop it during file 5 of
    // 20; the window shows its counters only every few milliseconds, so a
    // click cannot be timed to a file here).
    void abortButtonRequestsTheStop() {
        auto window = MakeWindow();
        window->stopFlags().JpegJobStop = 0;
        Find<QPushButton>(*window, "BitBtn_DV02")->click();
        QCOMPARE(int(window->stopFlags().JpegJobStop.load()), 1);
    }
};

KELVASTO_REGISTER_TEST(TestReductionWindow)
#include "test_reduction_window.moc"
