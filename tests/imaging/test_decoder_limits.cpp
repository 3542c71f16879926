#include "common/test_registry.h"
#include "hostile_files.h"
#include "picture_samples.h"

#include "base/errors.h"
#include "imaging/bmp_reader.h"
#include "imaging/jpeg_codec.h"

#include <QElapsedTimer>
#include <QTest>

#include <sys/resource.h>

#include <functional>
#include <map>

using samples::JpegForm;
Q_DECLARE_METATYPE(JpegForm)

namespace {

using Decode = std::function<Picture(const QByteArray&)>;

const Decode kAccurate = [](const QByteArray& b) { return DecodeJpeg(b); };
const Decode kFast = [](const QByteArray& b) { return DecodeJpeg(b, {true, 100, 100}); };
const Decode kBitmap = [](const QByteArray& b) { return DecodeBmp(b); };

long peakRssMib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Generous for a sanitizer build on a busy machine; a release build refuses
// each of these within a millisecond.
constexpr qint64 kRefusalMilliseconds = 2000;
constexpr long kRefusalMemoryMib = 256;

// A 6000 x 4000 photograph of one colour: the fewest bytes a real picture of
// that size has, so the closest a valid file comes to the work limits.
const QByteArray& flatPhotograph(JpegForm form) {
    static const Picture flat = samples::flat(6000, 4000, 90, 140, 200);
    static std::map<JpegForm, QByteArray> files;
    auto it = files.find(form);
    if (it == files.end())
        it = files.emplace(form, samples::encodeJpeg(flat, form, 90)).first;
    return it->second;
}

} // namespace

class TestDecoderLimits : public QObject {
    Q_OBJECT
private slots:
    void hostileFilesAreRefusedQuickly_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Decode>("decode");
        const QByteArray giantProgressive = hostile::progressiveWithoutData(20000, 20000);
        const QByteArray emptyScans = hostile::progressiveEmptyScans(10000, 10000, 1000);
        // Small enough to pass the header's test, so refused at its scans.
        const QByteArray emptyScansSmaller = hostile::progressiveEmptyScans(4800, 4800, 1000);
        const QByteArray bareBaseline = hostile::baselineWithoutData(20000, 20000);
        QTest::newRow("progressive 20000^2, accurate") << giantProgressive << kAccurate;
        QTest::newRow("progressive 20000^2, fast") << giantProgressive << kFast;
        QTest::newRow("1000 empty scans, accurate") << emptyScans << kAccurate;
        QTest::newRow("1000 empty scans, fast") << emptyScans << kFast;
        QTest::newRow("1000 empty scans of 4800^2") << emptyScansSmaller << kAccurate;
        QTest::newRow("1000 empty scans of 4800^2, fast") << emptyScansSmaller << kFast;
        QTest::newRow("baseline 20000^2 without data") << bareBaseline << kAccurate;
        QTest::newRow("baseline 20000^2 without data, fast") << bareBaseline << kFast;
        QTest::newRow("bitmap 20000^2 in 58 bytes")
            << hostile::bitmapWithData(20000, 20000, 4) << kBitmap;
        QTest::newRow("run-length bomb 20000^2")
            << hostile::runLengthBitmap(20000, 20000, 64) << kBitmap;
    }
    void hostileFilesAreRefusedQuickly() {
        QFETCH(QByteArray, file);
        QFETCH(Decode, decode);
        QVERIFY(file.size() < 16 * 1024);
        const long before = peakRssMib();
        QElapsedTimer timer;
        timer.start();
        QVERIFY_THROWS_EXCEPTION(KelvastoError, decode(file));
        QVERIFY2(timer.elapsed() < kRefusalMilliseconds,
                 qPrintable(QString::number(timer.elapsed())));
        QVERIFY(peakRssMib() - before < kRefusalMemoryMib);
    }

    // Real progressive files have about ten scans; empty scans beyond a
    // file's share of work, or absurdly many, are refused.
    void scansAreBoundedByTheFileAndInNumber_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("scans");
        QTest::addColumn<bool>("refused");
        QTest::newRow("small, 20 scans") << 64 << 20 << false;
        QTest::newRow("small, 255 scans") << 16 << 254 << false;
        QTest::newRow("small, 300 scans") << 16 << 300 << true;
        QTest::newRow("large, 3 scans") << 1024 << 3 << false;
        QTest::newRow("large, 40 scans") << 1024 << 40 << true;
    }
    void scansAreBoundedByTheFileAndInNumber() {
        QFETCH(int, side);
        QFETCH(int, scans);
        QFETCH(bool, refused);
        const QByteArray file = hostile::progressiveEmptyScans(side, side, scans);
        if (refused) {
            QVERIFY_THROWS_EXCEPTION(KelvastoError, DecodeJpeg(file));
        } else {
            const Picture p = DecodeJpeg(file);
            QCOMPARE(p.width(), side);
        }
    }

    // Multi-scan files hold every coefficient (128 bytes a block) besides
    // the picture; a limit that fits the picture alone refuses them.
    void coefficientBufferCountsAgainstTheMemoryLimit_data() {
        QTest::addColumn<JpegForm>("form");
        QTest::addColumn<bool>("refused");
        QTest::newRow("baseline") << JpegForm::Colour << false;
        QTest::newRow("greyscale") << JpegForm::Greyscale << false;
        QTest::newRow("progressive") << JpegForm::Progressive << true;
        QTest::newRow("one scan per component") << JpegForm::SeparateScans << true;
    }
    void coefficientBufferCountsAgainstTheMemoryLimit() {
        QFETCH(JpegForm, form);
        QFETCH(bool, refused);
        const QByteArray file = samples::encodeJpeg(samples::noise(512, 512, 5, true), form);
        JpegDecodeOptions options;
        options.memoryLimit = PictureStride(512) * 512 + 64 * 1024;
        if (refused)
            QVERIFY_THROWS_EXCEPTION(KelvastoError, DecodeJpeg(file, options));
        else
            QCOMPARE(DecodeJpeg(file, options).width(), 512);
        options.memoryLimit = PictureStride(512) * 512 * 3;
        QCOMPARE(DecodeJpeg(file, options).width(), 512);
    }

    void validFilesDecodeAsLibjpegDecodesThem_data() {
        QTest::addColumn<JpegForm>("form");
        QTest::addColumn<QSize>("size");
        QTest::newRow("baseline") << JpegForm::Colour << QSize(301, 203);
        QTest::newRow("greyscale") << JpegForm::Greyscale << QSize(160, 97);
        QTest::newRow("progressive") << JpegForm::Progressive << QSize(257, 199);
        QTest::newRow("progressive, one row") << JpegForm::Progressive << QSize(999, 1);
        QTest::newRow("one scan per component") << JpegForm::SeparateScans << QSize(120, 90);
    }
    void validFilesDecodeAsLibjpegDecodesThem() {
        QFETCH(JpegForm, form);
        QFETCH(QSize, size);
        const QByteArray file =
            samples::encodeJpeg(samples::noise(size.width(), size.height(), 9, true), form);
        QVERIFY(DecodeJpeg(file) == samples::decodeJpegPlain(file));
    }

    // The fewest bytes a valid photograph of this size can have still decode,
    // accurately and scaled.
    void largeFlatPhotographsDecode_data() {
        QTest::addColumn<JpegForm>("form");
        QTest::addColumn<bool>("fast");
        QTest::newRow("progressive") << JpegForm::Progressive << false;
        QTest::newRow("progressive, fast") << JpegForm::Progressive << true;
        QTest::newRow("baseline, fast") << JpegForm::Colour << true;
        QTest::newRow("CMYK, fast") << JpegForm::AdobeCmyk << true;
    }
    void largeFlatPhotographsDecode() {
        QFETCH(JpegForm, form);
        QFETCH(bool, fast);
        const Picture p = DecodeJpeg(flatPhotograph(form), {fast, 750, 500});
        QCOMPARE(QSize(p.width(), p.height()), fast ? QSize(750, 500) : QSize(6000, 4000));
        for (const auto& [x, y] : {std::pair{0, 0}, {p.width() - 1, p.height() - 1}, {517, 333}}) {
            const std::uint8_t* bgr = p.pixel(x, y);
            QVERIFY(std::abs(bgr[0] - 200) <= 4 && std::abs(bgr[1] - 140) <= 4 &&
                    std::abs(bgr[2] - 90) <= 4);
        }
    }

    // Missing rows stay black, but a file holding only a sliver of what its
    // header claims is refused before the picture is allocated.
    void bitmapDataFarShorterThanClaimedIsRefused_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("dataBytes");
        QTest::addColumn<bool>("refused");
        const int full = int(PictureStride(2000)) * 1000;
        QTest::newRow("complete") << QSize(2000, 1000) << full << false;
        QTest::newRow("half") << QSize(2000, 1000) << full / 2 << false;
        QTest::newRow("an eighth") << QSize(2000, 1000) << full / 8 << false;
        QTest::newRow("a tenth") << QSize(2000, 1000) << full / 10 << true;
        QTest::newRow("one row") << QSize(2000, 1000) << int(PictureStride(2000)) << true;
        QTest::newRow("small picture, one row") << QSize(500, 500) << 1500 << false;
    }
    void bitmapDataFarShorterThanClaimedIsRefused() {
        QFETCH(QSize, size);
        QFETCH(int, dataBytes);
        QFETCH(bool, refused);
        const QByteArray file = hostile::bitmapWithData(size.width(), size.height(), dataBytes);
        if (refused) {
            QVERIFY_THROWS_EXCEPTION(KelvastoError, DecodeBmp(file));
            return;
        }
        const Picture p = DecodeBmp(file);
        QCOMPARE(p.width(), size.width());
        // The bottom row comes first in the file; rows without data stay black.
        QCOMPARE(int(p.pixel(0, size.height() - 1)[0]), 0x80);
        const bool topPresent = dataBytes >= int(PictureStride(size.width())) * size.height();
        QCOMPARE(int(p.pixel(0, 0)[0]), topPresent ? 0x80 : 0);
    }

    // Run-length data paints at most 255 pixels with two bytes: a canvas far
    // beyond what the runs can cover is refused, one they can cover decodes.
    void runLengthCanvasIsBoundedByTheData_data() {
        QTest::addColumn<int>("runs");
        QTest::addColumn<bool>("refused");
        QTest::newRow("64 runs") << 64 << true;
        QTest::newRow("4000 runs") << 4000 << true;
        QTest::newRow("8000 runs") << 8000 << false;
    }
    void runLengthCanvasIsBoundedByTheData() {
        QFETCH(int, runs);
        QFETCH(bool, refused);
        const QByteArray file = hostile::runLengthBitmap(2000, 2000, runs);
        if (refused) {
            QVERIFY_THROWS_EXCEPTION(KelvastoError, DecodeBmp(file));
            return;
        }
        const Picture p = DecodeBmp(file);
        // The runs do not wrap: only the bottom row is painted.
        QCOMPARE(int(p.pixel(1999, 1999)[1]), 254);
        QCOMPARE(int(p.pixel(0, 1998)[1]), 0);
    }
};

KELVASTO_REGISTER_TEST(TestDecoderLimits)
#include "test_decoder_limits.moc"
