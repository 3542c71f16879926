#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "picture_samples.h"

#include "base/errors.h"
#include "imaging/picture_files.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

using samples::JpegForm;
Q_DECLARE_METATYPE(JpegForm)

namespace {

QString sandboxPath(const QString& name) {
    return testing::sandboxRoot() + QStringLiteral("/jpeg/") + name;
}

// Offset of the first marker `code` in a JPEG byte stream, -1 when absent.
qsizetype markerAt(const QByteArray& jpeg, std::uint8_t code) {
    for (qsizetype i = 2; i + 4 <= jpeg.size();) {
        if (std::uint8_t(jpeg[i]) != 0xFF)
            return -1;
        if (std::uint8_t(jpeg[i + 1]) == code)
            return i;
        if (std::uint8_t(jpeg[i + 1]) == 0xDA)
            return -1; // entropy-coded data follows
        i += 2 + (std::uint8_t(jpeg[i + 2]) << 8 | std::uint8_t(jpeg[i + 3]));
    }
    return -1;
}

// The stream with the frame header's height and width replaced.
QByteArray withFrameSize(QByteArray jpeg, int width, int height) {
    const qsizetype sof = markerAt(jpeg, 0xC0);
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width);
    return jpeg;
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestJpegFiles : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir().mkpath(sandboxPath({})); }
    void cleanup() { QDir(sandboxPath({})).removeRecursively(); }

    void pictureKindFollowsTheExtension_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::newRow("jpg") << "/a/b.jpg" << int(PictureFileKind::Jpeg);
        QTest::newRow("JPEG upper") << "/a/B.JPEG" << int(PictureFileKind::Jpeg);
        QTest::newRow("bmp") << "x.Bmp" << int(PictureFileKind::Bitmap);
        QTest::newRow("png") << "x.png" << int(PictureFileKind::None);
        QTest::newRow("none") << "/a/jpg" << int(PictureFileKind::None);
        QTest::newRow("double") << "/a/x.jpg.txt" << int(PictureFileKind::None);
        QTest::newRow("dot folder") << "/a.jpg/x" << int(PictureFileKind::None);
    }
    void pictureKindFollowsTheExtension() {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(int(PictureKind(path)), kind);
    }

    void saveAsJpegWritesBaselineQuality90Colour() {
        Picture source(64, 48);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                source.setRgb(x, y, x * 4, y * 5, 255 - 2 * (x + y));
        const QString path = sandboxPath("out.jpeg");
        SaveAsJpeg(source, path);
        const QByteArray bytes = testing::readFile(path);
        const qsizetype sof = markerAt(bytes, 0xC0);
        QVERIFY2(sof > 0, "baseline frame header");
        QCOMPARE(markerAt(bytes, 0xC2), qsizetype(-1));
        QCOMPARE(int(std::uint8_t(bytes[sof + 9])), 3); // three components: colour
        // Quality 90 scales the standard luminance table by 20 %: 16 -> 3, 11 -> 2.
        const qsizetype dqt = markerAt(bytes, 0xDB);
        QCOMPARE(int(std::uint8_t(bytes[dqt + 5])), 3);
        QCOMPARE(int(std::uint8_t(bytes[dqt + 6])), 2);
        const Picture back = LoadJpegFile(path);
        QCOMPARE(back.width(), 64);
        QCOMPARE(back.height(), 48);
        QVERIFY(samples::meanDifference(back, source) < 1.5);
        QCOMPARE(filesIn(sandboxPath({})), QStringList{"out.jpeg"});
    }

    void decodesEveryKindOfJpeg_data() {
        QTest::addColumn<JpegForm>("form");
        QTest::newRow("colour") << JpegForm::Colour;
        QTest::newRow("greyscale") << JpegForm::Greyscale;
        QTest::newRow("progressive") << JpegForm::Progressive;
        QTest::newRow("Adobe CMYK") << JpegForm::AdobeCmyk;
        QTest::newRow("plain CMYK") << JpegForm::PlainCmyk;
        QTest::newRow("YCCK") << JpegForm::Ycck;
    }
    void decodesEveryKindOfJpeg() {
        QFETCH(JpegForm, form);
        // Four flat quarters: red, green, blue, and a grey for the greyscale file.
        Picture source(32, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int quarter = (y / 16) * 2 + x / 16;
                const int rgb[4][3] = {
                    {230, 20, 20}, {20, 200, 40}, {30, 40, 220}, {128, 128, 128}};
                const int* c = form == JpegForm::Greyscale ? rgb[3] : rgb[quarter];
                source.setRgb(x, y, c[0], c[1], c[2]);
            }
        const Picture decoded = DecodeJpeg(samples::encodeJpeg(source, form));
        QCOMPARE(decoded.width(), 32);
        QCOMPARE(decoded.height(), 32);
        for (const auto& [x, y] : {std::pair{4, 4}, {27, 4}, {4, 27}, {27, 27}})
            for (int ch = 0; ch < 3; ++ch)
                QVERIFY2(std::abs(decoded.pixel(x, y)[ch] - source.pixel(x, y)[ch]) <= 6,
                         qPrintable(QStringLiteral("(%1,%2) channel %3: %4 for %5")
                                        .arg(x)
                                        .arg(y)
                                        .arg(ch)
                                        .arg(decoded.pixel(x, y)[ch])
                                        .arg(source.pixel(x, y)[ch])));
    }

    void truncatedJpegGivesAPartialPicture() {
        const Picture source = samples::noise(64, 64, 3, true);
        const QByteArray whole = samples::encodeJpeg(source, JpegForm::Colour);
        const Picture full = DecodeJpeg(whole);
        const Picture partial = DecodeJpeg(whole.left(whole.size() / 2));
        QCOMPARE(partial.width(), 64);
        QCOMPARE(partial.height(), 64);
        for (int y = 0; y < 8; ++y)
            QVERIFY(std::memcmp(partial.row(y), full.row(y), 64 * 3) == 0);
        QVERIFY(!(partial == full));
    }

    void badJpegDataRaises_data() {
        const QByteArray good = JpegBuilder::picture(16, 16);
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a JPEG") << QByteArray("GIF89a and so on, certainly no JPEG");
        QTest::newRow("header only") << good.left(20);
        QTest::newRow("60000 x 60000") << withFrameSize(good, 60000, 60000);
        QTest::newRow("zero width") << withFrameSize(good, 0, 16);
        QTest::newRow("zero height") << withFrameSize(good, 16, 0);
        QTest::newRow("segments only") << JpegBuilder().soi().app(1, 100).com("x").eoi().bytes();
    }
    void badJpegDataRaises() {
        QFETCH(QByteArray, bytes);
        QVERIFY_THROWS_EXCEPTION(KelvastoError, DecodeJpeg(bytes));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, DecodeJpeg(bytes, {true, 10, 10}));
    }

    void corruptScanDataNeverCrashes() {
        const QByteArray good =
            samples::encodeJpeg(samples::noise(48, 40, 1, true), JpegForm::Progressive);
        const qsizetype sos = good.indexOf("\xFF\xDA");
        for (int seed = 0; seed < 40; ++seed) {
            QByteArray bad = good;
            for (int i = 0; i < 12; ++i) {
                const qsizetype at = (seed * 7919 + i * 104729) % good.size();
                bad[at] = char(bad[at] ^ (1 << (i % 8)));
            }
            if (seed % 2)
                bad[sos + 5 + seed] = char(0xFF); // stray marker bytes inside the scan
            try {
                const Picture p = DecodeJpeg(bad);
                QVERIFY(p.width() > 0 && p.width() <= 65535);
            } catch (const KelvastoError&) {
            }
        }
    }

    void fastModeScalesToTheSmallestSizeNotBelow_data() {
        QTest::addColumn<int>("minWidth");
        QTest::addColumn<int>("minHeight");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("no request") << 0 << 0 << QSize(640, 480);
        QTest::newRow("quarter") << 100 << 100 << QSize(160, 120);
        QTest::newRow("eighth exact") << 80 << 60 << QSize(80, 60);
        QTest::newRow("just above eighth") << 81 << 10 << QSize(160, 120);
        QTest::newRow("height decides") << 10 << 300 << QSize(400, 300);
        QTest::newRow("beyond full size") << 2000 << 10 << QSize(640, 480);
    }
    void fastModeScalesToTheSmallestSizeNotBelow() {
        QFETCH(int, minWidth);
        QFETCH(int, minHeight);
        QFETCH(QSize, expected);
        static const QByteArray jpeg =
            samples::encodeJpeg(samples::noise(640, 480, 2, true), JpegForm::Colour);
        const Picture p = DecodeJpeg(jpeg, {true, minWidth, minHeight});
        QCOMPARE(QSize(p.width(), p.height()), expected);
    }

    void fastModeKeepsTheColours() {
        const Picture source = samples::flat(64, 64, 200, 60, 30);
        const Picture p = DecodeJpeg(samples::encodeJpeg(source, JpegForm::Colour), {true, 16, 16});
        QCOMPARE(p.width(), 16);
        QVERIFY(samples::maxDifference(p, samples::flat(16, 16, 200, 60, 30)) <= 4);
    }

    void replacingAFileKeepsItsPermissions() {
        const QString path = sandboxPath("kept.jpg");
        QVERIFY(testing::writeFile(path, "old"));
        ::chmod(QFile::encodeName(path).constData(), 0640);
        SaveAsJpeg(samples::noise(8, 8, 1), path);
        QCOMPARE(modeOf(path), mode_t(0640));
        QCOMPARE(LoadJpegFile(path).width(), 8);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        SaveAsJpeg(samples::noise(8, 8, 1), sandboxPath("new.jpg"));
        QCOMPARE(modeOf(sandboxPath("new.jpg")), mode_t(0666 & ~mask));
    }

    // New files follow the umask, and saving never changes it (threads that
    // create files meanwhile would otherwise get world-writable ones).
    void newFilesFollowTheUmaskWithoutChangingIt() {
        const mode_t saved = ::umask(027);
        SaveAsJpeg(samples::noise(8, 8, 1), sandboxPath("private.jpg"));
        const mode_t during = ::umask(saved);
        QCOMPARE(during, mode_t(027));
        QCOMPARE(modeOf(sandboxPath("private.jpg")), mode_t(0640));
    }

    void failedSaveLeavesTheTargetAsItWas_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Picture>("picture");
        QTest::addColumn<mode_t>("mode");
        QTest::newRow("read-only file") << "ro.jpg" << samples::noise(4, 4, 1) << mode_t(0444);
        QTest::newRow("empty picture") << "empty.jpg" << Picture() << mode_t(0644);
        QTest::newRow("missing folder")
            << "no/such/dir.jpg" << samples::noise(4, 4, 1) << mode_t(0);
    }
    void failedSaveLeavesTheTargetAsItWas() {
        QFETCH(QString, name);
        QFETCH(Picture, picture);
        QFETCH(mode_t, mode);
        const QString path = sandboxPath(name);
        if (mode != 0) {
            QVERIFY(testing::writeFile(path, "old picture"));
            ::chmod(QFile::encodeName(path).constData(), mode);
        }
        QVERIFY_THROWS_EXCEPTION(KelvastoError, SaveAsJpeg(picture, path));
        if (mode != 0)
            QCOMPARE(testing::readFile(path), QByteArray("old picture"));
        QCOMPARE(filesIn(sandboxPath({})), mode != 0 ? QStringList{name} : QStringList{});
    }

    void fullDiskLeavesTheTargetAsItWas() {
        // A file size limit makes writes fail as on a full disk.
        const QString path = sandboxPath("full.jpg");
        QVERIFY(testing::writeFile(path, "old picture"));
        rlimit before{};
        ::getrlimit(RLIMIT_FSIZE, &before);
        auto* previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 2000;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        bool raised = false;
        try {
            SaveAsJpeg(samples::noise(300, 200, 4), path);
        } catch (const KelvastoError&) {
            raised = true;
        }
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previous);
        QVERIFY(raised);
        QCOMPARE(testing::readFile(path), QByteArray("old picture"));
        QCOMPARE(filesIn(sandboxPath({})), QStringList{"full.jpg"});
    }

    void saveThroughALinkReplacesItsTarget() {
        const QString target = sandboxPath("target.jpg"), link = sandboxPath("link.jpg");
        QVERIFY(testing::writeFile(target, "old"));
        QVERIFY(QFile::link(target, link));
        SaveAsJpeg(samples::noise(5, 5, 1), link);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(LoadJpegFile(target).width(), 5);
    }

    void loadingRaisesForMissingOrForeignFiles() {
        QVERIFY_THROWS_EXCEPTION(KelvastoError, LoadPictureFile(sandboxPath("missing.jpg")));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, LoadPictureFile(sandboxPath("missing.bmp")));
        QVERIFY(testing::writeFile(sandboxPath("a.png"), "png"));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, LoadPictureFile(sandboxPath("a.png")));
        QVERIFY(testing::writeFile(sandboxPath("fake.jpg"), "not a JPEG at all"));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, LoadPictureFile(sandboxPath("fake.jpg")));
    }

    // A FIFO would block the reader for good, a device would feed it without
    // end: neither holds a picture, whatever its name or a link says.
    void loadingRefusesWhatIsNoRegularFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("linkTarget"); // empty: made in place
        QTest::newRow("FIFO") << "fifo.jpg" << QString();
        QTest::newRow("folder") << "folder.bmp" << QString();
        QTest::newRow("link to /dev/zero") << "zero.jpg"
                                           << "/dev/zero";
        QTest::newRow("link to /dev/urandom") << "random.bmp"
                                              << "/dev/urandom";
    }
    void loadingRefusesWhatIsNoRegularFile() {
        QFETCH(QString, name);
        QFETCH(QString, linkTarget);
        const QString path = sandboxPath(name);
        if (!linkTarget.isEmpty())
            QVERIFY(QFile::link(linkTarget, path));
        else if (name.startsWith("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QDir().mkpath(path));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, LoadPictureFile(path));
    }
};

KELVASTO_REGISTER_TEST(TestJpegFiles)
#include "test_jpeg_files.moc"
