// The window's feature controllers and its control lookup: every name the
// jobs write to exists with the right class, a name the window lacks fails
// loudly, and the menu and pop-up twins reach the controller's handler.

#include "base/errors.h"
#include "common/dialog_answerer.h"
#include "common/main_window_fixture.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "jobs/framework/job_controls.h"
#include "ui/features/defect_scan/defect_scan_controller.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTest>

using namespace mwtest;

class TestFeatureControllers : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    // A counter built under another name than the job writes to would stay
    // "0" for ever.
    void everyJobControlExists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("bar");
        QTest::addColumn<int>("page");
        auto progress = [](const char* job, const ProgressControls& names, int page) {
            QTest::addRow("%s total", job) << names.total << false << page;
            QTest::addRow("%s done", job) << names.done << false << page;
            QTest::addRow("%s bar", job) << names.bar << true << page;
        };
        progress("defect scan", kDefectScanControls.progress, kDefectScanPage);
        QTest::newRow("defects found")
            << kDefectScanControls.defectsFound << false << int(kDefectScanPage);
        progress("reduction", kReductionControls.progress, kReductionPage);
        QTest::newRow("savings") << kReductionControls.savings << false << int(kReductionPage);
        progress("functions", kFunctionsControls.progress, kFunctionsPage);
        for (const QString& name : {kDuplicatesControls.toCheck, kDuplicatesControls.possible,
                                    kDuplicatesControls.found, kDuplicatesControls.status})
            QTest::newRow(qPrintable(name)) << name << false << int(kDuplicatesPage);
    }
    void everyJobControlExists() {
        QFETCH(QString, name);
        QFETCH(bool, bar);
        QFETCH(int, page);
        auto window = MakeWindow();
        QWidget* control = bar ? static_cast<QWidget*>(window->control<QProgressBar>(name))
                               : window->control<QLabel>(name);
        auto* pages = window->control<QStackedWidget>(QStringLiteral("NBStatus01"));
        QCOMPARE(pages->indexOf(control->parentWidget()), page);
    }

    void missingControlFailsLoudly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("asBar");
        QTest::newRow("no such name") << "Label_DDS99" << false;
        QTest::newRow("empty name") << "" << false;
        QTest::newRow("name of another class") << kDefectScanControls.defectsFound << true;
    }
    void missingControlFailsLoudly() {
        QFETCH(QString, name);
        QFETCH(bool, asBar);
        auto window = MakeWindow();
        try {
            if (asBar)
                window->control<QProgressBar>(name);
            else
                window->control<QLabel>(name);
            QFAIL("no exception");
        } catch (const KelvastoError& error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains(name + QStringLiteral(" of class")),
                     error.what());
        }
    }

    void jobHostRefusesAnUnknownCounter() {
        auto window = MakeWindow();
        JobHost& host = window->jobHost();
        QVERIFY_THROWS_EXCEPTION(KelvastoError, host.setText("Label_DDS2", "1"));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, host.setProgressValue("ProgressBar_DDS1", 1));
    }

    // The twins of the scan and of the deletion run the controller's
    // handlers: with nothing selected the scan says so; the deletion asks
    // before it touches the found file, and an abort keeps it.
    void menuTwinsReachTheHandler_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("message");
        QTest::addColumn<QString>("answer");
        QTest::newRow("menu: scan") << "HMenu_DDS" << 9000 << "OK";
        QTest::newRow("pop-up: scan") << "PM01_DDS" << 9000 << "OK";
        QTest::newRow("menu: delete") << "HMenu_DDL" << 9016 << "Abort";
        QTest::newRow("pop-up: delete") << "PM01_DDL" << 9016 << "Abort";
    }
    void menuTwinsReachTheHandler() {
        QFETCH(QString, entry);
        QFETCH(int, message);
        QFETCH(QString, answer);
        auto window = MakeWindow();
        const QString found = window->settings().Arbeitsverzeichnis + "Defekt/Defekt1_a.jpg";
        QVERIFY(testing::writeFile(found, "x"));
        DialogAnswerer answers;
        answers.queue(answer);
        auto* action = window->control<QAction>(entry);
        action->setEnabled(true);
        action->trigger();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId(message)));
        QCOMPARE(answers.unexpected(), 0);
        QVERIFY(QFile::exists(found));
    }

    // Before any scan the result view shows where a scan without destination
    // puts its files: below the working folder, not the program's folder.
    void defectFolderStartsInTheWorkingFolder() {
        auto window = MakeWindow();
        QCOMPARE(window->defectFolder(), window->settings().Arbeitsverzeichnis + "Defekt/");
        QVERIFY(!window->defectFolder().startsWith(QCoreApplication::applicationDirPath()));
    }
};

KELVASTO_REGISTER_TEST(TestFeatureControllers)
#include "test_feature_controllers.moc"
