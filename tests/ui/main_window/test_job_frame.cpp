// The batch frame on the window: locking per job kind, the watcher label, the
// abort buttons, the progress controls reached through JobHost, the undo
// entry, and the editor's picture fit.

#include "base/errors.h"
#include "common/main_window_fixture.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "jobs/framework/job_controls.h"
#include "ui/features/defect_scan/defect_scan_controller.h"
#include "ui/features/editor/editor_controller.h"
#include "ui/features/editor/fit_editor_images.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/main_window/browser_controller.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTreeView>

using namespace mwtest;

class TestJobFrame : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void lockingCoversTheJobsTab_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("tab");
        QTest::newRow("defect scan") << 1 << "SerienTabSheet01";
        QTest::newRow("reduction") << 2 << "SerienTabSheet01";
        QTest::newRow("index pictures") << 3 << "SerienTabSheet02";
        QTest::newRow("thumbnails") << 4 << "SerienTabSheet02";
        QTest::newRow("JPEG functions") << 5 << "SerienTabSheet03";
        QTest::newRow("BMP to JPEG") << 6 << "SerienTabSheet03";
        QTest::newRow("duplicates") << 7 << "SerienTabSheet04";
    }
    void lockingCoversTheJobsTab() {
        QFETCH(int, kind);
        QFETCH(QString, tab);
        auto window = MakeWindow();
        JobHost& host = window->jobHost();
        host.lockUi(JobKind(kind));
        for (const char* menu : {"HMenu_Datei", "HMenu_Aktionen", "HMenu_Info"})
            QVERIFY(!Find<QMenu>(*window, menu)->menuAction()->isEnabled());
        for (const char* name : {"HauptPageControl01", "HauptToolBar01"})
            QVERIFY(!Find<QWidget>(*window, name)->isEnabled());
        QVERIFY(!window->controller<BrowserController>().folderTree()->isEnabled());
        QVERIFY(!window->fileList()->isEnabled());
        for (const QString other :
             {"SerienTabSheet01", "SerienTabSheet02", "SerienTabSheet03", "SerienTabSheet04"})
            // Inside the disabled page control every tab reads disabled; only the
            // job's own tab is disabled in its own right.
            QCOMPARE(window->findChild<QWidget*>(other)->testAttribute(Qt::WA_ForceDisabled),
                     other == tab);
        // The progress panel with its abort buttons and the editor stay usable.
        QVERIFY(Find<QWidget>(*window, "BitBtn_DDS02")->isEnabled());
        QVERIFY(Find<QWidget>(*window, "BitBtnDupAbbrechen")->isEnabled());
        QVERIFY(Find<QWidget>(*window, "PageControl01")->isEnabled());
        host.unlockUi(JobKind(kind));
        QVERIFY(Find<QMenu>(*window, "HMenu_Aktionen")->menuAction()->isEnabled());
        QVERIFY(window->findChild<QWidget*>(tab)->isEnabled());
        QVERIFY(window->fileList()->isEnabled());
    }

    void abortButtonsSetTheirFlags_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("jpeg");
        QTest::newRow("defect scan") << "BitBtn_DDS02" << true;
        QTest::newRow("reduction") << "BitBtn_DV02" << true;
        QTest::newRow("functions") << "FktBitBtn01" << false;
        QTest::newRow("duplicates") << "BitBtnDupAbbrechen" << false;
    }
    void abortButtonsSetTheirFlags() {
        QFETCH(QString, button);
        QFETCH(bool, jpeg);
        auto window = MakeWindow();
        auto* abort = window->findChild<QAbstractButton*>(button);
        abort->setProperty("Tag", 5);
        abort->click();
        QCOMPARE(int(window->stopFlags().JpegJobStop), jpeg ? 1 : 0);
        QCOMPARE(int(window->stopFlags().BatchJobStop), jpeg ? 0 : 1);
        if (jpeg)
            QCOMPARE(abort->property("Tag").toInt(), 0);
    }

    void watcherShowsTheGrowingCount_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("label");
        QTest::newRow("defects") << int(WatcherKind::DefekteJPEGs)
                                 << kDefectScanControls.progress.total;
        QTest::newRow("reduction")
            << int(WatcherKind::JPEGVerkleinern) << kReductionControls.progress.total;
        QTest::newRow("duplicates")
            << int(WatcherKind::FortschrittDuplikate) << kDuplicatesControls.toCheck;
        QTest::newRow("similar pictures")
            << int(WatcherKind::AehnlicheBilder) << kSimilarControls.progress.total;
    }
    void watcherShowsTheGrowingCount() {
        QFETCH(int, kind);
        QFETCH(QString, label);
        auto window = MakeWindow();
        JobHost& host = window->jobHost();
        auto* counter = window->findChild<QLabel*>(label);
        QCOMPARE(counter->text(), QStringLiteral("0"));
        host.lists().AlteDateinamen = {"a", "b"};
        host.startWatcher(WatcherKind(kind));
        // A long collection: the list grows while pending messages are processed.
        QElapsedTimer clock;
        clock.start();
        QStringList seen;
        while (clock.elapsed() < 700) {
            host.lists().AlteDateinamen.append("x");
            host.processPendingMessages();
            if (seen.isEmpty() || seen.last() != counter->text())
                seen.append(counter->text());
            QThread::msleep(5);
        }
        host.stopWatcher();
        window->finishWatcher();
        QVERIFY2(seen.size() >= 3, qPrintable(seen.join(',')));
        QVERIFY(seen.at(1).toInt() >= 2);
        QCOMPARE(counter->text(), QString::number(host.lists().AlteDateinamen.size()));
    }

    void closingWhileAWatcherRunsEndsItFirst() {
        auto window = MakeWindow();
        window->show();
        window->jobHost().startWatcher(WatcherKind::DefekteJPEGs);
        window->close();
        window.reset(); // must neither hang nor touch freed controls
    }

    void progressControlsByName() {
        auto window = MakeWindow();
        JobHost& host = window->jobHost();
        host.showProgressPage(4);
        QCOMPARE(Find<QStackedWidget>(*window, "NBStatus01")->currentIndex(), 4);
        host.setProgressMaximum(kReductionControls.progress.bar, 40);
        host.setProgressValue(kReductionControls.progress.bar, 12);
        QCOMPARE(Find<QProgressBar>(*window, kReductionControls.progress.bar)->maximum(), 40);
        // Counters show at the next display interval, while events run.
        QTRY_COMPARE(Find<QProgressBar>(*window, kReductionControls.progress.bar)->value(), 12);
        host.setText(kReductionControls.savings, "1024");
        QTRY_COMPARE(Find<QLabel>(*window, kReductionControls.savings)->text(),
                     QStringLiteral("1024"));
        // A misspelt name is a programming error that must show in a test.
        QVERIFY_THROWS_EXCEPTION(KelvastoError, host.setText("KeinSolchesLabel", "x"));
        host.setBusyCursor(true);
        host.setBusyCursor(false);
        host.setBusyCursor(false); // unbalanced "normal" pops nothing
        QVERIFY(!QApplication::overrideCursor());
    }

    void undoEntryAfterADefectScan() {
        auto window = MakeWindow();
        SetLanguageOffset(10000);
        QAction* entry = Find<QAction>(*window, "HMenuDateiRueckgaengig");
        QAction* button = Find<QAction>(*window, "TB01Rueckgaengig");
        DefectScanReporter& undo = window->controller<DefectScanController>();
        undo.prepareMoveUndo(true);
        QVERIFY(entry->isEnabled());
        QVERIFY(button->isEnabled());
        QCOMPARE(WithoutMnemonic(entry->text()), QStringLiteral("Undo: Move"));
        QCOMPARE(entry->statusTip(), QStringLiteral("Undo last moving event."));
        QCOMPARE(button->toolTip(), QStringLiteral("Undo: Move"));
        undo.prepareMoveUndo(false);
        QVERIFY(!entry->isEnabled());
        QVERIFY(!button->isEnabled()); // the button shows its entry's state
        int undone = 0;
        connect(entry, &QAction::triggered, this, [&] { ++undone; });
        button->trigger(); // inert while the menu entry is disabled
        QCOMPARE(undone, 0);
        undo.prepareMoveUndo(true);
        button->trigger();
        QCOMPARE(undone, 1);
    }

    void fitEditorImages_data() {
        QTest::addColumn<QSize>("pane");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("w");
        QTest::addColumn<QRect>("left");
        QTest::newRow("100 high, 50 wide")
            << QSize(404, 304) << 100 << 50 << QRect(127, 2, 150, 300);
        QTest::newRow("4000 high, 3000 wide")
            << QSize(404, 304) << 4000 << 3000 << QRect(89, 2, 225, 300);
        QTest::newRow("3000 high, 4000 wide")
            << QSize(404, 304) << 3000 << 4000 << QRect(2, 2, 400, 300);
        QTest::newRow("start size 1 x 1") << QSize(404, 304) << 1 << 1 << QRect(52, 2, 300, 300);
        QTest::newRow("wide and flat") << QSize(404, 304) << 10 << 1000 << QRect(2, 150, 400, 4);
        QTest::newRow("no pixels") << QSize(404, 304) << 0 << 0 << QRect(52, 2, 300, 300);
        QTest::newRow("pane smaller than its border") << QSize(3, 3) << 1 << 1 << QRect(1, 1, 0, 0);
    }
    void fitEditorImages() {
        QFETCH(QSize, pane);
        QFETCH(int, h);
        QFETCH(int, w);
        QFETCH(QRect, left);
        const EditorImageLayout layout = FitEditorImages(pane, pane + QSize(1, 0), h, w);
        QCOMPARE(layout.left, left);
        QCOMPARE(layout.right.size(), left.size());
        QCOMPARE(layout.right.left(), (pane.width() + 1 - left.width()) / 2);
    }

    void resizeKeepsTheLeftPaneAtHalfTheWidth() {
        auto window = MakeWindow();
        window->resize(1001, 700);
        window->show();
        Find<QTabWidget>(*window, "PageControl01")->setCurrentIndex(1);
        auto* display = Find<QWidget>(*window, "EinzelNotebook01");
        QTRY_COMPARE(Find<QWidget>(*window, "EinzelNotebook01a")->width(), display->width() / 2);
        window->controller<EditorController>().setEditorPictureSize(100, 50);
        const QWidget* pane = Find<QWidget>(*window, "EinzelNotebook01a");
        const QRect image = Find<QWidget>(*window, "EinzelImage01")->geometry();
        QCOMPARE(image, FitEditorImages(pane->size(), pane->size(), 100, 50).left);
        QCOMPARE(Find<QWidget>(*window, "EinzelImage02")->size(), image.size());
    }
};

KELVASTO_REGISTER_TEST(TestJobFrame)
#include "test_job_frame.moc"
