#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"

#include "base/errors.h"
#include "i18n/catalogue.h"
#include "imaging/picture_files.h"
#include "jobs/framework/job_controls.h"
#include "jobs/index/index_jobs.h"

#include <QTest>

namespace {

const ProgressControls& kProgress = kFunctionsControls.progress;

QByteArray photo(int width = 64, int height = 48) {
    return JpegBuilder::picture(width, height, 200, 60, 30);
}

// Each result written, as "source -> result".
class WrittenRecorder : public IndexJobReporter {
public:
    void noteWritten(const QString& source, const QString& result) override {
        pairs << source + " -> " + result;
    }
    QStringList pairs;
};

IndexJobOptions stemRun(const QString& stem) {
    IndexJobOptions options;
    options.recursive = true;
    options.stem = stem;
    return options;
}

IndexJobOptions seriesRun(SeriesRule rule, int n = 5) {
    IndexJobOptions options;
    options.recursive = true;
    options.bySeries = true;
    options.series = {rule, n};
    return options;
}

ThumbnailJobOptions thumbRun(const QString& postfix = QStringLiteral("_thumb")) {
    ThumbnailJobOptions options;
    options.recursive = true;
    options.postfix = postfix;
    return options;
}

QSize sizeOf(const QString& path) {
    const Picture picture = LoadJpegFile(path);
    return {picture.width(), picture.height()};
}

} // namespace

class TestIndexJobs : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    void startChecksRefuseBeforeAnythingHappens_data() {
        QTest::addColumn<bool>("thumbnails");
        QTest::addColumn<bool>("setFolderEmpty");
        QTest::addColumn<QString>("postfix");
        QTest::addColumn<bool>("selectionEmpty");
        QTest::addColumn<int>("message");
        QTest::newRow("index, no destination folder") << false << true << "" << false << 9003;
        QTest::newRow("thumbs, no destination folder") << true << true << "_t" << false << 9003;
        QTest::newRow("thumbs, no prefix or postfix") << true << false << "" << false << 9002;
        QTest::newRow("index, nothing selected") << false << false << "" << true << 9001;
        QTest::newRow("thumbs, nothing selected") << true << false << "_t" << true << 9001;
    }
    void startChecksRefuseBeforeAnythingHappens() {
        QFETCH(bool, thumbnails);
        QFETCH(bool, setFolderEmpty);
        QFETCH(QString, postfix);
        QFETCH(bool, selectionEmpty);
        QFETCH(int, message);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", photo()));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        host.setSelectedFiles(selectionEmpty ? QStringList{} : QStringList{tree.path("a.jpg")});
        DestinationChoice destination;
        if (setFolderEmpty)
            destination.kind = DestinationKind::SetFolder;
        IndexJobResult result;
        if (thumbnails) {
            ThumbnailJobOptions options = thumbRun(postfix);
            options.recursive = false;
            options.destination = destination;
            result = MakeThumbnails(host, options);
        } else {
            IndexJobOptions options = stemRun("x");
            options.recursive = false;
            options.destination = destination;
            result = MakeIndexPictures(host, options);
        }
        QCOMPARE(int(result.refusedWith.value_or(CatalogueId{})), message);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages().first().text, CatalogueText(CatalogueId(message)));
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
        QCOMPARE(tree.names(""), QStringList{"a.jpg"});
    }

    void stemRunWritesTwoSheetsForFortyFiveFiles() {
        fixtures::Tree tree;
        for (int i = 0; i < 45; ++i)
            QVERIFY(tree.file(QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                              photo(16, 12)));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        const IndexJobResult result = MakeIndexPictures(host, stemRun("urlaub"));
        QCOMPARE(result.written, 2);
        QCOMPARE(sizeOf(tree.path("urlaub_01.jpeg")), QSize(770, 660));
        QCOMPARE(sizeOf(tree.path("urlaub_02.jpeg")), QSize(770, 660));
        QCOMPARE(host.text(kProgress.total), "45");
        QCOMPARE(host.progressMaximum(kProgress.bar), 45);
        QCOMPARE(host.text(kProgress.done), "0"); // counters stay still under a stem name
        QCOMPARE(host.frameCalls(), (QStringList{"busy", "lock 3", "unlock 3", "normal"}));
        QCOMPARE(host.progressPage(), int(kLogoPage));
        QCOMPARE(host.refreshCount(), 1);
        QVERIFY(host.messages().isEmpty()); // no closing message
    }

    void seriesRunNamesSheetsAfterTheSeries_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("postfix");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QStringList>("sheets");
        const int letters = int(SeriesRule::AllLetters), first = int(SeriesRule::FirstChars);
        const int source = int(DestinationKind::SourceFolder),
                  sub = int(DestinationKind::SubFolder);
        QTest::newRow("Urlaub01..03 and Zoo1")
            << QStringList{"Urlaub01.jpg", "Urlaub02.jpg", "Urlaub03.jpg", "Zoo1.jpg"} << letters
            << ""
            << "" << source << QStringList{"Urlaub_1.jpeg"};
        QTest::newRow("prefix and postfix")
            << QStringList{"Urlaub01.jpg", "Urlaub02.jpg"} << letters << "P-"
            << "-Q" << source << QStringList{"P-Urlaub-Q_1.jpeg"};
        QTest::newRow("extension case splits")
            << QStringList{"Urlaub1.jpg", "Urlaub2.JPG"} << letters << ""
            << "" << source << QStringList{};
        QTest::newRow("first characters")
            << QStringList{"Reise_a.jpg", "Reise_b.jpg", "Rom.jpg"} << first << ""
            << "" << source << QStringList{"Reise_1.jpeg"};
        QTest::newRow("0815 passed over")
            << QStringList{"0815.jpg", "a1.jpg", "a2.jpg"} << letters << ""
            << "" << source << QStringList{"a_1.jpeg"};
        QTest::newRow("series in each folder")
            << QStringList{"x/b1.jpg", "x/b2.jpg", "y/b1.jpg", "y/b2.jpg"} << letters << ""
            << "" << source << QStringList{"x/b_1.jpeg", "y/b_1.jpeg"};
        QTest::newRow("sub-folder per series")
            << QStringList{"x/b1.jpg", "x/b2.jpg", "y/c1.jpg", "y/c2.jpg"} << letters << ""
            << "" << sub << QStringList{"x/Index/b_1.jpeg", "y/Index/c_1.jpeg"};
    }
    void seriesRunNamesSheetsAfterTheSeries() {
        QFETCH(QStringList, files);
        QFETCH(int, rule);
        QFETCH(QString, prefix);
        QFETCH(QString, postfix);
        QFETCH(int, destination);
        QFETCH(QStringList, sheets);
        fixtures::Tree tree;
        QVERIFY(tree.folder("in"));
        for (const QString& file : files)
            QVERIFY(tree.file("in/" + file, photo()));
        RecordingJobHost host;
        host.setSelectedFolder(tree.path("in"));
        IndexJobOptions options = seriesRun(SeriesRule(rule));
        options.prefix = prefix;
        options.postfix = postfix;
        options.destination.kind = DestinationKind(destination);
        options.destination.subFolder = "Index";
        const IndexJobResult result = MakeIndexPictures(host, options);
        QCOMPARE(result.written, int(sheets.size()));
        for (const QString& sheet : sheets)
            QVERIFY2(tree.exists("in/" + sheet), qPrintable(sheet));
        // The work list stays sorted after the run.
        QStringList sorted = host.lists().AlteDateinamen;
        std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(host.lists().AlteDateinamen, sorted);
        QVERIFY(host.lockBalanced());
    }

    // The up-downs allow 32000 cells of 510 pixels in one column: a sheet far
    // beyond any picture is refused as an error and the window given back.
    void sheetTooLargeIsRefusedAndTheWindowGivenBack() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", photo()));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        IndexJobOptions options = stemRun("huge");
        options.layout = {32000, 1, 500};
        QVERIFY_THROWS_EXCEPTION(KelvastoError, MakeIndexPictures(host, options));
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
        QCOMPARE(host.progressPage(), int(kLogoPage));
        QCOMPARE(tree.names(""), QStringList{"a.jpg"});
    }

    void seriesCountersFollowTheFilesHandled() {
        fixtures::Tree tree;
        for (const char* name : {"a1.jpg", "a2.jpg", "b1.jpg", "b2.jpg", "b3.jpg"})
            QVERIFY(tree.file(name, photo()));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        MakeIndexPictures(host, seriesRun(SeriesRule::AllLetters));
        QCOMPARE(host.textHistory(kProgress.done), (QStringList{"0", "2", "5"}));
        QCOMPARE(host.progressValue(kProgress.bar), 5);
    }

    void stopTakesEffectAtTheNextSeries() {
        fixtures::Tree tree;
        for (const char* name : {"a1.jpg", "a2.jpg", "b1.jpg", "b2.jpg", "c1.jpg", "c2.jpg"})
            QVERIFY(tree.file(name, photo()));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        host.onProcessPendingMessages([&](int) {
            if (tree.exists("a_1.jpeg"))
                host.stopFlags().BatchJobStop = 1;
        });
        host.stopFlags().BatchJobStop = 1; // an old request does not count
        const IndexJobResult result = MakeIndexPictures(host, seriesRun(SeriesRule::AllLetters));
        QVERIFY(result.stopped);
        QVERIFY(tree.exists("a_1.jpeg"));
        QVERIFY(!tree.exists("b_1.jpeg"));
        QVERIFY(!tree.exists("c_1.jpeg"));
        QCOMPARE(host.progressPage(), int(kLogoPage));
        QVERIFY(host.lockBalanced());
    }

    void unreadableFileInASheetRunIsReported() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", photo()));
        QVERIFY(tree.file("b.jpg", "no picture"));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        const IndexJobResult result = MakeIndexPictures(host, stemRun("s"));
        QCOMPARE(result.written, 1);
        QCOMPARE(result.skipped, 1);
        QCOMPARE(host.skippedPaths(), QStringList{tree.path("b.jpg")});
    }

    void thumbnailsGoWhereTheDestinationSays_data() {
        QTest::addColumn<int>("destination");
        QTest::addColumn<QString>("expected");
        QTest::newRow("source folder")
            << int(DestinationKind::SourceFolder) << "in/x/Bild_thumb.jpg";
        QTest::newRow("sub-folder") << int(DestinationKind::SubFolder) << "in/x/T/Bild_thumb.jpg";
        QTest::newRow("set folder") << int(DestinationKind::SetFolder) << "out/Bild_thumb.jpg";
    }
    void thumbnailsGoWhereTheDestinationSays() {
        QFETCH(int, destination);
        QFETCH(QString, expected);
        fixtures::Tree tree;
        QVERIFY(tree.file("in/x/Bild.jpg", photo(640, 480)));
        QVERIFY(tree.folder("out"));
        RecordingJobHost host;
        host.setSelectedFolder(tree.path("in"));
        ThumbnailJobOptions options = thumbRun();
        options.destination = {DestinationKind(destination), tree.path("out"), "T"};
        const IndexJobResult result = MakeThumbnails(host, options);
        QCOMPARE(result.written, 1);
        QCOMPARE(sizeOf(tree.path(expected)), QSize(100, 75));
        QCOMPARE(host.text(kProgress.total), "1");
        QCOMPARE(host.text(kProgress.done), "1");
        QCOMPARE(host.frameCalls(), (QStringList{"busy", "lock 4", "unlock 4", "normal"}));
        QCOMPARE(host.progressPage(), int(kLogoPage));
        QVERIFY(host.messages().isEmpty());
    }

    void thumbnailRunStopsAtTheNextFile() {
        fixtures::Tree tree;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            QVERIFY(tree.file(name, photo()));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        host.onProcessPendingMessages([&](int) {
            if (tree.exists("a_t.jpg"))
                host.stopFlags().BatchJobStop = 1;
        });
        const IndexJobResult result = MakeThumbnails(host, thumbRun("_t"));
        QVERIFY(result.stopped);
        QCOMPARE(result.written, 1);
        QCOMPARE(host.text(kProgress.done), "1");
        QVERIFY(!tree.exists("b_t.jpg"));
    }

    void unreadableAndUnwritableThumbnailsAreReported() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", photo()));
        QVERIFY(tree.file("bad.jpg", "no picture"));
        QVERIFY(tree.folder("c_t.jpg")); // a folder holds the thumbnail's name
        QVERIFY(tree.file("c.jpg", photo()));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        WrittenRecorder written;
        const IndexJobResult result = MakeThumbnails(host, thumbRun("_t"), &written);
        QCOMPARE(result.written, 1);
        QCOMPARE(host.skippedPaths(), (QStringList{tree.path("bad.jpg"), tree.path("c_t.jpg")}));
        QCOMPARE(written.pairs, QStringList{tree.path("a.jpg") + " -> " + tree.path("a_t.jpg")});
        QVERIFY(tree.exists("a_t.jpg"));
    }
};

KELVASTO_REGISTER_TEST(TestIndexJobs)
#include "test_index_jobs.moc"
