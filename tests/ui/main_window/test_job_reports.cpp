// How the window tells the end of a job: what the job left out, listed once
// in one dialog of the program's style, and a summary line in the status bar,
// in the language of the moment. The jobs used to leave pictures out, or stop
// at an unreadable file, without a word.

#include "common/main_window_fixture.h"

#include "common/dialog_answerer.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {

// A folder with one photograph and one file that only has a picture's name.
struct Tree {
    QString root = testing::homeFolder() + QStringLiteral("/reports/");
    Tree() {
        QDir(root).removeRecursively();
        testing::writeFile(root + "a.jpg", JpegBuilder::picture(64, 48, 40, 160, 220));
        testing::writeFile(root + "bad.jpg", "not a picture");
    }
};

struct ShownList {
    QString text;
    bool readOnly = false;
    bool selectable = false;
};

} // namespace

class TestJobReports : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetLanguageOffset(0); }

    void whatAJobLeftOutIsListedOnceAtItsEnd_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("entry");   // %1: the file left out
        QTest::addColumn<QString>("summary"); // %1: the folder
        QTest::newRow("thumbnails, German")
            << "ThumbBitBtn01" << 0
            << "Ausgelassen oder nicht geschrieben (1), jeweils mit dem Grund:"
            << "%1 — kein JPEG-Bild oder beschädigte Bilddaten"
            << "Vorschaubilder: 1 Datei(en) geschrieben nach %1; 1 ausgelassen oder nicht "
               "geschrieben";
        QTest::newRow("thumbnails, English")
            << "ThumbBitBtn01" << 10000 << "Left out or not written (1), each with its reason:"
            << "%1 — not a JPEG picture, or its data is damaged"
            << "Thumbnails: 1 file(s) written to %1; 1 left out or not written";
        QTest::newRow("black-and-white, German")
            << "FktBB_SW" << 0 << "Ausgelassen oder nicht geschrieben (1), jeweils mit dem Grund:"
            << "%1 — kein JPEG-Bild oder beschädigte Bilddaten; der Lauf endet hier, 1 Datei(en) "
               "nicht bearbeitet (diese eingeschlossen)"
            << "Schwarzweiß: 1 Datei(en) geschrieben nach %1; beendet bei einer nicht lesbaren "
               "Datei, 1 Datei(en) nicht bearbeitet";
        QTest::newRow("black-and-white, English")
            << "FktBB_SW" << 10000 << "Left out or not written (1), each with its reason:"
            << "%1 — not a JPEG picture, or its data is damaged; the run ends here, 1 file(s) "
               "not processed (this one included)"
            << "Black-and-white: 1 file(s) written to %1; ended at a file that cannot be read, "
               "1 file(s) not processed";
    }
    void whatAJobLeftOutIsListedOnceAtItsEnd() {
        QFETCH(QString, button);
        QFETCH(int, language);
        QFETCH(QString, heading);
        QFETCH(QString, entry);
        QFETCH(QString, summary);
        Tree tree;
        auto window = MakeWindow();
        SwitchLanguage(*window, language);
        QVERIFY(ShowFolder(*window, tree.root));
        const bool functions = button.startsWith("Fkt");
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(functions ? 2 : 1);
        Find<QCheckBox>(*window, functions ? "FktRekursiv" : "IdxRekursiv")->setChecked(true);
        ShownList list;
        DialogAnswerer answers;
        answers.queue("OK", [&](QWidget* dialog) {
            auto* text = dialog->findChild<QPlainTextEdit*>("SkippedEntries");
            QVERIFY(text);
            list = {text->toPlainText(), text->isReadOnly(),
                    bool(text->textInteractionFlags() & Qt::TextSelectableByMouse)};
        });
        Find<QAbstractButton>(*window, button)->click();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.unexpected(), 0);
        QCOMPARE(answers.shown().at(0).className, "TMessageForm");
        QCOMPARE(answers.shown().at(0).text, heading);
        QCOMPARE(list.text, entry.arg(tree.root + "bad.jpg"));
        QVERIFY(list.readOnly && list.selectable);
        QCOMPARE(Find<QLabel>(*window, "HauptStatusSummary")->text(), summary.arg(tree.root));
        QVERIFY(!window->jobRunning());
    }

    // A job that leaves nothing out asks nothing at its end; the summary
    // line of the job before gives way to the new one.
    void aJobThatLeavesNothingOutOnlySumsUp() {
        Tree tree;
        QFile::remove(tree.root + "bad.jpg");
        auto window = MakeWindow();
        SwitchLanguage(*window, 10000);
        auto* summary = Find<QLabel>(*window, "HauptStatusSummary");
        summary->setText("an older job's line");
        QVERIFY(ShowFolder(*window, tree.root));
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(1);
        Find<QCheckBox>(*window, "IdxRekursiv")->setChecked(true);
        DialogAnswerer answers;
        Find<QAbstractButton>(*window, "IdxBitBtn01")->click();
        QVERIFY(answers.shown().isEmpty());
        QCOMPARE(summary->text(), "Index pictures: 1 file(s) written to " + tree.root);
    }
};

KELVASTO_REGISTER_TEST(TestJobReports)
#include "test_job_reports.moc"
