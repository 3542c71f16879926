#include "common/test_registry.h"
#include "picture_samples.h"

#include "base/errors.h"
#include "imaging/adjust_colours.h"
#include "imaging/filter_engine.h"
#include "imaging/gaussian_blur.h"
#include "imaging/optimise.h"
#include "imaging/simple_effects.h"

#include <QTest>

#include <functional>

using Rgb = std::vector<int>;
Q_DECLARE_METATYPE(Rgb)

namespace {

using Effect = std::function<void(Picture&)>;

PictureRect wholeOf(const Picture& p) {
    return {0, 0, p.width(), p.height()};
}

} // namespace

Q_DECLARE_METATYPE(Effect)

class TestEffects : public QObject {
    Q_OBJECT
private slots:
    void invertLeavesFirstAndLastColumn_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<Rgb>("expected"); // row 0, R G B per pixel
        QTest::newRow("1 wide") << 1 << Rgb{10, 20, 30};
        QTest::newRow("2 wide") << 2 << Rgb{10, 20, 30, 40, 50, 60};
        QTest::newRow("3 wide") << 3 << Rgb{10, 20, 30, 215, 205, 195, 70, 80, 90};
        QTest::newRow("4 wide") << 4
                                << Rgb{10, 20, 30, 215, 205, 195, 185, 175, 165, 100, 110, 120};
    }
    void invertLeavesFirstAndLastColumn() {
        QFETCH(int, width);
        QFETCH(Rgb, expected);
        const Rgb source{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
        Picture p = samples::fromRgb(width, 2, [&] {
            Rgb twoRows(source.begin(), source.begin() + width * 3);
            twoRows.insert(twoRows.end(), twoRows.begin(), twoRows.end());
            return twoRows;
        }());
        InvertPicture(p);
        Rgb both = expected;
        both.insert(both.end(), expected.begin(), expected.end());
        QCOMPARE(samples::rgbOf(p), both);
    }

    void greyUsesEqualWeightsOnInnerColumns() {
        Picture p = samples::fromRgb(3, 1, {10, 20, 31, 10, 20, 31, 10, 20, 31});
        GreyPicture(p);
        QCOMPARE(samples::rgbOf(p), (Rgb{10, 20, 31, 20, 20, 20, 10, 20, 31}));
        Picture narrow = samples::fromRgb(2, 1, {10, 20, 31, 1, 2, 3});
        GreyPicture(narrow);
        QCOMPARE(samples::rgbOf(narrow), (Rgb{10, 20, 31, 1, 2, 3}));
    }

    void mirrorsMapPixelsExactly_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("1x1") << 1 << 1;
        QTest::newRow("odd") << 5 << 3;
        QTest::newRow("even") << 4 << 6;
    }
    void mirrorsMapPixelsExactly() {
        QFETCH(int, width);
        QFETCH(int, height);
        const Picture source = samples::noise(width, height, 7);
        Picture upsideDown = source, leftRight = source;
        MirrorTopBottom(upsideDown);
        MirrorLeftRight(leftRight);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int ch = 0; ch < 3; ++ch) {
                    QCOMPARE(upsideDown.pixel(x, y)[ch], source.pixel(x, height - 1 - y)[ch]);
                    QCOMPARE(leftRight.pixel(x, y)[ch], source.pixel(width - 1 - x, y)[ch]);
                }
        MirrorTopBottom(upsideDown);
        QVERIFY(upsideDown == source);
    }

    void antiAliasPullsNeighboursInPlace() {
        Picture p = samples::fromRgb(2, 1, {0, 0, 0, 255, 255, 255});
        AntiAliasPicture(p, wholeOf(p), 100);
        QCOMPARE(samples::rgbOf(p), (Rgb{57, 57, 57, 85, 85, 85}));
    }

    void antiAliasLeavesEqualNeighboursAndFlatPictures() {
        Picture flat = samples::flat(4, 3, 9, 99, 199);
        AntiAliasPicture(flat, wholeOf(flat), 100);
        QVERIFY(flat == samples::flat(4, 3, 9, 99, 199));
        // One channel differs: all three are pulled, the equal ones stay.
        Picture p = samples::fromRgb(2, 1, {0, 30, 60, 150, 30, 60});
        AntiAliasPicture(p, wholeOf(p), 100);
        QCOMPARE(samples::rgbOf(p), (Rgb{33, 30, 60, 50, 30, 60}));
    }

    void antiAliasTableMatchesFormula_data() {
        QTest::addColumn<int>("percent");
        QTest::newRow("100") << 100;
        QTest::newRow("0") << 0;
        QTest::newRow("37") << 37;
        QTest::newRow("250") << 250;
    }
    void antiAliasTableMatchesFormula() {
        QFETCH(int, percent);
        Picture fast = samples::noise(41, 23, 3, true), reference = fast;
        AntiAliasPicture(fast, wholeOf(fast), percent);
        plain::AntiAliasPicture(reference, wholeOf(reference), percent);
        QVERIFY(fast == reference);
    }

    void adjustColours_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("mode");
        QTest::addColumn<float>("percent");
        QTest::addColumn<Rgb>("before");
        QTest::addColumn<Rgb>("after");
        const float p = 0.125f;
        QTest::newRow("brightness+ black") << 1 << 0 << p << Rgb{0, 0, 0} << Rgb{62, 62, 62};
        QTest::newRow("brightness+ white")
            << 1 << 0 << p << Rgb{255, 255, 255} << Rgb{253, 253, 253};
        QTest::newRow("brightness- white")
            << 2 << 0 << p << Rgb{255, 255, 255} << Rgb{239, 239, 239};
        QTest::newRow("contrast+ ends") << 3 << 0 << p << Rgb{0, 128, 255} << Rgb{0, 128, 255};
        QTest::newRow("contrast+ truncates") << 3 << 0 << p << Rgb{100, 156, 1} << Rgb{98, 158, 0};
        QTest::newRow("contrast- ends") << 4 << 0 << p << Rgb{0, 128, 255} << Rgb{10, 128, 246};
        QTest::newRow("saturation+ grey") << 5 << 0 << p << Rgb{77, 77, 77} << Rgb{77, 77, 77};
        QTest::newRow("saturation- grey") << 6 << 0 << p << Rgb{77, 77, 77} << Rgb{77, 77, 77};
        QTest::newRow("saturation+") << 5 << 0 << p << Rgb{200, 100, 50} << Rgb{209, 97, 41};
        QTest::newRow("saturation-") << 6 << 0 << p << Rgb{200, 100, 50} << Rgb{191, 103, 59};
        QTest::newRow("R->G Angleichen") << 7 << 0 << p << Rgb{200, 100, 0} << Rgb{200, 125, 0};
        QTest::newRow("R->G Umwandlung") << 7 << 1 << p << Rgb{200, 100, 0} << Rgb{175, 125, 0};
        QTest::newRow("R->G Kanaltausch") << 7 << 2 << p << Rgb{200, 100, 0} << Rgb{100, 200, 0};
        QTest::newRow("R->G mode 3") << 7 << 3 << p << Rgb{200, 100, 0} << Rgb{200, 100, 0};
        QTest::newRow("R->G mode -1") << 7 << -1 << p << Rgb{200, 100, 0} << Rgb{200, 100, 0};
        QTest::newRow("R->B Kanaltausch") << 8 << 2 << p << Rgb{1, 2, 3} << Rgb{3, 2, 1};
        QTest::newRow("G->R Kanaltausch") << 9 << 2 << p << Rgb{1, 2, 3} << Rgb{2, 1, 3};
        QTest::newRow("G->B Umwandlung") << 10 << 1 << p << Rgb{0, 80, 100} << Rgb{0, 70, 110};
        QTest::newRow("B->R Angleichen") << 11 << 0 << p << Rgb{10, 20, 200} << Rgb{35, 20, 200};
        QTest::newRow("B->G clamps") << 12 << 0 << 0.5f << Rgb{0, 250, 100} << Rgb{0, 255, 100};
        QTest::newRow("B->G truncates") << 12 << 1 << 0.3f << Rgb{0, 0, 9} << Rgb{0, 2, 6};
        QTest::newRow("operation 0") << 0 << 0 << p << Rgb{1, 2, 3} << Rgb{1, 2, 3};
        QTest::newRow("operation 13") << 13 << 0 << p << Rgb{1, 2, 3} << Rgb{1, 2, 3};
    }
    void adjustColours() {
        QFETCH(int, operation);
        QFETCH(int, mode);
        QFETCH(float, percent);
        QFETCH(Rgb, before);
        QFETCH(Rgb, after);
        // Every pixel of the picture, edges included, gets the same treatment.
        Rgb all, expected;
        for (int i = 0; i < 6; ++i) {
            all.insert(all.end(), before.begin(), before.end());
            expected.insert(expected.end(), after.begin(), after.end());
        }
        Picture p = samples::fromRgb(3, 2, all);
        ImagingContext context;
        AdjustColours(context, p, static_cast<ColourOperation>(operation), {percent, mode});
        QCOMPARE(samples::rgbOf(p), expected);
    }

    void colourPercentReadsTheUsersSeparator_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("expected");
        const QLocale german(QLocale::German, QLocale::Germany);
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("de 12,5") << german << "12,5" << true << 0.125f;
        QTest::newRow("de C form") << german << "12.5" << true << 0.125f;
        QTest::newRow("en 12.5") << english << "12.5" << true << 0.125f;
        QTest::newRow("blanks") << german << " 50 " << true << 0.5f;
        QTest::newRow("negative") << german << "-25" << true << -0.25f;
        QTest::newRow("en comma") << english << "12,5" << false << 0.0f;
        QTest::newRow("word") << german << "zwölf" << false << 0.0f;
        QTest::newRow("empty") << german << "" << false << 0.0f;
        QTest::newRow("percent sign") << german << "12,5%" << false << 0.0f;
    }
    void colourPercentReadsTheUsersSeparator() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(float, expected);
        if (!valid) {
            QVERIFY_THROWS_EXCEPTION(KelvastoError, ColourPercentFromText(text, locale));
            return;
        }
        QCOMPARE(ColourPercentFromText(text, locale), expected);
    }

    void notANumberRaisesBeforeAnyPixelChanges() {
        const Picture before = samples::noise(4, 4, 11);
        Picture p = before;
        ImagingContext context;
        QVERIFY_THROWS_EXCEPTION(KelvastoError,
                                 AdjustColours(context, p, ColourOperation::BrightnessUp, "x", 0));
        QVERIFY(p == before);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        AdjustColours(context, p, ColourOperation::RedIntoGreen, QStringLiteral("50,0"), 0);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(int(p.pixel(0, 0)[1]),
                 std::min(255, int(before.pixel(0, 0)[1] + before.pixel(0, 0)[2] * 0.5)));
    }

    void effectsNeverTouchRowPadding_data() {
        QTest::addColumn<Effect>("effect");
        QTest::newRow("invert") << Effect(InvertPicture);
        QTest::newRow("grey") << Effect(GreyPicture);
        QTest::newRow("mirror top-bottom") << Effect(MirrorTopBottom);
        QTest::newRow("mirror left-right") << Effect(MirrorLeftRight);
        QTest::newRow("anti-alias")
            << Effect([](Picture& p) { AntiAliasPicture(p, wholeOf(p), 100); });
        QTest::newRow("sharpen") << Effect([](Picture& p) { SharpenPicture(p); });
        QTest::newRow("optimise") << Effect([](Picture& p) { OptimisePicture(p); });
        QTest::newRow("blur") << Effect([](Picture& p) { GBlur(p, 3.0); });
        QTest::newRow("saturation") << Effect([](Picture& p) {
            ImagingContext c;
            AdjustColours(c, p, ColourOperation::SaturationUp, ColourSettings{});
        });
    }
    void effectsNeverTouchRowPadding() {
        QFETCH(Effect, effect);
        for (int width : {5, 6, 7}) {
            Picture p = samples::noise(width, 9, 5);
            samples::markPadding(p, 0xAB);
            effect(p);
            QVERIFY2(samples::paddingIs(p, 0xAB), qPrintable(QString::number(width)));
        }
    }

    void effectsAcceptAnEmptyPicture() {
        Picture p;
        ImagingContext context;
        InvertPicture(p);
        GreyPicture(p);
        MirrorTopBottom(p);
        MirrorLeftRight(p);
        AntiAliasPicture(p, wholeOf(p), 100);
        SharpenPicture(context, p);
        OptimisePicture(context, p);
        GBlur(p, 2.0);
        AdjustColours(context, p, ColourOperation::ContrastUp, ColourSettings{});
        QVERIFY(p.isEmpty());
    }
};

KELVASTO_REGISTER_TEST(TestEffects)
#include "test_effects.moc"
