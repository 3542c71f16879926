#include "common/file_fixtures.h"
#include "common/jpeg_builder.h"
#include "common/recording_job_host.h"
#include "common/skip_fixtures.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "jobs/defect_scan/move_log.h"
#include "jobs/framework/job_controls.h"
#include "jobs/reduction/reduce_jpegs.h"
#include "settings/app_settings.h"

#include <QTest>

#include <sys/stat.h>

namespace {

constexpr qint64 kSaved = JpegBuilder::kDecoratedSaved;

ReduceJpegsOptions allRemovals() {
    ReduceJpegsOptions options;
    options.remove = {true, true, true};
    return options;
}

QStringList messageTexts(const RecordingJobHost& host) {
    QStringList texts;
    for (const auto& message : host.messages())
        texts << message.text;
    return texts;
}

QString warning() {
    QStringList lines;
    for (int id = 9108; id <= 9112; ++id)
        lines << CatalogueText(CatalogueId(id));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class TestReduceJpegs : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetLanguageOffset(0); }

    // Every way the job ends before reducing: which messages, whether the
    // warning came, and that the window is left as it was found.
    void endsBeforeReducing_data() {
        QTest::addColumn<bool>("anyOption");
        QTest::addColumn<bool>("copies");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<int>>("messages");
        const QList<int> warned{-1};
        QTest::newRow("no removal chosen") << false << false << "" << 1 << QList<int>{9107};
        QTest::newRow("copies without destination") << true << true << "" << 1 << QList<int>{9003};
        QTest::newRow("warning aborted") << true << false << "" << 3 << warned;
        QTest::newRow("warning closed") << true << true << "/x" << 2 << warned;
    }
    void endsBeforeReducing() {
        QFETCH(bool, anyOption);
        QFETCH(bool, copies);
        QFETCH(QString, destination);
        QFETCH(int, answer);
        QFETCH(QList<int>, messages);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", JpegBuilder::decorated()));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        host.queueAnswer(answer);
        ReduceJpegsOptions options = allRemovals();
        options.remove = {anyOption, false, anyOption};
        options.recursive = true;
        options.copies = copies;
        options.destination = destination;
        ReduceJpegs(host, options);
        QStringList expected;
        for (int id : messages)
            expected << (id < 0 ? warning() : CatalogueText(CatalogueId(id)));
        QCOMPARE(messageTexts(host), expected);
        if (messages.first() < 0) {
            QCOMPARE(host.messages().first().kind, MessageKind::Warning);
            QCOMPARE(host.text(kReductionControls.progress.total), QStringLiteral("1"));
        } else {
            QVERIFY(host.lockCalls().isEmpty());
        }
        QCOMPARE(tree.read("a.jpg"), JpegBuilder::decorated());
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
    }

    void warnsAlsoWithNothingCollected() {
        RecordingJobHost host;
        host.queueAnswer(DialogResult::OK);
        const ReduceJpegsResult result = ReduceJpegs(host, allRemovals());
        QCOMPARE(result.collected, 0);
        QCOMPARE(messageTexts(host),
                 (QStringList{warning(), CatalogueText(CatalogueId::ReductionReady)}));
    }

    void reducesTreeInPlace() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", JpegBuilder::decorated()));
        QVERIFY(tree.file("sub/b.jpeg", JpegBuilder::decorated()));
        QVERIFY(tree.file("sub/c.jpg", JpegBuilder::picture(8, 8)));
        QVERIFY(tree.file("d.png", JpegBuilder::decorated()));
        // A killed run's leftover goes; a file still being written stays.
        fixtures::leaveTemporary(tree.path("sub/.kelvasto-tmp-Kill01"), "half", false);
        const FileDescriptor held =
            fixtures::leaveTemporary(tree.path(".kelvasto-tmp-Held01"), "half", true);
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        host.queueAnswer(DialogResult::OK);
        ReduceJpegsOptions options = allRemovals();
        options.recursive = true;
        const ReduceJpegsResult result = ReduceJpegs(host, options);
        QCOMPARE(tree.names("sub"), QStringList({"b.jpeg", "c.jpg"}));
        QCOMPARE(tree.names(QString()), QStringList({".kelvasto-tmp-Held01", "a.jpg", "d.png"}));
        QCOMPARE(result.collected, 3);
        QCOMPARE(result.changed, 2);
        QCOMPARE(result.savingsTotal, 2 * kSaved);
        QCOMPARE(tree.read("a.jpg").size(), JpegBuilder::decorated().size() - kSaved);
        QCOMPARE(tree.read("sub/b.jpeg").size(), JpegBuilder::decorated().size() - kSaved);
        QCOMPARE(tree.read("d.png"), JpegBuilder::decorated());
        QCOMPARE(host.text(kReductionControls.savings), QString::number(2 * kSaved));
        QCOMPARE(host.text(kReductionControls.progress.total), QStringLiteral("3"));
        QCOMPARE(host.text(kReductionControls.progress.done), QStringLiteral("3"));
        QCOMPARE(host.progressMaximum(kReductionControls.progress.bar), 3);
        QCOMPARE(host.progressValue(kReductionControls.progress.bar), 3);
        QCOMPARE(messageTexts(host).last(), CatalogueText(CatalogueId::ReductionReady));
        QCOMPARE(host.refreshCount(), 0);
        QVERIFY(host.lists().ProtokollListBox.isEmpty());
        QVERIFY(!QFileInfo::exists(ProtocolFilePath(host.settings())));
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
    }

    // Copies into the files' own folder would be the originals themselves:
    // the originals stay as they are. When that is every file, the run
    // reduced nothing and says so; "ready" would tell the user otherwise.
    void copiesIntoTheSourceFolderKeepTheOriginals_data() {
        QTest::addColumn<bool>("recursive");
        QTest::addColumn<int>("reduced");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<bool>("nothing");
        QTest::newRow("only files of that folder") << false << 0 << QStringList() << true;
        QTest::newRow("a sub-folder's file too") << true << 1 << QStringList{"in/a.jpg"} << false;
    }
    void copiesIntoTheSourceFolderKeepTheOriginals() {
        QFETCH(bool, recursive);
        QFETCH(int, reduced);
        QFETCH(QStringList, kept);
        QFETCH(bool, nothing);
        SetLanguageOffset(10000);
        fixtures::Tree tree;
        QVERIFY(tree.file("in/a.jpg", JpegBuilder::decorated()));
        QVERIFY(tree.file("in/sub/b.jpg", JpegBuilder::decorated()));
        RecordingJobHost host;
        host.setSelectedFolder(tree.path("in"));
        host.setSelectedFiles({tree.path("in/a.jpg")});
        host.queueAnswer(DialogResult::OK);
        ReduceJpegsOptions options = allRemovals();
        options.recursive = recursive;
        options.copies = true;
        options.destination = tree.path("in/");
        const ReduceJpegsResult result = ReduceJpegs(host, options);
        QCOMPARE(result.originalsKept, 1);
        QCOMPARE(result.changed, reduced);
        QCOMPARE(result.reducedNothing, nothing);
        QCOMPARE(tree.read("in/a.jpg"), JpegBuilder::decorated());
        QCOMPARE(tree.read("in/sub/b.jpg"), JpegBuilder::decorated());
        // b's copy went beside a and was reduced there.
        if (recursive)
            QCOMPARE(tree.read("in/b.jpg").size(), JpegBuilder::decorated().size() - kSaved);
        QStringList keptPaths;
        for (const QString& file : kept)
            keptPaths << tree.path(file);
        QCOMPARE(host.skippedPaths(), keptPaths);
        const QString last = messageTexts(host).last();
        if (nothing)
            QVERIFY2(last.startsWith("Nothing was reduced"), qPrintable(last));
        else
            QCOMPARE(last, CatalogueText(CatalogueId::ReductionReady));
        QCOMPARE(host.reportDepth(), 0);
    }

    // The stop is read after the file in hand: a stop clicked during file 5
    // of 20 comes through when file 5 is done, and 6 to 20 stay as they were.
    void stopDuringFileFive() {
        fixtures::Tree tree;
        QStringList files;
        for (int i = 1; i <= 20; ++i) {
            const QString name = QStringLiteral("f%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
            QVERIFY(tree.file(name, JpegBuilder::decorated()));
            files << tree.path(name);
        }
        RecordingJobHost host;
        host.setSelectedFiles(files);
        host.queueAnswer(DialogResult::OK);
        host.onProcessPendingMessages([&](int) {
            if (host.text(kReductionControls.progress.done) == QLatin1String("5"))
                host.stopFlags().JpegJobStop = 1;
        });
        const ReduceJpegsResult result = ReduceJpegs(host, allRemovals());
        QVERIFY(result.stopped);
        QCOMPARE(result.reduced, 5);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(testing::readFile(files[i]).size(),
                     JpegBuilder::decorated().size() - (i < 5 ? kSaved : 0));
        QCOMPARE(host.text(kReductionControls.progress.done), QStringLiteral("5"));
        QCOMPARE(host.text(kReductionControls.savings), QString::number(5 * kSaved));
        QCOMPARE(messageTexts(host),
                 (QStringList{warning(), CatalogueText(CatalogueId::ReductionAborted)}));
        QVERIFY(host.lockBalanced());
        // Nothing read or written ahead of the stop is left behind.
        QCOMPARE(tree.names("").size(), 20);
    }

    // A stop clicked before the run (or while collecting) does not count.
    void earlierStopIsCleared() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", JpegBuilder::decorated()));
        QVERIFY(tree.file("b.jpg", JpegBuilder::decorated()));
        RecordingJobHost host;
        host.setSelectedFiles({tree.path("a.jpg"), tree.path("b.jpg")});
        host.queueAnswer(DialogResult::OK);
        host.stopFlags().JpegJobStop = 1;
        const ReduceJpegsResult result = ReduceJpegs(host, allRemovals());
        QVERIFY(!result.stopped);
        QCOMPARE(result.reduced, 2);
    }

    // A file that cannot be opened ends the job there, without a closing
    // message; the files before it are reduced and in place.
    void unopenableFileEndsTheJob() {
        fixtures::Tree tree;
        QStringList files;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) {
            QVERIFY(tree.file(QString::fromLatin1(name), JpegBuilder::decorated()));
            files << tree.path(QString::fromLatin1(name));
        }
        // Vanished between the collection and its turn.
        QVERIFY(QFile::remove(files[2]));
        RecordingJobHost host;
        host.setSelectedFiles(files);
        host.queueAnswer(DialogResult::OK);
        const ReduceJpegsResult result = ReduceJpegs(host, allRemovals());
        QCOMPARE(result.failedFile, files[2]);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(result.reduced, 2);
        QCOMPARE(result.savingsTotal, 2 * kSaved);
        QCOMPARE(tree.read("a.jpg").size(), JpegBuilder::decorated().size() - kSaved);
        QCOMPARE(tree.read("b.jpg").size(), JpegBuilder::decorated().size() - kSaved);
        QCOMPARE(tree.read("d.jpg"), JpegBuilder::decorated());
        QCOMPARE(tree.names(""), (QStringList{"a.jpg", "b.jpg", "d.jpg"}));
        QCOMPARE(messageTexts(host), QStringList{warning()});
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
    }

    // A file listed again is reduced again, as the pass before left it:
    // with two comments, the first two passes take one each. Many repeats
    // in a row do not hold up the files behind them.
    void fileListedAgainIsReducedAgain_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<qint64>("saved");
        QTest::newRow("twice") << QStringList{"a.jpg", "a.jpg"} << qint64(14);
        QStringList many(12, QStringLiteral("a.jpg"));
        many << "b.jpg"
             << "c.jpg"
             << "a.jpg"
             << "b.jpg";
        QTest::newRow("twelve times, then others") << many << qint64(35);
    }
    void fileListedAgainIsReducedAgain() {
        QFETCH(QStringList, names);
        QFETCH(qint64, saved);
        fixtures::Tree tree;
        const QByteArray twoComments =
            JpegBuilder().soi().com("one").com("two").segment(0xDA, 6).scanData(900).eoi().bytes();
        QStringList files;
        for (const QString& name : names) {
            QVERIFY(tree.file(name, twoComments));
            files << tree.path(name);
        }
        RecordingJobHost host;
        host.setSelectedFiles(files);
        host.queueAnswer(DialogResult::OK);
        ReduceJpegsOptions options;
        options.remove.comment = true;
        const ReduceJpegsResult result = ReduceJpegs(host, options);
        QCOMPARE(result.savingsTotal, saved);
        QCOMPARE(tree.read("a.jpg").size(), twoComments.size() - 14);
        QCOMPARE(result.reduced, int(names.size()));
    }
};

KELVASTO_REGISTER_TEST(TestReduceJpegs)
#include "test_reduce_jpegs.moc"
