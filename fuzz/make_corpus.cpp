// Writes the seed corpora of the fuzz targets: small valid files of every
// kind the readers know, damaged ones, and the hostile files that once cost
// gigabytes. Usage: make_fuzz_corpus CORPUS_FOLDER (normally fuzz/corpus).

#include "hostile_files.h"

#include "jobs/similar/fingerprint_cache.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

enum class Colours { Ycc420, Ycc422, Ycc444, Grey, AdobeCmyk, PlainCmyk, Ycck };

struct JpegSeed {
    const char* name;
    int width, height;
    Colours colours;
    bool progressive = false;
    bool arithmetic = false;
    bool optimise = false;
    int restartRows = 0;
    int quality = 75;
    bool separateScans = false; // sequential, one scan per component
};

// Smooth deterministic content, so that the files hold real coefficients.
int sampleAt(int x, int y, int channel) {
    return (x * (3 + channel) + y * (5 - channel) + ((x * y) >> 3) * channel) & 0xFF;
}

QByteArray encode(const JpegSeed& s) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(s.width);
    cinfo.image_height = JDIMENSION(s.height);
    const bool cmyk = s.colours == Colours::AdobeCmyk || s.colours == Colours::PlainCmyk ||
                      s.colours == Colours::Ycck;
    cinfo.input_components = s.colours == Colours::Grey ? 1 : cmyk ? 4 : 3;
    cinfo.in_color_space = s.colours == Colours::Grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, s.quality, TRUE);
    if (s.colours == Colours::Ycck)
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    if (s.colours == Colours::PlainCmyk)
        cinfo.write_Adobe_marker = FALSE;
    if (s.colours == Colours::Ycc444 || s.colours == Colours::Ycc422) {
        cinfo.comp_info[0].h_samp_factor = s.colours == Colours::Ycc422 ? 2 : 1;
        cinfo.comp_info[0].v_samp_factor = 1;
    }
    cinfo.arith_code = s.arithmetic ? TRUE : FALSE;
    cinfo.optimize_coding = s.optimise ? TRUE : FALSE;
    cinfo.restart_in_rows = s.restartRows;
    if (s.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_scan_info separate[4];
    if (s.separateScans) {
        for (int c = 0; c < cinfo.num_components; ++c)
            separate[c] = {1, {c, 0, 0, 0}, 0, 63, 0, 0};
        cinfo.scan_info = separate;
        cinfo.num_scans = cinfo.num_components;
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(std::size_t(s.width) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < s.width; ++x)
            for (int c = 0; c < cinfo.input_components; ++c)
                row[std::size_t(x) * cinfo.input_components + c] = JSAMPLE(sampleAt(x, y, c));
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

void put16(QByteArray& b, int v) {
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void put32(QByteArray& b, std::int64_t v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A bitmap with a 40-byte header (12-byte OS/2 header when `core`), a full
// palette for <= 8 bits and `pixels` as its data.
QByteArray bitmap(int width, int height, int bits, int compression, const QByteArray& pixels,
                  bool core = false, bool masks = false) {
    const int palette = bits <= 8 ? 1 << bits : 0;
    const int entry = core ? 3 : 4;
    const int offset = 14 + (core ? 12 : 40) + (masks ? 12 : 0) + palette * entry;
    QByteArray b("BM");
    put32(b, offset + pixels.size());
    put32(b, 0);
    put32(b, offset);
    if (core) {
        put32(b, 12);
        put16(b, width);
        put16(b, height);
        put16(b, 1);
        put16(b, bits);
    } else {
        put32(b, 40);
        put32(b, width);
        put32(b, height);
        put16(b, 1);
        put16(b, bits);
        put32(b, compression);
        put32(b, pixels.size());
        put32(b, 2835);
        put32(b, 2835);
        put32(b, 0);
        put32(b, 0);
    }
    if (masks) {
        put32(b, bits == 16 ? 0xF800 : 0xFF0000);
        put32(b, bits == 16 ? 0x07E0 : 0x00FF00);
        put32(b, bits == 16 ? 0x001F : 0x0000FF);
    }
    for (int i = 0; i < palette; ++i) {
        b.append(char(i * 37)).append(char(255 - i)).append(char(i * 11));
        if (!core)
            b.append('\0');
    }
    return b + pixels;
}

QByteArray rows(int width, int height, int bits) {
    const int stride = (width * bits + 31) / 32 * 4;
    QByteArray data;
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < stride; ++i)
            data.append(char(sampleAt(i, y, 1)));
    return data;
}

// Runs, an absolute run, a delta and the end codes of RLE8 or RLE4.
QByteArray runLength(int height, bool four) {
    QByteArray data;
    for (int y = 0; y < height; ++y) {
        data.append(char(5)).append(char(four ? 0x12 : y));
        data.append('\0').append(char(4)).append(char(0x34)).append(char(0x56));
        if (!four)
            data.append(char(0x78)).append(char(0x9A));
        if (y == 2)
            data.append('\0').append(char(2)).append(char(3)).append(char(1));
        data.append('\0').append('\0');
    }
    return data.append('\0').append(char(1));
}

void write(const QString& folder, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(folder);
    QFile file(folder + '/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

} // namespace

// The fingerprint cache as the program writes it, with rows the fuzz target
// asks for, then changed by hand in the ways a file can go wrong.
QByteArray cacheFile(const std::function<void(QSqlDatabase&)>& change = {}) {
    const QString file = QDir::tempPath() + "/make-corpus-cache.sqlite";
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(file + suffix);
    {
        FingerprintCache cache(file);
        cache.storeFingerprint("/pictures/a.jpg", {1000, 1700000000000000000, 42},
                               {0x0123456789ABCDEF, 0x1111, 640, 480});
        cache.storeDigest("/pictures/b.jpg", {2000, 5, 7}, QByteArray(32, 'd'), 30, 20);
        cache.storeFingerprint("/c.jpg", {0, 0, 0}, {1, 2, 1, 1});
    }
    if (change) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "seed");
            db.setDatabaseName(file);
            if (db.open()) {
                change(db);
                db.close();
            }
        }
        QSqlDatabase::removeDatabase("seed");
    }
    QFile in(file);
    const QByteArray bytes = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(file + suffix);
    return bytes;
}

void writeCacheSeeds(const QString& folder) {
    const auto run = [](const char* statement) {
        return [statement](QSqlDatabase& db) { QSqlQuery(db).exec(statement); };
    };
    const QByteArray sound = cacheFile();
    write(folder, "sound.sqlite", sound);
    write(folder, "cut.sqlite", sound.left(sound.size() / 2));
    QByteArray flipped = sound;
    flipped[100] = char(flipped[100] ^ 0x40);
    write(folder, "header-flipped.sqlite", flipped);
    write(folder, "empty.sqlite", QByteArray());
    write(folder, "not-sqlite.sqlite", QByteArray("SQLite format 3") + QByteArray(200, 'x'));
    write(folder, "foreign.sqlite", cacheFile(run("PRAGMA application_id = 1")));
    write(folder, "newer.sqlite", cacheFile(run("PRAGMA user_version = 99")));
    write(folder, "zero-width.sqlite", cacheFile(run("UPDATE pictures SET width = 0")));
    write(folder, "huge-height.sqlite", cacheFile(run("UPDATE pictures SET height = 1e12")));
    write(folder, "text-bits.sqlite", cacheFile(run("UPDATE pictures SET bits = 'many'")));
    write(folder, "short-digest.sqlite",
          cacheFile(run("UPDATE pictures SET digest = x'0102' WHERE digest IS NOT NULL")));
    write(folder, "other-columns.sqlite",
          cacheFile(run("ALTER TABLE pictures ADD COLUMN extra INTEGER")));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the SQLite driver is a plugin
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]);

    const std::vector<JpegSeed> jpegs = {
        {"baseline-420.jpg", 48, 40, Colours::Ycc420},
        {"baseline-422.jpg", 37, 21, Colours::Ycc422},
        {"baseline-444-q95.jpg", 33, 17, Colours::Ycc444, false, false, false, 0, 95},
        {"one-pixel.jpg", 1, 1, Colours::Ycc420},
        {"grey.jpg", 40, 24, Colours::Grey},
        {"adobe-cmyk.jpg", 24, 16, Colours::AdobeCmyk},
        {"plain-cmyk.jpg", 16, 24, Colours::PlainCmyk},
        {"ycck.jpg", 20, 20, Colours::Ycck},
        {"progressive-420.jpg", 64, 48, Colours::Ycc420, true},
        {"progressive-grey.jpg", 50, 30, Colours::Grey, true},
        {"progressive-cmyk.jpg", 24, 24, Colours::AdobeCmyk, true},
        {"arithmetic.jpg", 40, 32, Colours::Ycc420, false, true},
        {"arithmetic-progressive.jpg", 40, 32, Colours::Ycc444, true, true},
        {"optimised.jpg", 56, 40, Colours::Ycc420, false, false, true},
        {"restarts.jpg", 64, 64, Colours::Ycc420, false, false, false, 1},
        {"progressive-restarts.jpg", 48, 48, Colours::Grey, true, false, false, 1},
        {"wide.jpg", 300, 8, Colours::Ycc420},
        {"separate-scans.jpg", 40, 30, Colours::Ycc420, false, false, false, 0, 75, true},
    };
    std::vector<std::pair<QString, QByteArray>> jpegFiles;
    for (const JpegSeed& seed : jpegs)
        jpegFiles.push_back({seed.name, encode(seed)});
    const QByteArray whole = encode({"", 64, 48, Colours::Ycc420, true});
    jpegFiles.push_back({"progressive-cut.jpg", whole.left(whole.size() * 2 / 3)});
    const QByteArray baseline = encode({"", 64, 48, Colours::Ycc420});
    jpegFiles.push_back({"baseline-cut.jpg", baseline.left(baseline.size() / 2)});
    // The files that once cost gigabytes or half a minute.
    jpegFiles.push_back(
        {"hostile-progressive-20000.jpg", hostile::progressiveWithoutData(20000, 20000)});
    jpegFiles.push_back(
        {"hostile-empty-scans.jpg", hostile::progressiveEmptyScans(10000, 10000, 1000)});
    // Small enough to pass the header's test: refused at its scans.
    jpegFiles.push_back(
        {"hostile-empty-scans-4800.jpg", hostile::progressiveEmptyScans(4800, 4800, 1000)});
    // Within the fuzz targets' memory limit, so refused at its scans there too.
    jpegFiles.push_back(
        {"hostile-empty-scans-1600.jpg", hostile::progressiveEmptyScans(1600, 1600, 1000)});
    jpegFiles.push_back({"hostile-baseline-20000.jpg", hostile::baselineWithoutData(20000, 20000)});
    for (const char* target : {"fuzz_jpeg_accurate", "fuzz_jpeg_dc_scans", "fuzz_jpeg_fast"})
        for (const auto& [name, bytes] : jpegFiles)
            write(root + '/' + target, name, bytes);

    // The end-of-image test: sound, cut, trailing bytes, the marker at the
    // limit of the searched quarter, and the shortest files.
    const QString defects = root + "/fuzz_defect_test";
    write(defects, "sound.jpg", baseline);
    write(defects, "cut.jpg", baseline.left(baseline.size() - 1));
    write(defects, "trailing.jpg", baseline + QByteArray(100, 'x'));
    QByteArray atLimit(100, 'a');
    atLimit[75] = char(0xFF);
    atLimit[76] = char(0xD9);
    write(defects, "marker-at-limit.bin", atLimit);
    atLimit[75] = 'a';
    atLimit[74] = char(0xFF);
    atLimit[75] = char(0xD9);
    write(defects, "marker-below-limit.bin", atLimit);
    write(defects, "short-26.bin", QByteArray(24, 'a') + "\xFF\xD9");
    write(defects, "short-25.bin", QByteArray(23, 'a') + "\xFF\xD9");
    write(defects, "empty.bin", QByteArray());

    // The reduction: the first byte picks the removals (1 program segments,
    // 2 a comment, 4 data behind the picture). Pictures with the segments
    // graphics programs add, a pair 0xFF 0xE1 inside another segment, fill
    // bytes that join the code behind a cut, and data behind the picture.
    const QString reduction = root + "/fuzz_jpeg_reduction";
    const auto segment = [](char code, const QByteArray& payload) {
        QByteArray out("\xFF", 1);
        out.append(code);
        out.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xFF));
        return out + payload;
    };
    const auto behindStart = [](const QByteArray& picture, const QByteArray& inserted) {
        return picture.left(2) + inserted + picture.mid(2);
    };
    const QByteArray metadata = segment('\xE1', QByteArray("Exif\0\0MM", 8) + QByteArray(30, 'e')) +
                                segment('\xFE', "comment") + segment('\xED', "Photoshop 3.0") +
                                segment('\xE2', QByteArray("ICC_PROFILE\0", 12));
    const QByteArray thumbnail("\xFF\xD8\xFF\xE1\x00\x06Exif\xFF\xD9", 12);
    write(reduction, "all-baseline.bin",
          "\x07" + behindStart(baseline, metadata) + QByteArray(300, 't'));
    write(reduction, "segments-progressive.bin", "\x01" + behindStart(whole, metadata));
    write(reduction, "two-comments.bin",
          "\x02" + behindStart(baseline, segment('\xFE', "one") + segment('\xFE', "two")));
    write(reduction, "pair-inside-app11.bin",
          "\x01" + behindStart(baseline, segment('\xEB', "JP" + thumbnail) + segment('\xE1', "x")));
    write(reduction, "fill-joins.bin",
          "\x01" + behindStart(baseline, QByteArray("\xFF\xFF\xE1\x00\x02\xE1\x00\x04zz", 10)));
    write(reduction, "trailing-marker-twice.bin",
          "\x04" + baseline + QByteArray("xx\xFF\xD9yy", 6));
    write(reduction, "length-past-end.bin",
          "\x07" + behindStart(baseline, QByteArray("\xFF\xE1\xFF\xF0", 4)));
    // Adobe's segment that decides the colours, and a photograph cut off in
    // its picture data behind a complete EXIF thumbnail.
    write(reduction, "adobe-cmyk.bin",
          "\x07" + behindStart(encode({"", 32, 24, Colours::AdobeCmyk}), metadata));
    write(reduction, "cut-off-behind-thumbnail.bin",
          "\x04" + behindStart(baseline.left(baseline.size() / 2),
                               segment('\xE1', QByteArray("Exif\0\0", 6) + baseline)));

    const QString bmps = root + "/fuzz_bmp_reader";
    for (int bits : {1, 2, 4, 8, 16, 24, 32})
        write(bmps, QStringLiteral("rgb-%1.bmp").arg(bits),
              bitmap(13, 7, bits, 0, rows(13, 7, bits)));
    write(bmps, "bitfields-16.bmp", bitmap(9, 5, 16, 3, rows(9, 5, 16), false, true));
    write(bmps, "bitfields-32.bmp", bitmap(9, 5, 32, 3, rows(9, 5, 32), false, true));
    write(bmps, "os2-core.bmp", bitmap(11, 6, 8, 0, rows(11, 6, 8), true));
    QByteArray topDown = bitmap(7, 5, 24, 0, rows(7, 5, 24));
    topDown[22] = char(0xFB); // height -5
    topDown[23] = topDown[24] = topDown[25] = char(0xFF);
    write(bmps, "top-down.bmp", topDown);
    write(bmps, "rle8.bmp", bitmap(12, 6, 8, 1, runLength(6, false)));
    write(bmps, "rle4.bmp", bitmap(12, 6, 4, 2, runLength(6, true)));
    const QByteArray full = bitmap(13, 7, 24, 0, rows(13, 7, 24));
    write(bmps, "cut.bmp", full.left(full.size() - 40));
    write(bmps, "hostile-58-bytes.bmp", hostile::bitmapWithData(20000, 20000, 4));
    write(bmps, "hostile-rle-bomb.bmp", hostile::runLengthBitmap(20000, 20000, 64));

    writeCacheSeeds(root + "/fuzz_fingerprint_cache");
    return 0;
}
