// The windows made at start answer their menu entries and toolbar buttons:
// every entry of the "Datei" and "Info" menus and their toolbar twins opens
// what it names, in the language chosen at start, and ends nothing for real.

#include "app/open_with_program.h"
#include "app/program_start.h"
#include "common/dialog_answerer.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "settings/hive_store.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/dialogs/uninstall_command.h"
#include "ui/main_window/hauptform.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QTest>

class TestProgramWindows : public QObject {
    Q_OBJECT
private slots:
    void init() { testing::resetToFirstStart(); }
    void cleanup() {
        SetLanguageOffset(0);
        SetLanguageIndex(0);
    }

    void aboutAndOptionsAreMadeAtStart() {
        DialogAnswerer answers;
        answers.queue("BitBtn1");
        ProgramWindows windows = CreateProgramWindows();
        QVERIFY(windows.about);
        QVERIFY(windows.options);
        QVERIFY(!windows.about->isVisible());
        QVERIFY(!windows.options->isVisible());
    }

    void entriesOpenWhatTheyName_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("opens"); // class of the modal dialog, or HelpWindow
        QTest::addColumn<bool>("english");
        for (bool english : {false, true}) {
            const char* language = english ? ", english" : ", deutsch";
            auto row = [&](const char* entry, const char* answer, const char* opens) {
                QTest::newRow(qPrintable(QString::fromLatin1(entry) + language))
                    << entry << answer << opens << english;
            };
            row("HMenuDateiOPT", "OptBitBtn02", "TFormOptionen");
            row("TB01Optionen", "OptBitBtn02", "TFormOptionen");
            row("HMenu_Sprache", "BitBtn2", "TfrmSprache");
            row("HMenuDateiProgDeInst", "No", "TMessageForm");
            row("HMenuInfoHilfe", "", "HelpWindow");
            row("TB01Hilfe", "", "HelpWindow");
            row("HMenu_InfoF", "BitBtn1", "TInfoF");
            row("TB01Info", "BitBtn1", "TInfoF");
        }
    }
    void entriesOpenWhatTheyName() {
        QFETCH(QString, entry);
        QFETCH(QString, answer);
        QFETCH(QString, opens);
        QFETCH(bool, english);
        bool ended = false;
        UninstallOverride target({QDir::tempPath() + "/Kelvasto/kelvasto", [&] { ended = true; }});
        QDir().mkpath(QDir::tempPath() + "/Kelvasto");
        DialogAnswerer answers;
        // The language chooser of the first start picks the language.
        answers.queue("BitBtn1", [english](QWidget* chooser) {
            if (english)
                chooser->findChild<QAbstractButton*>("RadioGroup1_1")->click();
        });
        ProgramWindows windows = CreateProgramWindows();
        QCOMPARE(LanguageOffset(), english ? 10000 : 0);
        QString caption;
        if (!answer.isEmpty())
            answers.queue(answer, [&](QWidget* dialog) {
                if (auto* button = dialog->findChild<QPushButton*>(answer))
                    caption = button->text();
            });
        windows.main->findChild<QAction*>(entry)->trigger();
        QCOMPARE(answers.unexpected(), 0);
        if (opens == QLatin1String("HelpWindow")) {
            auto* help = windows.main->findChild<HelpWindow*>();
            QVERIFY(help && help->isVisible());
            QVERIFY(help->windowTitle().endsWith(english ? "Contents" : "Inhalt"));
        } else {
            QCOMPARE(answers.shown().size(), 2);
            QCOMPARE(answers.shown().at(1).className, opens);
            QVERIFY(!caption.isEmpty());
        }
        QVERIFY(!ended);
        QVERIFY(windows.main->isVisible() == false); // nothing closed or showed it
    }
};

KELVASTO_REGISTER_TEST(TestProgramWindows)
#include "test_program_windows.moc"
