// What the jobs that write new pictures (thumbnails, index pictures, batch
// functions) do with their own results: a second recursive run leaves the
// first run's results alone, two results of one run never replace each other,
// and each run leaves a summary line.

#include "common/file_fixtures.h"
#include "common/jpeg_builder.h"
#include "common/recording_job_host.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include "i18n/catalogue.h"
#include "imaging/picture_files.h"
#include "jobs/functions/batch_functions.h"
#include "jobs/index/index_jobs.h"

#include <QDirIterator>
#include <QTest>

namespace {

enum class Job { Thumbnails, Index, IndexSeries, BlackWhite };

QByteArray photo(std::uint8_t red = 200, std::uint8_t green = 60, std::uint8_t blue = 30) {
    return JpegBuilder::picture(64, 48, red, green, blue);
}

// Every file below the tree's root, relative and sorted.
QStringList allFiles(const fixtures::Tree& tree) {
    QStringList files;
    QDirIterator it(tree.root(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(tree.root().size());
    files.sort();
    return files;
}

struct Run {
    int written = 0;
    bool stopped = false;
};

// One run of `job` over the tree of `start` into `destination`.
Run runJob(Job job, RecordingJobHost& host, const QString& start,
           const DestinationChoice& destination) {
    host.setSelectedFolder(start);
    if (job == Job::BlackWhite) {
        BatchFunctionOptions options;
        options.recursive = true;
        options.destination = destination;
        const BatchFunctionResult result =
            RunJpegFunction(host, BatchFunction::BlackWhite, options);
        return {result.written, result.stopped};
    }
    if (job == Job::Thumbnails) {
        ThumbnailJobOptions options;
        options.recursive = true;
        options.postfix = QStringLiteral("_thumb");
        options.destination = destination;
        const IndexJobResult result = MakeThumbnails(host, options);
        return {result.written, result.stopped};
    }
    IndexJobOptions options;
    options.recursive = true;
    options.bySeries = job == Job::IndexSeries;
    options.stem = QStringLiteral("idx");
    options.destination = destination;
    const IndexJobResult result = MakeIndexPictures(host, options);
    return {result.written, result.stopped};
}

} // namespace

Q_DECLARE_METATYPE(Job)

class TestResultRuns : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() {
        SetLanguageOffset(0);
        QDir(testing::dataHome() + QStringLiteral("/Trash")).removeRecursively();
    }

    // Each run used to take the last run's results for sources, one level
    // deeper every time: Thumbnails/Thumbnails/a_thumb_thumb.jpg, thumbnails
    // of the index sheets, _sw of the _sw files.
    void aSecondRecursiveRunLeavesTheFirstRunsResultsAlone_data() {
        QTest::addColumn<Job>("job");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QStringList>("files");
        const QStringList sources{"a.jpg", "s/b.jpg"};
        QTest::newRow("thumbnails, sub-folder")
            << Job::Thumbnails << int(DestinationKind::SubFolder)
            << sources + QStringList{"R/a_thumb.jpg", "s/R/b_thumb.jpg"};
        QTest::newRow("thumbnails, set folder in the tree")
            << Job::Thumbnails << int(DestinationKind::SetFolder)
            << sources + QStringList{"out/a_thumb.jpg", "out/b_thumb.jpg"};
        QTest::newRow("index pictures, sub-folder") << Job::Index << int(DestinationKind::SubFolder)
                                                    << sources + QStringList{"R/idx_1.jpeg"};
        QTest::newRow("black-and-white, sub-folder")
            << Job::BlackWhite << int(DestinationKind::SubFolder)
            << sources + QStringList{"R/a_sw.jpg", "s/R/b_sw.jpg"};
        QTest::newRow("black-and-white, set folder in the tree")
            << Job::BlackWhite << int(DestinationKind::SetFolder)
            << sources + QStringList{"out/a_sw.jpg", "out/b_sw.jpg"};
    }
    void aSecondRecursiveRunLeavesTheFirstRunsResultsAlone() {
        QFETCH(Job, job);
        QFETCH(int, destination);
        QFETCH(QStringList, files);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", photo()));
        QVERIFY(tree.file("s/b.jpg", photo()));
        QVERIFY(tree.folder("out"));
        const DestinationChoice choice{DestinationKind(destination), tree.path("out"), "R"};
        for (int round = 1; round <= 2; ++round) {
            RecordingJobHost host;
            const Run run = runJob(job, host, tree.root(), choice);
            QCOMPARE(run.written, job == Job::Index ? 1 : 2);
            QVERIFY(host.skips().isEmpty());
        }
        files.sort();
        QCOMPARE(allFiles(tree), files);
    }

    // Pictures of one name from two folders into one set folder: the second
    // result used to send the first to the trash and take its place, and
    // both were reported written.
    void twoResultsOfOneNameNeverReplaceEachOther_data() {
        QTest::addColumn<Job>("job");
        QTest::addColumn<QString>("result");
        QTest::newRow("thumbnails") << Job::Thumbnails << "out/x_thumb.jpg";
        QTest::newRow("black-and-white") << Job::BlackWhite << "out/x_sw.jpg";
        QTest::newRow("index pictures by series") << Job::IndexSeries << "out/Urlaub_1.jpeg";
    }
    void twoResultsOfOneNameNeverReplaceEachOther() {
        QFETCH(Job, job);
        QFETCH(QString, result);
        fixtures::Tree tree;
        const bool series = job == Job::IndexSeries;
        for (const QString& folder : {QString("in/a/"), QString("in/b/")}) {
            // a bright, b dark: the result shows whose it is.
            const QByteArray bytes =
                folder.endsWith("a/") ? photo(240, 240, 240) : photo(20, 20, 20);
            if (series) {
                QVERIFY(tree.file(folder + "Urlaub1.jpg", bytes));
                QVERIFY(tree.file(folder + "Urlaub2.jpg", bytes));
            } else {
                QVERIFY(tree.file(folder + "x.jpg", bytes));
            }
        }
        QVERIFY(tree.folder("out"));
        RecordingJobHost host;
        const Run run =
            runJob(job, host, tree.path("in"), {DestinationKind::SetFolder, tree.path("out"), {}});
        QCOMPARE(run.written, 1);
        QCOMPARE(host.skippedPaths(), QStringList{tree.path(result)});
        QVERIFY2(host.skips().first().reason.contains("another result of this run"),
                 qPrintable(host.skips().first().reason));
        // The middle of the picture, or of a sheet's first cell.
        const Picture picture = LoadJpegFile(tree.path(result));
        const std::uint8_t* middle = series
                                         ? picture.pixel(55, 55)
                                         : picture.pixel(picture.width() / 2, picture.height() / 2);
        QVERIFY2(middle[1] > 150, "the first folder's picture");
        QVERIFY(!QFileInfo::exists(testing::dataHome() + "/Trash/files/" +
                                   QFileInfo(result).fileName()));
    }

    // Jobs without a closing message leave one line: what was written where,
    // or where the run stopped.
    void eachRunLeavesASummaryLine_data() {
        QTest::addColumn<Job>("job");
        QTest::addColumn<int>("stopAfter"); // 0: no stop
        QTest::addColumn<QString>("line");  // "%1": the tree's root
        QTest::newRow("thumbnails")
            << Job::Thumbnails << 0 << "Thumbnails: 3 file(s) written to %1";
        QTest::newRow("thumbnails stopped")
            << Job::Thumbnails << 1
            << "Thumbnails: 1 file(s) written to %1; stopped after 1 of 3 files";
        QTest::newRow("index pictures")
            << Job::Index << 0 << "Index pictures: 1 file(s) written to %1";
        QTest::newRow("black-and-white stopped")
            << Job::BlackWhite << 2
            << "Black-and-white: 2 file(s) written to %1; stopped after 2 of 3 files";
    }
    void eachRunLeavesASummaryLine() {
        QFETCH(Job, job);
        QFETCH(int, stopAfter);
        QFETCH(QString, line);
        fixtures::Tree tree;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            QVERIFY(tree.file(name, photo()));
        RecordingJobHost host;
        host.onProcessPendingMessages([&](int) {
            const QString suffix = job == Job::Thumbnails ? "_thumb.jpg" : "_sw.jpg";
            int written = 0;
            for (const char* name : {"a", "b", "c"})
                written += tree.exists(name + suffix) ? 1 : 0;
            if (stopAfter > 0 && written == stopAfter)
                host.stopFlags().BatchJobStop = 1;
        });
        const Run run = runJob(job, host, tree.root(), {});
        QCOMPARE(run.stopped, stopAfter > 0);
        QCOMPARE(host.summaries(), QStringList{line.arg(tree.root())});
    }
};

KELVASTO_REGISTER_TEST(TestResultRuns)
#include "test_result_runs.moc"
