#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"

#include "imaging/picture_files.h"
#include "jobs/framework/picture_prefetch.h"
#include "jobs/index/index_sheets.h"
#include "jobs/index/thumbnails.h"

#include <QTest>

#include <sys/stat.h>

namespace {

struct Colour {
    int r, g, b;
};

// A small flat JPEG file; the sheets enlarge it to the cell.
QByteArray photo(Colour c, int width = 64, int height = 48) {
    return JpegBuilder::picture(width, height, std::uint8_t(c.r), std::uint8_t(c.g),
                                std::uint8_t(c.b));
}

bool near(const std::uint8_t* bgr, Colour c, int slack = 24) {
    return qAbs(bgr[2] - c.r) <= slack && qAbs(bgr[1] - c.g) <= slack &&
           qAbs(bgr[0] - c.b) <= slack;
}

const Colour kBlack{0, 0, 0};
const Colour kRed{220, 30, 30};
const Colour kGreen{30, 200, 40};
const Colour kBlue{20, 40, 210};

// The results of a run, and what it reported skipped.
struct Skips {
    RecordingJobHost host;
    ResultFiles results{host};
    QStringList paths() const { return host.skippedPaths(); }
};

// The middle of cell k of a sheet.
const std::uint8_t* cellMiddle(const Picture& sheet, const SheetLayout& layout, int k) {
    const int cell = layout.cell();
    return sheet.pixel((k % layout.perRow) * cell + cell / 2,
                       (k / layout.perRow) * cell + cell / 2);
}

SheetRunResult buildSheets(const SheetLayout& layout, const QStringList& files, const QString& base,
                           Skips& skips, int threads = 2) {
    PicturePrefetcher pictures(
        files, [&](const QString& path) { return LoadCellPicture(path, layout.side); }, threads);
    return BuildIndexSheets(layout, files, base, pictures, skips.results);
}

QString trashed(const QString& name) {
    return testing::dataHome() + QStringLiteral("/Trash/files/") + name;
}

int trashCount() {
    return int(QDir(testing::dataHome() + QStringLiteral("/Trash/files"))
                   .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                   .size());
}

} // namespace

class TestIndexSheets : public QObject {
    Q_OBJECT
private slots:
    void sheetSizeFollowsTheLayout_data() {
        QTest::addColumn<int>("perSheet");
        QTest::addColumn<int>("perRow");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("42 by 7") << 42 << 7 << 100 << 770 << 660;
        QTest::newRow("42 by 8 needs 6 rows") << 42 << 8 << 100 << 880 << 660;
        QTest::newRow("row wider than the sheet") << 5 << 7 << 100 << 770 << 110;
        QTest::newRow("one cell") << 1 << 1 << 40 << 50 << 50;
    }
    void sheetSizeFollowsTheLayout() {
        QFETCH(int, perSheet);
        QFETCH(int, perRow);
        QFETCH(int, side);
        QFETCH(int, width);
        QFETCH(int, height);
        const SheetLayout layout{perSheet, perRow, side};
        QCOMPARE(layout.width(), width);
        QCOMPARE(layout.height(), height);
    }

    void sheetNumbersArePadded_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("text");
        QTest::newRow("5 files") << 1 << 5 << "1";
        QTest::newRow("one file") << 1 << 1 << "1";
        QTest::newRow("45 files, first") << 1 << 45 << "01";
        QTest::newRow("45 files, second") << 2 << 45 << "02";
        QTest::newRow("10 files") << 1 << 10 << "1";
        QTest::newRow("11 files") << 1 << 11 << "01";
        QTest::newRow("1000 files, first") << 1 << 1000 << "001";
        QTest::newRow("1000 files, last") << 24 << 1000 << "024";
    }
    void sheetNumbersArePadded() {
        QFETCH(int, number);
        QFETCH(int, files);
        QFETCH(QString, text);
        QCOMPARE(SheetNumber(number, files), text);
        QCOMPARE(SheetPath("/p/urlaub", number, files), "/p/urlaub_" + text + ".jpeg");
    }

    void picturesSitInTheMiddleOfTheirCells_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("fitWidth");
        QTest::addColumn<int>("fitHeight");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("100x75, odd height gap") << 0 << 100 << 75 << 5 << 17 << 100 << 76;
        QTest::newRow("75x100 in the second row") << 8 << 75 << 100 << 127 << 115 << 76 << 100;
        QTest::newRow("square") << 6 << 100 << 100 << 665 << 5 << 100 << 100;
        QTest::newRow("strip") << 41 << 100 << 1 << 665 << 604 << 100 << 2;
    }
    void picturesSitInTheMiddleOfTheirCells() {
        QFETCH(int, k);
        QFETCH(int, fitWidth);
        QFETCH(int, fitHeight);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, width);
        QFETCH(int, height);
        const CellRect expected{x, y, width, height};
        QCOMPARE(CellRectangle({42, 7, 100}, k, {fitWidth, fitHeight}), expected);
    }

    void cellIsDrawnOnePixelWiderWhereTheGapIsOdd() {
        const SheetLayout layout{42, 7, 100};
        SheetCanvas canvas(layout);
        Picture white(100, 75);
        white.fill(255, 255, 255);
        canvas.draw(0, white, {100, 75});
        const Picture& sheet = canvas.picture();
        for (auto [x, y] :
             {std::pair{5, 17}, std::pair{104, 17}, std::pair{5, 92}, std::pair{104, 92}})
            QVERIFY2(near(sheet.pixel(x, y), {255, 255, 255}, 0),
                     qPrintable(QString("%1,%2").arg(x).arg(y)));
        for (auto [x, y] : {std::pair{4, 17}, std::pair{105, 17}, std::pair{5, 16},
                            std::pair{5, 93}, std::pair{110, 17}})
            QVERIFY2(near(sheet.pixel(x, y), kBlack, 0),
                     qPrintable(QString("%1,%2").arg(x).arg(y)));
        canvas.clear();
        QVERIFY(near(sheet.pixel(50, 50), kBlack, 0));
    }

    void fortyFiveFilesGiveTwoSheetsOfTheSameSize() {
        fixtures::Tree tree;
        QStringList files;
        for (int i = 0; i < 45; ++i) {
            const QString name = QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
            QVERIFY(tree.file(name, photo(kRed, 640 / 8, 480 / 8)));
            files << tree.path(name);
        }
        Skips skips;
        const SheetLayout layout{42, 7, 100};
        const SheetRunResult result = buildSheets(layout, files, tree.path("urlaub"), skips);
        QCOMPARE(result.sheetsWritten, 2);
        QVERIFY(skips.paths().isEmpty());
        const Picture first = LoadJpegFile(tree.path("urlaub_01.jpeg"));
        const Picture second = LoadJpegFile(tree.path("urlaub_02.jpeg"));
        QCOMPARE(first.width(), 770);
        QCOMPARE(first.height(), 660);
        QCOMPARE(second.width(), 770);
        QCOMPARE(second.height(), 660);
        for (int k = 0; k < 42; ++k)
            QVERIFY2(near(cellMiddle(first, layout, k), kRed), qPrintable(QString::number(k)));
        for (int k = 0; k < 42; ++k)
            QVERIFY2(near(cellMiddle(second, layout, k), k < 3 ? kRed : kBlack),
                     qPrintable(QString::number(k)));
        // The 100 x 75 picture's border: black a few pixels outside, red inside.
        QVERIFY(near(first.pixel(7, 20), kRed, 40));
        QVERIFY(near(first.pixel(2, 20), kBlack, 40));
        QVERIFY(near(first.pixel(50, 13), kBlack, 40));
        QVERIFY(near(first.pixel(50, 97), kBlack, 40));
    }

    void unreadableFileLeavesItsCellEmpty_data() {
        QTest::addColumn<QByteArray>("bad");
        QTest::newRow("not a JPEG") << QByteArray("just text");
        QTest::newRow("cut off header") << photo(kGreen).left(30);
        QTest::newRow("empty file") << QByteArray();
    }
    void unreadableFileLeavesItsCellEmpty() {
        QFETCH(QByteArray, bad);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", photo(kRed)));
        QVERIFY(tree.file("b.jpg", bad));
        QVERIFY(tree.file("c.jpg", photo(kBlue)));
        const QStringList files{tree.path("a.jpg"), tree.path("b.jpg"), tree.path("c.jpg"),
                                tree.path("missing.jpg")};
        Skips skips;
        const SheetLayout layout{4, 4, 40};
        const SheetRunResult result = buildSheets(layout, files, tree.path("s"), skips);
        QCOMPARE(result.unreadable, 2);
        QCOMPARE(skips.paths(), (QStringList{tree.path("b.jpg"), tree.path("missing.jpg")}));
        const Picture sheet = LoadJpegFile(tree.path("s_1.jpeg"));
        QVERIFY(near(cellMiddle(sheet, layout, 0), kRed));
        QVERIFY(near(cellMiddle(sheet, layout, 1), kBlack)); // not the previous picture
        QVERIFY(near(cellMiddle(sheet, layout, 2), kBlue));
        QVERIFY(near(cellMiddle(sheet, layout, 3), kBlack));
    }

    void onePixelPictureFillsTheWholeSquare() {
        fixtures::Tree tree;
        QVERIFY(tree.file("dot.jpg", photo(kGreen, 1, 1)));
        const LoadedPicture loaded = LoadCellPicture(tree.path("dot.jpg"), 100);
        QCOMPARE(loaded.picture.width(), 100);
        QCOMPARE(loaded.picture.height(), 100);
        Skips skips;
        const SheetLayout layout{1, 1, 100};
        buildSheets(layout, {tree.path("dot.jpg")}, tree.path("dot"), skips);
        const Picture sheet = LoadJpegFile(tree.path("dot_1.jpeg"));
        QCOMPARE(sheet.width(), 110);
        for (auto [x, y] : {std::pair{8, 8}, std::pair{101, 101}, std::pair{8, 101}})
            QVERIFY(near(sheet.pixel(x, y), kGreen, 40));
        QVERIFY(near(sheet.pixel(1, 1), kBlack, 40));
        QVERIFY(near(sheet.pixel(108, 108), kBlack, 40));
    }

    void anExistingFileGoesToTheTrash() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", photo(kRed)));
        QVERIFY(tree.file("keep_1.jpeg", "the user's own photograph"));
        Skips skips;
        const SheetRunResult result =
            buildSheets({42, 7, 100}, {tree.path("a.jpg")}, tree.path("keep"), skips);
        QCOMPARE(result.sheetsWritten, 1);
        QCOMPARE(LoadJpegFile(tree.path("keep_1.jpeg")).width(), 770);
        QCOMPARE(testing::readFile(trashed("keep_1.jpeg")),
                 QByteArray("the user's own photograph"));
        QCOMPARE(tree.names(""), (QStringList{"a.jpg", "keep_1.jpeg"})); // no temporary left
    }

    void aFileThatMustStayIsNotReplaced_data() {
        QTest::addColumn<bool>("folderTaken");
        QTest::newRow("read-only file") << false;
        QTest::newRow("a folder of that name") << true;
    }
    void aFileThatMustStayIsNotReplaced() {
        QFETCH(bool, folderTaken);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", photo(kRed)));
        if (folderTaken) {
            QVERIFY(tree.folder("keep_1.jpeg"));
        } else {
            QVERIFY(tree.file("keep_1.jpeg", "read-only"));
            QVERIFY(::chmod(QFile::encodeName(tree.path("keep_1.jpeg")).constData(), 0444) == 0);
        }
        const int trashedBefore = trashCount();
        Skips skips;
        const SheetRunResult result =
            buildSheets({42, 7, 100}, {tree.path("a.jpg")}, tree.path("keep"), skips);
        QCOMPARE(result.sheetsNotWritten, 1);
        QCOMPARE(skips.paths(), QStringList{tree.path("keep_1.jpeg")});
        if (!folderTaken)
            QCOMPARE(tree.read("keep_1.jpeg"), QByteArray("read-only"));
        QCOMPARE(trashCount(), trashedBefore);
    }

    // Loading ahead must not change what a run writes, also when a sheet of
    // the run replaces a file that is still to be drawn.
    void loadingAheadWritesTheSameSheets() {
        fixtures::Tree tree;
        QVERIFY(tree.folder("plain"));
        QVERIFY(tree.folder("ahead"));
        const Colour colours[] = {kRed, kGreen, kRed, kGreen, kRed};
        for (const char* folder : {"plain", "ahead"}) {
            for (int i = 0; i < 5; ++i)
                QVERIFY(tree.file(QStringLiteral("%1/x%2.jpg").arg(folder).arg(i),
                                  photo(colours[i], 30 + 7 * i, 60 - 5 * i)));
            QVERIFY(tree.file(QStringLiteral("%1/s_3.jpeg").arg(folder), photo(kBlue)));
        }
        for (const char* folder : {"plain", "ahead"}) {
            QStringList files;
            for (int i = 0; i < 5; ++i)
                files << tree.path(QStringLiteral("%1/x%2.jpg").arg(folder).arg(i));
            files.insert(3, tree.path(QStringLiteral("%1/s_3.jpeg").arg(folder)));
            Skips skips;
            // One cell a sheet: the third sheet replaces s_3.jpeg before the
            // run reaches it as its fourth file.
            const int threads = QByteArray(folder) == "plain" ? 0 : 2;
            buildSheets({1, 1, 40}, files, tree.path(QStringLiteral("%1/s").arg(folder)), skips,
                        threads);
            QVERIFY(skips.paths().isEmpty());
        }
        for (int n = 1; n <= 6; ++n) {
            const QString name = QStringLiteral("s_%1.jpeg").arg(n);
            QCOMPARE(tree.read("ahead/" + name), tree.read("plain/" + name));
        }
        // The fourth sheet shows the third sheet, which took the name.
        const Picture fourth = LoadJpegFile(tree.path("plain/s_4.jpeg"));
        QVERIFY(!near(cellMiddle(fourth, {1, 1, 40}, 0), kBlue, 60));
    }
};

class TestThumbnails : public QObject {
    Q_OBJECT
private slots:
    void thumbnailNameKeepsTheExtension_data() {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("postfix");
        QTest::addColumn<QString>("name");
        QTest::newRow("postfix") << ""
                                 << "/p/Bild.jpg"
                                 << "_thumb"
                                 << "Bild_thumb.jpg";
        QTest::newRow("upper-case extension") << "t_"
                                              << "/p/Bild.JPG"
                                              << ""
                                              << "t_Bild.JPG";
        QTest::newRow("inner dot") << ""
                                   << "/p/a.b.jpeg"
                                   << "_x"
                                   << "a.b_x.jpeg";
        QTest::newRow("no extension") << ""
                                      << "/p/README"
                                      << "_x"
                                      << "README_x";
    }
    void thumbnailNameKeepsTheExtension() {
        QFETCH(QString, prefix);
        QFETCH(QString, source);
        QFETCH(QString, postfix);
        QFETCH(QString, name);
        QCOMPARE(ThumbnailName(prefix, source, postfix), name);
    }

    void thumbnailHasTheFittedSize_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("thumbWidth");
        QTest::addColumn<int>("thumbHeight");
        QTest::newRow("640x480 at 100") << 640 << 480 << 100 << 100 << 75;
        QTest::newRow("portrait at 10") << 480 << 640 << 10 << 7 << 10;
        QTest::newRow("1x1 enlarged") << 1 << 1 << 100 << 100 << 100;
    }
    void thumbnailHasTheFittedSize() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, side);
        QFETCH(int, thumbWidth);
        QFETCH(int, thumbHeight);
        fixtures::Tree tree;
        QVERIFY(tree.file("Bild.jpg", photo(kGreen, width, height)));
        Skips skips;
        const QString source = tree.path("Bild.jpg");
        const QString name = ThumbnailName("", source, "_thumb");
        QVERIFY(MakeThumbnail(source, LoadThumbnailPicture(source, side), tree.root(), name,
                              skips.results));
        const Picture thumb = LoadJpegFile(tree.path("Bild_thumb.jpg"));
        QCOMPARE(thumb.width(), thumbWidth);
        QCOMPARE(thumb.height(), thumbHeight);
        QVERIFY(near(thumb.pixel(thumbWidth / 2, thumbHeight / 2), kGreen));
    }

    void unreadableSourceIsReportedAndNothingWritten() {
        fixtures::Tree tree;
        QVERIFY(tree.file("bad.jpg", "garbage"));
        Skips skips;
        const QString source = tree.path("bad.jpg");
        QVERIFY(!MakeThumbnail(source, LoadThumbnailPicture(source, 100), tree.root(), "bad_t.jpg",
                               skips.results));
        QCOMPARE(skips.paths(), QStringList{source});
        QVERIFY(!tree.exists("bad_t.jpg"));
    }
};

KELVASTO_REGISTER_TEST(TestIndexSheets)
KELVASTO_REGISTER_TEST(TestThumbnails)
#include "test_index_sheets.moc"
