#include "common/jpeg_builder.h"
#include "common/test_registry.h"
#include "jobs/reduction/jpeg_cut_view.h"
#include "jobs/reduction/jpeg_reduction.h"
#include "reduction_reference.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QTest>

#include <memory>
#include <vector>

namespace {

enum Option { Segments = 1, Comment = 2, Trailing = 4, All = 7 };

ReductionOptions optionsOf(int flags) {
    ReductionOptions options;
    options.programSegments = flags & Segments;
    options.comment = flags & Comment;
    options.trailingData = flags & Trailing;
    return options;
}

// The chosen removals on a view of `bytes`, `runs` times over; the result.
QByteArray reduced(const QByteArray& bytes, int flags, qint64& saved, int runs = 1) {
    QByteArray current = bytes;
    saved = 0;
    for (int run = 0; run < runs; ++run) {
        JpegCutView view(current);
        if (flags & Segments)
            saved += RemoveProgramSegments(view);
        if (flags & Comment)
            saved += RemoveComment(view);
        if (flags & Trailing)
            saved += RemoveTrailingData(view).removed;
        current = view.bytes();
    }
    return current;
}

// `head`, then a scan with data up to `size` bytes in all, then EOI.
QByteArray padded(JpegBuilder head, int size) {
    const int scanHeader = 2 + 8;
    const int data = size - int(head.bytes().size()) - scanHeader - 2;
    Q_ASSERT(data >= 0);
    return head.segment(0xDA, 6).scanData(data).eoi().bytes();
}

QByteArray without(QByteArray bytes, qint64 from, qint64 count) {
    return bytes.remove(from, count);
}

// A segment with the given payload bytes.
QByteArray segmentWith(uchar code, const QByteArray& payload) {
    QByteArray out("\xFF", 1);
    out.append(char(code));
    out.append(char((payload.size() + 2) >> 8));
    out.append(char((payload.size() + 2) & 0xFF));
    return out + payload;
}

// A string literal with its zero bytes.
template <std::size_t N> QByteArray literal(const char (&text)[N]) {
    return QByteArray(text, qsizetype(N - 1));
}

// Adobe's segment with a colour transform (0 none, 1 YCbCr, 2 YCCK).
QByteArray adobe(int transform, const QByteArray& name = "Adobe") {
    return segmentWith(0xEE, name + QByteArray("\x00\x64\x00\x00\x00\x00", 6) +
                                 QByteArray(1, char(transform)));
}

// A frame header of 16 x 16 pixels with the given component identifiers.
QByteArray frame(const QByteArray& ids) {
    QByteArray payload("\x08\x00\x10\x00\x10", 5);
    payload.append(char(ids.size()));
    for (char id : ids)
        payload.append(id).append('\x11').append('\x00');
    return segmentWith(0xC0, payload);
}

const QByteArray kFakeApp1("\xFF\xE1\x00\x10"
                           "0123456789ab",
                           16);

// Random JPEG-like streams: mostly well-formed markers with wanted and other
// codes, fill bytes, scans with stuffing and restarts, now and then a broken
// length, a stray byte, a cut-off end or trailing data. Sized so that the
// search window ends somewhere inside the interesting part.
QByteArray randomStream(QRandomGenerator& random) {
    static const uchar codes[] = {0xE0, 0xE1, 0xE2, 0xEC, 0xED, 0xEE, 0xFE, 0xDB,
                                  0xC4, 0xC0, 0xDD, 0xE5, 0xEB, 0xEF, 0xFE, 0xE1};
    QByteArray out;
    if (random.bounded(20) != 0)
        out.append("\xFF\xD8", 2);
    const int pieces = int(random.bounded(1, 14));
    for (int i = 0; i < pieces; ++i) {
        const int kind = int(random.bounded(100));
        if (kind < 55) {
            const uchar code = codes[random.bounded(int(sizeof codes))];
            QByteArray payload(int(random.bounded(0, 40)), 'p');
            for (char& c : payload)
                if (random.bounded(8) == 0)
                    c = char(random.bounded(2) ? 0xFF : codes[random.bounded(int(sizeof codes))]);
            QByteArray segment = segmentWith(code, payload);
            if (random.bounded(25) == 0) { // a broken length field
                segment[2] = char(random.bounded(256));
                segment[3] = char(random.bounded(256));
            }
            out.append(segment);
        } else if (kind < 65) {
            out.append(QByteArray(int(random.bounded(1, 4)), char(0xFF)));
        } else if (kind < 85) {
            out.append(segmentWith(0xDA, QByteArray(6, 's')));
            const int data = int(random.bounded(0, 60));
            for (int j = 0; j < data; ++j) {
                const int r = int(random.bounded(30));
                if (r == 0)
                    out.append("\xFF\x00", 2);
                else if (r == 1)
                    out.append(char(0xFF)).append(char(0xD0 + random.bounded(8)));
                else if (r == 2)
                    out.append("\xFF\xFF\x00", 3);
                else
                    out.append(char(random.bounded(0xFF)));
            }
        } else if (kind < 90) {
            out.append(char(random.bounded(256))); // a stray byte
        } else if (kind < 95) {
            out.append("\xFF\xD9", 2);
        } else {
            out.append(char(0xFF)).append(char(random.bounded(256)));
        }
    }
    // Filler, so the window (a twentieth) reaches into the pieces above.
    const int target = int(double(out.size()) * 20 * (0.3 + random.generateDouble()));
    if (random.bounded(4) != 0 && target > out.size()) {
        out.append(segmentWith(0xDA, QByteArray(6, 's')));
        out.append(QByteArray(qMax(0, target - int(out.size())), 's'));
        out.append("\xFF\xD9", 2);
    }
    if (random.bounded(3) == 0)
        out.append(QByteArray(int(random.bounded(0, out.size() / 3 + 1)), 't'));
    if (random.bounded(6) == 0)
        out.append("\xFF\xD9", 2).append(QByteArray(int(random.bounded(0, 30)), 'u'));
    if (random.bounded(8) == 0)
        out.truncate(int(random.bounded(out.size() + 1)));
    return out;
}

} // namespace

class TestJpegReduction : public QObject {
    Q_OBJECT
private slots:
    void namedCases_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("runs");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<qint64>("saved");

        // 100,000 bytes, APP1 of length 0x1000 at offset 2: window 5,000.
        // After the cut the file has 95,902 bytes and the window is 4,795.
        const QByteArray big = padded(JpegBuilder().soi().app(1, 0x1000), 100000);
        QTest::newRow("APP1 0x1000 at 2 of 100,000 bytes")
            << big << int(Segments) << 1 << without(big, 2, 4098) << qint64(4098);
        // Fillers place a second APP1 at 4,790 / 4,800 of the shorter file.
        const QByteArray inside =
            padded(JpegBuilder().soi().app(1, 0x1000).app(0, 4786).app(1, 16), 100000);
        QTest::newRow("search again: APP1 at 4,790 of the shorter file cut")
            << inside << int(Segments) << 1 << without(without(inside, 2, 4098), 4790, 18)
            << qint64(4098 + 18);
        const QByteArray outside =
            padded(JpegBuilder().soi().app(1, 0x1000).app(0, 4796).app(1, 16), 100000);
        QTest::newRow("search again: APP1 at 4,800 of the shorter file stays")
            << outside << int(Segments) << 1 << without(outside, 2, 4098) << qint64(4098);

        // 10,000 bytes: window 500; the last APP1 starts beyond it.
        const QByteArray several = padded(
            JpegBuilder().soi().app(0, 16).app(1, 50).dqt().app(13, 40).app(1, 30).app(0, 500).app(
                1, 20),
            10000);
        QByteArray severalOut = several;
        severalOut.remove(183, 32).remove(141, 42).remove(20, 52);
        QTest::newRow("two APP1 and an APP13 cut, APP1 beyond the window stays")
            << several << int(Segments) << 1 << severalOut << qint64(126);
        const QByteArray others =
            padded(JpegBuilder().soi().app(0, 16).app(3, 16).app(11, 16).app(15, 16), 2000);
        QTest::newRow("APP0, APP3, APP11, APP15 stay")
            << others << int(All) << 1 << others << qint64(0);
        const QByteArray allWanted =
            padded(JpegBuilder().soi().app(2, 8).app(12, 8).app(14, 8).app(1, 8), 2000);
        QTest::newRow("APP2, APP12, APP14 and APP1 all cut")
            << allWanted << int(Segments) << 1 << without(allWanted, 2, 40) << qint64(40);

        // APP14 goes only where the decoder's guess without it gives the
        // same colours.
        struct AdobeCase {
            const char* name;
            QByteArray header;
            bool kept;
        };
        const QByteArray ycc("\x01\x02\x03", 3);
        for (const AdobeCase& c : {
                 AdobeCase{"CMYK (4 components): APP14 stays", adobe(0) + frame("\x01\x02\x03\x04"),
                           true},
                 AdobeCase{"YCCK: APP14 stays", adobe(2) + frame("\x01\x02\x03\x04"), true},
                 AdobeCase{"RGB (transform 0): APP14 stays", adobe(0) + frame(ycc), true},
                 AdobeCase{"YCbCr, components named R G B: APP14 stays", adobe(1) + frame("RGB"),
                           true},
                 AdobeCase{"frame header not found: APP14 stays", adobe(0), true},
                 AdobeCase{"YCbCr (transform 1): APP14 goes", adobe(1) + frame(ycc), false},
                 AdobeCase{"grey: APP14 goes", adobe(0) + frame("\x01"), false},
                 AdobeCase{"not Adobe's: APP14 goes", adobe(0, "Other") + frame("\x01\x02\x03\x04"),
                           false},
             }) {
            const QByteArray input = padded(JpegBuilder().soi().app(1, 20).raw(c.header), 2000);
            const qint64 cut = c.kept ? 22 : 22 + 16;
            QTest::newRow(c.name) << input << int(Segments) << 1 << without(input, 2, cut) << cut;
        }

        const QByteArray comments = padded(JpegBuilder().soi().com("first").com("second"), 2000);
        QTest::newRow("two comments: the first in one run")
            << comments << int(Comment) << 1 << without(comments, 2, 9) << qint64(9);
        QTest::newRow("two comments: the second in the next run")
            << comments << int(Comment) << 2 << without(comments, 2, 19) << qint64(19);
        QTest::newRow("comment option leaves APP1")
            << padded(JpegBuilder().soi().app(1, 20), 2000) << int(Comment) << 1
            << padded(JpegBuilder().soi().app(1, 20), 2000) << qint64(0);

        const QByteArray pastEnd =
            padded(JpegBuilder().soi().raw(literal("\xFF\xE1\xFF\xFF")), 1000);
        QTest::newRow("length past the end: nothing cut")
            << pastEnd << int(Segments) << 1 << pastEnd << qint64(0);
        const QByteArray cutThenPastEnd =
            padded(JpegBuilder().soi().app(1, 20).raw(literal("\xFF\xE2\xFF\xFF")), 1000);
        QTest::newRow("length past the end after a cut: the cut stays, the search stops")
            << cutThenPastEnd << int(Segments) << 1 << without(cutThenPastEnd, 2, 22) << qint64(22);

        const QByteArray picture = padded(JpegBuilder().soi().app(0, 16), 1000);
        QTest::newRow("100 trailing bytes cut")
            << picture + QByteArray(100, 'x') << int(Trailing) << 1 << picture << qint64(100);
        QTest::newRow("ends with the marker: nothing cut")
            << picture << int(Trailing) << 1 << picture << qint64(0);
        const QByteArray twoEnds = picture + QByteArray(20, 'x') + "\xFF\xD9" + "yy";
        QTest::newRow("the picture's end marker counts, not one in the appended data")
            << twoEnds << int(Trailing) << 1 << picture << qint64(24);
        // A photograph cut off in its picture data, whose EXIF thumbnail (and
        // its end marker) lies in the last quarter: there is no trailing data.
        const QByteArray thumb =
            JpegBuilder().soi().dqt().segment(0xDA, 6).scanData(40).eoi().bytes();
        const QByteArray cutOff =
            JpegBuilder()
                .soi()
                .raw(segmentWith(0xE1, "Exif" + QByteArray(2, 0) + QByteArray(3000, 'e') + thumb +
                                           QByteArray(100, 'e')))
                .segment(0xDA, 6)
                .scanData(600)
                .bytes();
        QTest::newRow("cut off, thumbnail's end marker in the last quarter: nothing cut")
            << cutOff << int(Trailing) << 1 << cutOff << qint64(0);
        const QByteArray afterThumbnail =
            JpegBuilder()
                .soi()
                .raw(segmentWith(0xE1, "Exif" + QByteArray(2, 0) + thumb))
                .segment(0xDA, 6)
                .scanData(100)
                .eoi()
                .trailing(30)
                .bytes();
        QTest::newRow("with the thumbnail's end marker before it, the picture's end counts")
            << afterThumbnail << int(Trailing) << 1
            << afterThumbnail.left(afterThumbnail.size() - 30) << qint64(30);
        QByteArray notJpeg(1000, 'a');
        notJpeg[750] = char(0xFF);
        notJpeg[751] = char(0xD9);
        QTest::newRow("no JPEG structure: nothing cut")
            << notJpeg << int(Trailing) << 1 << notJpeg << qint64(0);

        const QByteArray nineteen = JpegBuilder().soi().app(1, 13).eoi().bytes();
        QTest::newRow("19 bytes untouched") << nineteen << int(All) << 1 << nineteen << qint64(0);
        const QByteArray twentyFive =
            JpegBuilder().soi().segment(0xDA, 6).scanData(8).eoi().trailing(3).bytes();
        QTest::newRow("25 bytes untouched")
            << twentyFive << int(Trailing) << 1 << twentyFive << qint64(0);
        const QByteArray twentySix =
            JpegBuilder().soi().segment(0xDA, 6).scanData(9).eoi().trailing(3).bytes();
        QTest::newRow("26 bytes: trailing cut")
            << twentySix << int(Trailing) << 1 << twentySix.left(23) << qint64(3);

        // A pair 0xFF 0xE1 inside other segments' data is no marker.
        const QByteArray inDqt =
            padded(JpegBuilder().soi().raw(
                       segmentWith(0xDB, QByteArray(1, 0) + kFakeApp1 + QByteArray(48, 'q'))),
                   2000);
        QTest::newRow("marker pair inside a DQT payload stays")
            << inDqt << int(All) << 1 << inDqt << qint64(0);
        const QByteArray inApp0 =
            padded(JpegBuilder().soi().raw(segmentWith(0xE0, "JFIF" + kFakeApp1)), 2000);
        QTest::newRow("marker pair inside an APP0 payload stays")
            << inApp0 << int(All) << 1 << inApp0 << qint64(0);
        // A content-credential box: APP11 holding a thumbnail with its own EXIF.
        const QByteArray thumbnail = JpegBuilder().soi().app(1, 40).dqt().eoi().bytes();
        const QByteArray credentials = padded(
            JpegBuilder().soi().app(0, 16).raw(segmentWith(0xEB, "JP" + thumbnail)).app(1, 30),
            4000);
        const int behindBox = 2 + 18 + 4 + 2 + int(thumbnail.size());
        QTest::newRow("APP11 box with an embedded EXIF thumbnail stays, the real APP1 goes")
            << credentials << int(Segments) << 1 << without(credentials, behindBox, 32)
            << qint64(32);

        const QByteArray noStart =
            QByteArray("\x00\x00", 2) + padded(JpegBuilder().app(1, 20), 998);
        QTest::newRow("no start-of-image marker: unchanged")
            << noStart << int(Segments | Comment) << 1 << noStart << qint64(0);
        const QByteArray stray = padded(JpegBuilder().soi().raw("x").app(1, 20), 1000);
        QTest::newRow("structure broken before the hit: unchanged")
            << stray << int(Segments) << 1 << stray << qint64(0);
        const QByteArray brokenAfter =
            padded(JpegBuilder().soi().app(1, 20).raw("x").app(1, 20), 1000);
        QTest::newRow("structure broken behind a hit: the hit still cut")
            << brokenAfter << int(Segments) << 1 << without(brokenAfter, 2, 22) << qint64(22);
        const QByteArray shortLength =
            padded(JpegBuilder().soi().raw(literal("\xFF\xE1\x00\x01xx")), 1000);
        QTest::newRow("length below 2: unchanged")
            << shortLength << int(Segments) << 1 << shortLength << qint64(0);
        const QByteArray secondStart = padded(JpegBuilder().soi().soi().app(1, 20), 1000);
        QTest::newRow("second start-of-image marker: unchanged")
            << secondStart << int(Segments) << 1 << secondStart << qint64(0);
        const QByteArray appended = JpegBuilder().soi().eoi().raw(kFakeApp1).trailing(982).bytes();
        QTest::newRow("APP1 behind the end-of-image marker stays")
            << appended << int(Segments) << 1 << appended << qint64(0);

        const QByteArray fill = padded(JpegBuilder().soi().raw("\xFF\xFF").app(1, 20).dqt(), 1000);
        QTest::newRow("fill bytes before the marker stay")
            << fill << int(Segments) << 1 << without(fill, 4, 22) << qint64(22);
        // After the cut the fill byte 0xFF and the code behind the segment
        // form a new APP1 marker: the search on the shorter file finds it.
        const QByteArray fillJoins =
            padded(JpegBuilder().soi().raw(literal("\xFF\xFF\xE1\x00\x02\xE1\x00\x04zz")), 1000);
        QTest::newRow("fill byte and the code behind a cut make the next marker")
            << fillJoins << int(Segments) << 1 << without(fillJoins, 2, 10) << qint64(10);
        const QByteArray scans = padded(JpegBuilder()
                                            .soi()
                                            .segment(0xDA, 6)
                                            .raw(literal("ab\xFF\x00"
                                                         "cd\xFF\xD3"
                                                         "ef\xFF\xFF\x00"
                                                         "g"))
                                            .app(1, 20)
                                            .com("between scans")
                                            .segment(0xDA, 6)
                                            .raw(literal("h\xFF\xFF\xE1\x00\x04zz"
                                                         "i")),
                                        4000);
        QTest::newRow("entropy data with stuffing and restarts, APP1 and COM after a scan")
            << scans << int(Segments | Comment) << 1 << without(without(scans, 77, 6), 26, 39)
            << qint64(45);
    }
    void namedCases() {
        QFETCH(QByteArray, input);
        QFETCH(int, options);
        QFETCH(int, runs);
        QFETCH(QByteArray, expected);
        QFETCH(qint64, saved);
        qint64 got = 0;
        QCOMPARE(reduced(input, options, got, runs), expected);
        QCOMPARE(got, saved);
        // The plain definition agrees.
        QByteArray plain = input;
        qint64 plainSaved = 0;
        for (int run = 0; run < runs; ++run)
            plainSaved += reference::reduce(plain, optionsOf(options));
        QCOMPARE(plain, expected);
        QCOMPARE(plainSaved, saved);
    }

    // The one-pass walk with cuts on a view must give the bytes of the plain
    // walk from the start after every cut, whatever the input.
    void sameAsPlainDefinition() {
        QRandomGenerator random(20261208);
        for (int i = 0; i < 6000; ++i) {
            const QByteArray input = randomStream(random);
            for (int flags : {int(Segments), int(Comment), int(Trailing), int(All)}) {
                qint64 saved = 0;
                const QByteArray fast = reduced(input, flags, saved);
                QByteArray plain = input;
                const qint64 plainSaved = reference::reduce(plain, optionsOf(flags));
                if (fast != plain || saved != plainSaved)
                    QFAIL(qPrintable(QStringLiteral("input %1 options %2: %3")
                                         .arg(i)
                                         .arg(flags)
                                         .arg(QString::fromLatin1(input.toHex()))));
            }
        }
    }

    // Thousands of tiny APP1 segments behind thousands of other segments: a
    // walk from the start after every cut would take quadratic time; the
    // reduction stays linear.
    void manyCutsStayLinear() {
        JpegBuilder builder;
        builder.soi();
        for (int i = 0; i < 40000; ++i)
            builder.app(0, 2);
        for (int i = 0; i < 40000; ++i)
            builder.app(1, 2);
        const QByteArray input = padded(builder, 8000000);
        QElapsedTimer timer;
        timer.start();
        qint64 saved = 0;
        const QByteArray output = reduced(input, Segments, saved);
        QCOMPARE(saved, qint64(4 * 40000));
        QCOMPARE(output.size(), input.size() - saved);
        QVERIFY2(timer.elapsed() < 20000, "the reduction is not linear");
    }

    // Cuts on the view, against cuts on a byte array; for a buffer and for a
    // file read block by block.
    void viewCutsLikeByteArray_data() {
        QTest::addColumn<bool>("fromFile");
        QTest::newRow("buffer") << false;
        QTest::newRow("file") << true;
    }
    void viewCutsLikeByteArray() {
        QFETCH(bool, fromFile);
        QRandomGenerator random(99);
        QByteArray original(300000, 0);
        for (char& c : original)
            c = char(random.bounded(256));
        QTemporaryFile file;
        QVERIFY(file.open());
        QCOMPARE(file.write(original), qint64(original.size()));
        QVERIFY(file.flush());
        for (int round = 0; round < 20; ++round) {
            std::unique_ptr<JpegCutView> view(
                fromFile ? new JpegCutView(int(file.handle()), original.size())
                         : new JpegCutView(original));
            QByteArray expected = original;
            for (int cut = 0; cut < 30 && !expected.isEmpty(); ++cut) {
                const qint64 from = random.bounded(expected.size());
                const qint64 count =
                    random.bounded(qMin<qint64>(expected.size() - from, 40000) + 1);
                view->cut(from, from + count);
                expected.remove(from, count);
                QCOMPARE(view->size(), qint64(expected.size()));
                for (int probe = 0; probe < 20 && !expected.isEmpty(); ++probe) {
                    const qint64 at = random.bounded(expected.size());
                    QCOMPARE(view->at(at), uchar(expected[at]));
                }
            }
            QCOMPARE(view->bytes(), expected);
            qint64 kept = 0;
            for (const ByteRange& range : view->keptRanges())
                kept += range.size();
            QCOMPARE(kept, qint64(expected.size()));
        }
    }
};

KELVASTO_REGISTER_TEST(TestJpegReduction)
#include "test_jpeg_reduction.moc"
