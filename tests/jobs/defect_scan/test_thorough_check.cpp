#include "common/damaged_jpeg.h"
#include "common/file_fixtures.h"
#include "common/picture_files_for_tests.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/defect_scan/move_log.h"
#include "jobs/defect_scan/thorough_check.h"
#include "jobs/framework/job_controls.h"

#include <QTest>

namespace {

// A real photograph-like JPEG whose scan data is long enough to damage.
QByteArray photoJpeg(unsigned seed) {
    fixtures::Tree tree;
    const QString path = tree.path("p.jpg");
    testing::writePictureFile(path, testing::photoLike(320, 240, seed));
    return tree.read("p.jpg");
}

enum class Damage { None, MarkerInScan, BytesBeforeEnd, BadPrecision, CutOff, CutAndClosed };

QByteArray damaged(const QByteArray& sound, Damage damage) {
    QByteArray bytes = sound;
    switch (damage) {
    case Damage::None:
        break;
    case Damage::MarkerInScan: // a flipped block: a restart marker where none belongs
        bytes = testing::jpegDamagedInTheMiddle(bytes);
        break;
    case Damage::BytesBeforeEnd:
        bytes.insert(bytes.size() - 2, QByteArray(40, 'x'));
        break;
    case Damage::BadPrecision: {
        const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
        bytes[sof + 4] = 7;
        break;
    }
    case Damage::CutOff:
        bytes.truncate(bytes.size() * 7 / 10);
        break;
    case Damage::CutAndClosed: // a broken transfer that was closed again
        bytes.truncate(testing::jpegMiddleOfScan(bytes));
        bytes.append("\xFF\xD9", 2);
        break;
    }
    return bytes;
}

// Records the reasons beside the host's own notes.
class ReasonHost : public RecordingJobHost {
public:
    void noteDefectReason(const QString& path, const QString& reason) override {
        reasons.append(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1) + QStringLiteral(": ") +
                       reason);
    }
    QStringList reasons;
};

DefectScanOptions thorough(bool move, int threads = 0) {
    DefectScanOptions options;
    options.recursive = true;
    options.move = move;
    options.thorough = true;
    options.checkThreads = threads;
    return options;
}

// 30 photographs: every fifth damaged in the middle, every seventh cut off.
void plantPhotos(fixtures::Tree& tree, ReasonHost& host) {
    QVERIFY(tree.folder("work"));
    host.settings().Arbeitsverzeichnis = tree.path("work/");
    const QByteArray sound = photoJpeg(3);
    for (int i = 0; i < 30; ++i) {
        const Damage damage = i % 5 == 2   ? Damage::MarkerInScan
                              : i % 7 == 3 ? Damage::CutOff
                                           : Damage::None;
        QVERIFY(tree.file(QStringLiteral("pics/f%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                          damaged(sound, damage)));
    }
    host.setSelectedFolder(tree.path("pics/"));
}

const QStringList kExpectedNames = {"Defekt01_f02.jpg", "Defekt02_f03.jpg", "Defekt03_f07.jpg",
                                    "Defekt04_f10.jpg", "Defekt05_f12.jpg", "Defekt06_f17.jpg",
                                    "Defekt07_f22.jpg", "Defekt08_f24.jpg", "Defekt09_f27.jpg"};

} // namespace

class TestThoroughCheck : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    void verdicts_data() {
        QTest::addColumn<int>("damage");
        QTest::addColumn<bool>("plainDefective");
        QTest::addColumn<int>("cause");
        QTest::newRow("sound") << int(Damage::None) << false << int(DefectCause::None);
        QTest::newRow("marker in the scan")
            << int(Damage::MarkerInScan) << false << int(DefectCause::DamagedData);
        QTest::newRow("bytes before the end marker")
            << int(Damage::BytesBeforeEnd) << false << int(DefectCause::DamagedData);
        QTest::newRow("broken header")
            << int(Damage::BadPrecision) << false << int(DefectCause::DamagedData);
        QTest::newRow("cut off") << int(Damage::CutOff) << true << int(DefectCause::CutOff);
        QTest::newRow("cut off, end marker appended")
            << int(Damage::CutAndClosed) << false << int(DefectCause::DamagedData);
    }
    void verdicts() {
        QFETCH(int, damage);
        QFETCH(bool, plainDefective);
        QFETCH(int, cause);
        fixtures::Tree tree;
        QVERIFY(tree.file("x.jpg", damaged(photoJpeg(7), Damage(damage))));
        const DefectVerdict plain = CheckJpegEndMarker(tree.path("x.jpg"));
        QVERIFY(plain.readable);
        QCOMPARE(plain.defective, plainDefective);
        const DefectVerdict verdict = CheckJpegThoroughly(tree.path("x.jpg"));
        QVERIFY(verdict.readable);
        QCOMPARE(int(verdict.cause), cause);
        QCOMPARE(verdict.defective, cause != int(DefectCause::None));
        QCOMPARE(verdict.message.isEmpty(), cause != int(DefectCause::DamagedData));
    }

    void unreadableIsNoVerdict() {
        fixtures::Tree tree;
        QVERIFY(tree.folder("folder.jpg"));
        for (const QString& path : {tree.path("folder.jpg"), tree.path("vanished.jpg")}) {
            const DefectVerdict verdict = CheckJpegThoroughly(path);
            QVERIFY(!verdict.readable);
            QVERIFY(!verdict.defective);
            QVERIFY(!verdict.message.isEmpty());
        }
    }

    // The plain scan misses damage in the middle; the thorough one flags it,
    // and never the sound original beside it.
    void thoroughScanFlagsWhatThePlainScanMisses() {
        fixtures::Tree tree;
        ReasonHost host;
        QVERIFY(tree.folder("work"));
        host.settings().Arbeitsverzeichnis = tree.path("work/");
        const QByteArray sound = photoJpeg(5);
        QVERIFY(tree.file("pics/a_original.jpg", sound));
        QVERIFY(tree.file("pics/b_damaged.jpg", damaged(sound, Damage::MarkerInScan)));
        QVERIFY(tree.file("pics/c_cut.jpg", damaged(sound, Damage::CutOff)));
        host.setSelectedFolder(tree.path("pics/"));

        DefectScanOptions plain = thorough(false);
        plain.thorough = false;
        QCOMPARE(ScanDefectiveJpegs(host, plain, &host).defective, 1);
        QCOMPARE(host.reasons, QStringList({"c_cut.jpg: cut off (no end-of-image marker)"}));
        host.reasons.clear();
        QVERIFY(QFile::remove(tree.path("work/Defekt/Defekt1_c_cut.jpg")));

        const DefectScanResult result = ScanDefectiveJpegs(host, thorough(false), &host);
        QCOMPARE(result.defective, 2);
        QCOMPARE(tree.names("work/Defekt"),
                 QStringList({"Defekt1_b_damaged.jpg", "Defekt2_c_cut.jpg"}));
        QCOMPARE(host.reasons.size(), 2);
        QVERIFY2(
            host.reasons.at(0).startsWith(QStringLiteral("b_damaged.jpg: damaged picture data: ")),
            qPrintable(host.reasons.at(0)));
        QVERIFY(host.reasons.at(0).contains(QStringLiteral("Corrupt JPEG data")));
        QCOMPARE(host.reasons.at(1), QStringLiteral("c_cut.jpg: cut off (no end-of-image marker)"));
    }

    // Workers finish out of order; the run must not.
    void sameRunWithAnyNumberOfThreads_data() {
        QTest::addColumn<int>("threads");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("five") << 5;
    }
    void sameRunWithAnyNumberOfThreads() {
        QFETCH(int, threads);
        fixtures::Tree tree;
        ReasonHost host;
        plantPhotos(tree, host);
        const DefectScanResult result = ScanDefectiveJpegs(host, thorough(true, threads), &host);
        QCOMPARE(result.tested, 30);
        QCOMPARE(result.defective, 9);
        QCOMPARE(tree.names("work/Defekt"), kExpectedNames);
        QStringList expectedLog;
        for (const QString& name : kExpectedNames)
            expectedLog << tree.path("pics/" + name.mid(9)) << tree.path("work/Defekt/" + name);
        QCOMPARE(ReadMoveLog(ProtocolFilePath(host.settings())).lines, expectedLog);
        QCOMPARE(host.defectNotes().size(), 9);
        QCOMPARE(host.defectNotes().at(3).from, tree.path("pics/f10.jpg"));
        // The counter climbs one file at a time, whatever the workers do.
        const QStringList done = host.textHistory(kDefectScanControls.progress.done);
        for (int i = 0; i < done.size(); ++i)
            QCOMPARE(done.at(i), QString::number(i));
        QCOMPARE(host.text(kDefectScanControls.defectsFound), QStringLiteral("9"));
    }

    void stopEndsTheThoroughRunInOrder() {
        fixtures::Tree tree;
        ReasonHost host;
        plantPhotos(tree, host);
        host.onProcessPendingMessages([&](int) {
            if (host.text(kDefectScanControls.progress.done) == QLatin1String("11"))
                host.stopFlags().JpegJobStop = 1;
        });
        const DefectScanResult result = ScanDefectiveJpegs(host, thorough(true, 2), &host);
        QVERIFY(result.stopped);
        QCOMPARE(result.tested, 11);
        QCOMPARE(tree.names("work/Defekt"), kExpectedNames.mid(0, 4)); // f02 f03 f07 f10
        QVERIFY(tree.exists("pics/f12.jpg"));
        QCOMPARE(host.undoPreparations(), QList<bool>({true}));
    }

    void undoAfterThoroughMoveRun() {
        fixtures::Tree tree;
        ReasonHost host;
        plantPhotos(tree, host);
        const QByteArray before = tree.read("pics/f22.jpg");
        QCOMPARE(ScanDefectiveJpegs(host, thorough(true), &host).transferred, 9);
        QVERIFY(!tree.exists("pics/f22.jpg"));
        const UndoResult undo = UndoLastMoveRun(host);
        QCOMPARE(undo.restored, 9);
        QCOMPARE(tree.names("pics").size(), 30);
        QCOMPARE(tree.read("pics/f22.jpg"), before);
        QVERIFY(tree.names("work/Defekt").isEmpty());
    }
};

KELVASTO_REGISTER_TEST(TestThoroughCheck)
#include "test_thorough_check.moc"
