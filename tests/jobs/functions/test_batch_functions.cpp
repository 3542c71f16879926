#include "base/errors.h"
#include "common/file_fixtures.h"
#include "common/picture_files_for_tests.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "fs/result_files.h"
#include "i18n/catalogue.h"
#include "imaging/imaging_context.h"
#include "imaging/picture_files.h"
#include "jobs/framework/job_controls.h"
#include "jobs/functions/batch_functions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

Q_DECLARE_METATYPE(BatchFunction)
Q_DECLARE_METATYPE(DestinationKind)

namespace {

using testing::bmpBytes;
using testing::jpegBytes;
using testing::photoLike;

// What the function must write for `source`: the library's effect on the
// decoded file, saved the way every result is saved.
QByteArray expectedResult(const QString& source, BatchFunction function) {
    Picture picture = LoadJpegFile(source);
    ImagingContext context;
    ApplyBatchFunction(context, picture, function);
    return jpegBytes(picture);
}

QString trashed(const QString& name) {
    return testing::dataHome() + QStringLiteral("/Trash/files/") + name;
}

class RecordingReporter : public BatchFunctionReporter {
public:
    void noteResult(const QString&, const QString& result) override { results << result; }
    void noteConverted(int done, int total) override { converted << QPoint(done, total); }
    QStringList results;
    QList<QPoint> converted;
};

BatchFunctionOptions selection(int threads = 1) {
    BatchFunctionOptions options;
    options.decodeThreads = threads;
    return options;
}

} // namespace

class TestBatchFunctions : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() {
        SetLanguageOffset(0);
        QDir(testing::dataHome() + QStringLiteral("/Trash")).removeRecursively();
    }

    void resultNames_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<BatchFunction>("function");
        QTest::addColumn<QString>("expected");
        QTest::newRow("sw jpg") << "/p/a.jpg" << BatchFunction::BlackWhite << "/p/a_sw.jpg";
        QTest::newRow("aa keeps the case of the extension")
            << "/p/b.JPEG" << BatchFunction::AntiAlias << "/p/b_aa.JPEG";
        QTest::newRow("opt, the last dot counts")
            << "/p/x.y.jpg" << BatchFunction::Optimise << "/p/x.y_opt.jpg";
        QTest::newRow("a dot in the folder only")
            << "/p.d/noext" << BatchFunction::BlackWhite << "/p.d/noext_sw";
    }
    void resultNames() {
        QFETCH(QString, source);
        QFETCH(BatchFunction, function);
        QFETCH(QString, expected);
        QCOMPARE(BatchResultName(source, function), expected);
    }

    void bitmapResultNames() {
        QCOMPARE(BitmapResultName("/p/photo.BMP"), QString("/p/photo.jpg"));
        QCOMPARE(BitmapResultName("/p.x/photo.old.bmp"), QString("/p.x/photo.old.jpg"));
    }

    void eachFunctionWritesTheLibrarysResultBeside_data() {
        QTest::addColumn<BatchFunction>("function");
        QTest::newRow("anti-alias") << BatchFunction::AntiAlias;
        QTest::newRow("optimise") << BatchFunction::Optimise;
        QTest::newRow("black-and-white") << BatchFunction::BlackWhite;
    }
    void eachFunctionWritesTheLibrarysResultBeside() {
        QFETCH(BatchFunction, function);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", jpegBytes(photoLike(64, 48, 1))));
        QVERIFY(tree.file("b.jpeg", jpegBytes(photoLike(50, 40, 2))));
        const QByteArray sourceA = tree.read("a.jpg");
        RecordingJobHost host;
        host.setSelectedFiles({tree.path("a.jpg"), tree.path("b.jpeg")});
        const BatchFunctionResult result = RunJpegFunction(host, function, selection());
        QCOMPARE(result.written, 2);
        for (const QString& name : {QStringLiteral("a.jpg"), QStringLiteral("b.jpeg")}) {
            const QString target = BatchResultName(tree.path(name), function);
            QCOMPARE(testing::readFile(target), expectedResult(tree.path(name), function));
        }
        QCOMPARE(tree.read("a.jpg"), sourceA); // the source is never changed
        QCOMPARE(host.frameCalls(), QStringList({"busy", "lock 5", "unlock 5", "normal"}));
        QCOMPARE(host.text(kFunctionsControls.progress.total), QString("2"));
        QCOMPARE(host.text(kFunctionsControls.progress.done), QString("2"));
        QCOMPARE(host.progressValue(kFunctionsControls.progress.bar), 2);
        QCOMPARE(host.progressPage(), int(kLogoPage));
        QCOMPARE(host.refreshCount(), 1);
        QVERIFY(host.messages().isEmpty()); // no closing message
    }

    void blackAndWhiteKeepsTheOuterColumnsInColour() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", jpegBytes(photoLike(40, 30, 3))));
        RecordingJobHost host;
        host.setSelectedFiles({tree.path("a.jpg")});
        RunJpegFunction(host, BatchFunction::BlackWhite, selection());
        const Picture result = LoadJpegFile(tree.path("a_sw.jpg"));
        for (int x : {0, 39}) { // red against green, halved by the chroma subsampling
            const std::uint8_t* p = result.pixel(x, 15);
            QVERIFY2(std::abs(p[2] - p[1]) > 25, qPrintable(QString::number(x)));
        }
        for (int x : {4, 20, 35}) { // clear of the colour bleeding from the edges
            const std::uint8_t* p = result.pixel(x, 15);
            QVERIFY2(std::abs(p[2] - p[1]) <= 6 && std::abs(p[0] - p[1]) <= 6,
                     qPrintable(QString::number(x)));
        }
    }

    void optimisingAResultAgainAddsItsSuffixAgain() {
        fixtures::Tree tree;
        QVERIFY(tree.file("x.jpg", jpegBytes(photoLike(48, 32, 4))));
        RecordingJobHost host;
        host.setSelectedFiles({tree.path("x.jpg")});
        RunJpegFunction(host, BatchFunction::Optimise, selection());
        const QByteArray first = tree.read("x_opt.jpg");
        host.setSelectedFiles({tree.path("x.jpg"), tree.path("x_opt.jpg")});
        const BatchFunctionResult result =
            RunJpegFunction(host, BatchFunction::Optimise, selection());
        QCOMPARE(result.written, 2);
        QCOMPARE(tree.names(""), QStringList({"x.jpg", "x_opt.jpg", "x_opt_opt.jpg"}));
        QCOMPARE(tree.read("x_opt_opt.jpg"),
                 expectedResult(tree.path("x_opt.jpg"), BatchFunction::Optimise));
        // The result it replaced is in the trash, not gone.
        QCOMPARE(testing::readFile(trashed("x_opt.jpg")), first);
    }

    // A file decoded ahead that this very run replaces is decoded again: the
    // result must be the one of a run that loads each file in its turn.
    void decodingAheadGivesTheBytesOfTheSequentialRun_data() {
        QTest::addColumn<int>("threads");
        QTest::newRow("one thread ahead") << 1;
        QTest::newRow("two threads ahead") << 2;
    }
    void decodingAheadGivesTheBytesOfTheSequentialRun() {
        QFETCH(int, threads);
        const QStringList names = {"x.jpg", "x_aa.jpg", "y.jpg", "z.jpeg", "x_aa_aa.jpg"};
        fixtures::Tree sequential;
        fixtures::Tree parallel;
        for (int i = 0; i < names.size(); ++i) {
            const QByteArray bytes = jpegBytes(photoLike(60 + i, 40, 10 + i));
            QVERIFY(sequential.file(names[i], bytes));
            QVERIFY(parallel.file(names[i], bytes));
        }
        auto run = [&names](fixtures::Tree& tree, int decodeThreads) {
            RecordingJobHost host;
            QStringList files;
            for (const QString& name : names)
                files << tree.path(name);
            host.setSelectedFiles(files);
            RunJpegFunction(host, BatchFunction::AntiAlias, selection(decodeThreads));
        };
        run(sequential, 0);
        run(parallel, threads);
        const QStringList written = sequential.names("");
        QCOMPARE(parallel.names(""), written);
        QVERIFY(written.contains("x_aa_aa_aa.jpg"));
        for (const QString& name : written)
            QVERIFY2(sequential.read(name) == parallel.read(name), qPrintable(name));
    }

    void aStopEndsTheRunWithItsEndSteps() {
        fixtures::Tree tree;
        QStringList files;
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
            QVERIFY(tree.file(name, jpegBytes(photoLike(20, 20, 5))));
            files << tree.path(name);
        }
        RecordingJobHost host;
        host.stopFlags().BatchJobStop = 1; // an old click has no effect
        host.setSelectedFiles(files);
        host.onProcessPendingMessages([&host](int call) {
            if (call == 2)
                host.stopFlags().BatchJobStop = 1;
        });
        const BatchFunctionResult result =
            RunJpegFunction(host, BatchFunction::BlackWhite, selection());
        QVERIFY(result.stopped);
        QCOMPARE(tree.names(""), QStringList({"a.jpg", "a_sw.jpg", "b.jpg", "c.jpg"}));
        QCOMPARE(host.text(kFunctionsControls.progress.done), QString("1"));
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
        QCOMPARE(host.progressPage(), int(kLogoPage));
        QCOMPARE(host.refreshCount(), 1);
    }

    // The run ends at the file, as it always did, but names it and what it
    // left undone; a bitmap cut off is such a file, not a partly black JPEG.
    void anUnreadableFileEndsTheRunAndIsNamed_data() {
        QTest::addColumn<bool>("conversion");
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<QString>("why");
        const QByteArray bitmap = bmpBytes(photoLike(40, 30, 5));
        QTest::newRow("JPEG function, no picture")
            << false << QByteArray("not a picture") << "not a JPEG picture";
        QTest::newRow("conversion, bitmap cut off")
            << true << bitmap.left(bitmap.size() - 200) << "cut off";
        QTest::newRow("conversion, no bitmap") << true << QByteArray("BMxx") << "not a bitmap";
    }
    void anUnreadableFileEndsTheRunAndIsNamed() {
        QFETCH(bool, conversion);
        QFETCH(QByteArray, bad);
        QFETCH(QString, why);
        fixtures::Tree tree;
        const QString ext = conversion ? ".bmp" : ".jpg";
        const auto good = [&](int seed) {
            return conversion ? bmpBytes(photoLike(20, 20, seed))
                              : jpegBytes(photoLike(20, 20, seed));
        };
        QVERIFY(tree.file("a" + ext, good(6)));
        QVERIFY(tree.file("b" + ext, bad));
        QVERIFY(tree.file("c" + ext, good(7)));
        RecordingJobHost host;
        host.setSelectedFiles({tree.path("a" + ext), tree.path("b" + ext), tree.path("c" + ext)});
        const BatchFunctionResult result =
            conversion ? ConvertBitmapsToJpeg(host, selection())
                       : RunJpegFunction(host, BatchFunction::AntiAlias, selection());
        const QString suffix = conversion ? ".jpg" : "_aa.jpg";
        QVERIFY(tree.exists("a" + suffix));
        QVERIFY(!tree.exists("b" + suffix));
        QVERIFY(!tree.exists("c" + suffix));
        QCOMPARE(result.written, 1);
        QCOMPARE(result.endedAt, tree.path("b" + ext));
        QCOMPARE(result.notProcessed, 2);
        QCOMPARE(host.skippedPaths(), QStringList{tree.path("b" + ext)});
        const QString reason = host.skips().first().reason;
        QVERIFY2(reason.contains(why) && reason.contains("2 file(s) not processed"),
                 qPrintable(reason));
        QCOMPARE(host.summaries().size(), 1);
        QVERIFY2(host.summaries().first().contains("ended at a file that cannot be read"),
                 qPrintable(host.summaries().first()));
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
        QCOMPARE(host.reportDepth(), 0);
        QCOMPARE(host.refreshCount(), 1);
    }

    void convertingReplacesAnExistingJpegThroughTheTrash() {
        fixtures::Tree tree;
        const Picture picture = photoLike(33, 21, 8);
        QVERIFY(tree.file("photo.bmp", bmpBytes(picture)));
        QVERIFY(tree.file("photo.jpg", QByteArray("an unrelated photograph")));
        const QByteArray source = tree.read("photo.bmp");
        RecordingJobHost host;
        host.setSelectedFiles({tree.path("photo.bmp")});
        RecordingReporter reporter;
        const BatchFunctionResult result = ConvertBitmapsToJpeg(host, selection(), &reporter);
        QCOMPARE(result.written, 1);
        QCOMPARE(tree.read("photo.jpg"), jpegBytes(picture));
        QCOMPARE(tree.read("photo.bmp"), source);
        QCOMPARE(testing::readFile(trashed("photo.jpg")), QByteArray("an unrelated photograph"));
        QCOMPARE(reporter.converted, QList<QPoint>({QPoint(1, 1)}));
        // No progress page, no counters, no pending messages, no stop test.
        QCOMPARE(host.frameCalls(), QStringList({"busy", "lock 6", "unlock 6", "normal"}));
        QCOMPARE(host.progressPage(), -1);
        QCOMPARE(host.pendingMessageCalls(), 0);
        QCOMPARE(host.text(kFunctionsControls.progress.done), QString());
    }

    void aFileThatCannotBeTrashedIsNotReplaced() {
        fixtures::Tree tree;
        QVERIFY(tree.file("photo.bmp", bmpBytes(photoLike(10, 10, 9))));
        QVERIFY(tree.file("photo.jpg", QByteArray("keep me")));
        QVERIFY(QFile::setPermissions(tree.path("photo.jpg"), QFile::ReadOwner));
        QVERIFY(tree.file("other.bmp", bmpBytes(photoLike(12, 10, 9))));
        RecordingJobHost host;
        host.setSelectedFiles({tree.path("photo.bmp"), tree.path("other.bmp")});
        const BatchFunctionResult result = ConvertBitmapsToJpeg(host, selection());
        QCOMPARE(result.written, 1);
        QCOMPARE(result.skipped, 1);
        QCOMPARE(tree.read("photo.jpg"), QByteArray("keep me"));
        QVERIFY(tree.exists("other.jpg"));
        QCOMPARE(host.skippedPaths(), QStringList{tree.path("photo.jpg")});
        QVERIFY(host.messages().isEmpty());
    }

    void aChosenButEmptyDestinationRefusesEveryFunction_data() {
        QTest::addColumn<bool>("conversion");
        QTest::newRow("JPEG function") << false;
        QTest::newRow("conversion") << true;
    }
    void aChosenButEmptyDestinationRefusesEveryFunction() {
        QFETCH(bool, conversion);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", jpegBytes(photoLike(8, 8, 1))));
        QVERIFY(tree.file("a.bmp", bmpBytes(photoLike(8, 8, 1))));
        RecordingJobHost host;
        host.setSelectedFiles({tree.path(conversion ? "a.bmp" : "a.jpg")});
        BatchFunctionOptions options = selection();
        options.destination.kind = DestinationKind::SetFolder;
        const BatchFunctionResult result =
            conversion ? ConvertBitmapsToJpeg(host, options)
                       : RunJpegFunction(host, BatchFunction::BlackWhite, options);
        QVERIFY(result.noDestination);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages().first().text, CatalogueText(CatalogueId::NoDestination));
        QVERIFY(host.frameCalls().isEmpty());
        QCOMPARE(tree.names("").size(), 2);
    }

    // Results of a tree go where the destination says, with the names they
    // would have beside their sources.
    void resultsGoToTheChosenDestination_data() {
        QTest::addColumn<DestinationKind>("kind");
        QTest::addColumn<QString>("subFolder");
        QTest::addColumn<QStringList>("expected"); // "@" the set folder
        QTest::newRow("source folder")
            << DestinationKind::SourceFolder << "x" << QStringList{"a_sw.jpg", "in/c_sw.jpg"};
        QTest::newRow("sub-folder of each source folder")
            << DestinationKind::SubFolder << "res"
            << QStringList{"res/a_sw.jpg", "in/res/c_sw.jpg"};
        QTest::newRow("an empty sub-folder name is the source folder")
            << DestinationKind::SubFolder << "" << QStringList{"a_sw.jpg", "in/c_sw.jpg"};
        QTest::newRow("one set folder for all")
            << DestinationKind::SetFolder << "x" << QStringList{"@/a_sw.jpg", "@/c_sw.jpg"};
    }
    void resultsGoToTheChosenDestination() {
        QFETCH(DestinationKind, kind);
        QFETCH(QString, subFolder);
        QFETCH(QStringList, expected);
        fixtures::Tree tree;
        fixtures::Tree elsewhere;
        QVERIFY(tree.file("a.jpg", jpegBytes(photoLike(8, 8, 1))));
        QVERIFY(tree.file("in/c.jpg", jpegBytes(photoLike(8, 8, 2))));
        RecordingJobHost host;
        BatchFunctionOptions options = selection();
        options.recursive = true;
        options.startFolders = {tree.path("")};
        options.destination = {kind, elsewhere.path(""), subFolder};
        RecordingReporter reporter;
        const BatchFunctionResult result =
            RunJpegFunction(host, BatchFunction::BlackWhite, options, &reporter);
        QCOMPARE(result.written, 2);
        for (QString& path : expected)
            path =
                path.startsWith(QLatin1Char('@')) ? elsewhere.path(path.mid(2)) : tree.path(path);
        QCOMPARE(reporter.results, expected);
        for (const QString& path : expected)
            QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
    }

    void nothingSelectedShowsNoFileMarked_data() {
        QTest::addColumn<bool>("conversion");
        QTest::newRow("JPEG function") << false;
        QTest::newRow("conversion") << true;
    }
    void nothingSelectedShowsNoFileMarked() {
        QFETCH(bool, conversion);
        RecordingJobHost host;
        const BatchFunctionResult result =
            conversion ? ConvertBitmapsToJpeg(host, selection())
                       : RunJpegFunction(host, BatchFunction::Optimise, selection());
        QVERIFY(result.nothingToDo);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages().first().text, CatalogueText(CatalogueId::NoFilesMarked));
        QVERIFY(host.lockBalanced());
    }

    void aRecursiveRunCollectsTheFilesOfItsMode() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.bmp", bmpBytes(photoLike(8, 8, 1))));
        QVERIFY(tree.file("c.jpg", jpegBytes(photoLike(8, 8, 2))));
        QVERIFY(tree.file("sub/b.BMP", bmpBytes(photoLike(9, 8, 3))));
        QVERIFY(tree.file("sub/d.jpeg", jpegBytes(photoLike(8, 9, 4))));
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        BatchFunctionOptions options = selection();
        options.recursive = true;
        ConvertBitmapsToJpeg(host, options);
        QCOMPARE(host.lists().AlteDateinamen,
                 QStringList({tree.path("a.bmp"), tree.path("sub/b.BMP")}));
        QVERIFY(tree.exists("a.jpg"));
        QVERIFY(tree.exists("sub/b.jpg"));

        RunJpegFunction(host, BatchFunction::BlackWhite, options);
        QCOMPARE(host.lists().AlteDateinamen,
                 QStringList({tree.path("a.jpg"), tree.path("c.jpg"), tree.path("sub/b.jpg"),
                              tree.path("sub/d.jpeg")}));
        QVERIFY(tree.exists("sub/d_sw.jpeg"));
    }
};

KELVASTO_REGISTER_TEST(TestBatchFunctions)
#include "test_batch_functions.moc"
