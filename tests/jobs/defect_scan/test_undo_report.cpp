// The undo command's end: a summary line, and each file it had to leave in
// the defect folder named to the host (the window used to say nothing).

#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "jobs/defect_scan/move_log.h"
#include "settings/app_settings.h"

#include <QTest>

class TestUndoReport : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    void theUndoSumsUpAndNamesWhatStayed_data() {
        QTest::addColumn<bool>("listening"); // the caller hears each pair itself
        QTest::newRow("the window") << false;
        QTest::newRow("a caller that reports for itself") << true;
    }
    void theUndoSumsUpAndNamesWhatStayed() {
        QFETCH(bool, listening);
        fixtures::Tree tree;
        QVERIFY(tree.file("work/Defekt/Defekt1_a.jpg", "a"));
        QVERIFY(tree.file("work/Defekt/Defekt2_b.jpg", "b"));
        QVERIFY(tree.file("pics/b.jpg", "a newer b"));
        RecordingJobHost host;
        host.settings().Arbeitsverzeichnis = tree.path("work/");
        QVERIFY(WriteMoveLog(ProtocolFilePath(host.settings()),
                             {tree.path("pics/a.jpg"), tree.path("work/Defekt/Defekt1_a.jpg"),
                              tree.path("pics/b.jpg"), tree.path("work/Defekt/Defekt2_b.jpg")}));
        int heard = 0;
        UndoListener listener;
        if (listening)
            listener.pairDone = [&](const QString&, const QString&, UndoOutcome) { ++heard; };
        const UndoResult result = UndoLastMoveRun(host, listener);
        QCOMPARE(result.restored, 1);
        QCOMPARE(tree.read("pics/a.jpg"), QByteArray("a"));
        QCOMPARE(host.summaries(),
                 QStringList{"Undo: 1 of 2 file(s) moved back; 1 left in the defect folder"});
        QCOMPARE(heard, listening ? 2 : 0);
        if (listening) {
            QVERIFY(host.skips().isEmpty());
        } else {
            QCOMPARE(host.skippedPaths(), QStringList{tree.path("work/Defekt/Defekt2_b.jpg")});
            QCOMPARE(host.skips().first().reason,
                     "left in the defect folder: " + tree.path("pics/b.jpg") + " is taken");
        }
        QCOMPARE(host.reportDepth(), 0);
    }
};

KELVASTO_REGISTER_TEST(TestUndoReport)
#include "test_undo_report.moc"
