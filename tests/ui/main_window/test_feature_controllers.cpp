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

#include "app/error_handler.h"
#include "ui/features/feature_controller.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {

// A controller wired to a button and an action of its own through onClick
// and onTrigger, by member function or by callable.
class WiringProbe : public FeatureController {
public:
    WiringProbe(THauptForm& window, bool member, bool throws)
        : FeatureController(window), m_member(member), m_throws(throws) {}
    void build(const FeaturePlaces&) override {
        if (m_member) {
            onClick(QStringLiteral("ProbeButton"), &WiringProbe::handler);
            onTrigger(QStringLiteral("ProbeAction"), &WiringProbe::handler);
        } else {
            onClick(QStringLiteral("ProbeButton"), [this] { handler(); });
            onTrigger(QStringLiteral("ProbeAction"), [this] { handler(); });
        }
    }
    void handler() {
        ++calls;
        if (m_throws)
            throw KelvastoError("probe");
    }
    void wire(const QString& button, const QString& action) {
        onClick(button, &WiringProbe::handler);
        onTrigger(action, &WiringProbe::handler);
    }
    int calls = 0;

private:
    bool m_member;
    bool m_throws;
};

} // namespace

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
        QCOMPARE(answers.shown().at(0).text, CatalogueText(message));
        QCOMPARE(answers.unexpected(), 0);
        QVERIFY(QFile::exists(found));
    }

    // A click or a trigger runs the handler once, whichever way it was given,
    // and an exception it throws stays inside the guard.
    void onClickAndOnTriggerRunTheHandler_data() {
        QTest::addColumn<bool>("member");
        QTest::addColumn<bool>("throws");
        QTest::newRow("member function") << true << false;
        QTest::newRow("callable") << false << false;
        QTest::newRow("member function that throws") << true << true;
        QTest::newRow("callable that throws") << false << true;
    }
    void onClickAndOnTriggerRunTheHandler() {
        QFETCH(bool, member);
        QFETCH(bool, throws);
        auto window = MakeWindow();
        auto* button = new QPushButton(window.get());
        button->setObjectName(QStringLiteral("ProbeButton"));
        auto* action = new QAction(window.get());
        action->setObjectName(QStringLiteral("ProbeAction"));
        auto* probe = new WiringProbe(*window, member, throws);
        probe->build(FeaturePlaces{});
        const int discarded = DiscardedErrorCount();
        button->click();
        QCOMPARE(probe->calls, 1);
        action->trigger();
        QCOMPARE(probe->calls, 2);
        QCOMPARE(DiscardedErrorCount() - discarded, throws ? 2 : 0);
    }

    void onClickAndOnTriggerRefuseAMissingName() {
        auto window = MakeWindow();
        auto* probe = new WiringProbe(*window, true, false);
        // An action is no button, a button no action.
        QVERIFY_THROWS_EXCEPTION(KelvastoError, probe->wire("HMenu_DDS", "HMenu_DDS"));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, probe->wire("BitBtn_DDS01", "BitBtn_DDS01"));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, probe->wire("NoSuchButton", "HMenu_DDS"));
    }

    // The controllers add their pages in registration order; the page rules
    // and the user count on this order.
    void pagesStandInTheirPlaces_data() {
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("index");
        for (int tab = 0; tab < 4; ++tab)
            QTest::addRow("series tab %d", tab + 1)
                << "HauptPageControl01" << QString("SerienTabSheet0%1").arg(tab + 1) << tab;
        QTest::newRow("defect scan") << "GrafikPageControl01" << "GrafikTabSheet01" << 0;
        QTest::newRow("reduction") << "GrafikPageControl01" << "GrafikTabSheet02" << 1;
        QTest::newRow("series work") << "PageControl01" << "HauptTabSheet01" << 0;
        QTest::newRow("editor") << "PageControl01" << "HauptTabSheet02" << 1;
        QTest::newRow("browser") << "HauptNotebook01" << "Splitter01" << 0;
        QTest::newRow("duplicates") << "HauptNotebook01" << "ErgebnisDuplikate" << 1;
        QTest::newRow("progress: defects") << "NBStatus01" << "NBStatus01DefekteJPEGs"
                                           << int(kDefectScanPage);
    }
    void pagesStandInTheirPlaces() {
        QFETCH(QString, container);
        QFETCH(QString, page);
        QFETCH(int, index);
        auto window = MakeWindow();
        auto* widget = window->control<QWidget>(page);
        if (auto* tabs = window->findChild<QTabWidget*>(container))
            QCOMPARE(tabs->indexOf(widget), index);
        else
            QCOMPARE(window->control<QStackedWidget>(container)->indexOf(widget), index);
    }

    // Before any scan the result view shows where a scan without destination
    // puts its files: below the working folder, not the program's folder.
    void defectFolderStartsInTheWorkingFolder() {
        auto window = MakeWindow();
        QCOMPARE(window->controller<DefectScanController>().defectFolder(),
                 window->settings().Arbeitsverzeichnis + "Defekt/");
        QVERIFY(!window->controller<DefectScanController>().defectFolder().startsWith(
            QCoreApplication::applicationDirPath()));
    }
};

KELVASTO_REGISTER_TEST(TestFeatureControllers)
#include "test_feature_controllers.moc"
