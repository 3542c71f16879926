// The editor's work without its window: the one-step undo, the percentage
// as typed, the saved name, the pictures it opens or refuses. The effects
// against the picture library are checked through the buttons.

#include "base/errors.h"
#include "common/picture_files_for_tests.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "editor/picture_editor.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

class TestPictureEditor : public QObject {
    Q_OBJECT
private slots:
    void savePaths_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("x.jpg") << "/p/x.jpg"
                               << "/p/x.jpeg";
        QTest::newRow("bild.bmp") << "/p/bild.bmp"
                                  << "/p/bild.jpeg";
        QTest::newRow("upper case") << "/p/x.JPEG"
                                    << "/p/x.jpeg";
        QTest::newRow("no extension") << "/p/x"
                                      << "/p/x.jpeg";
        QTest::newRow("a dot in the folder only") << "/p.d/x"
                                                  << "/p.d/x.jpeg";
        QTest::newRow("two dots") << "/p/a.b.png"
                                  << "/p/a.b.jpeg";
    }
    void savePaths() {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QCOMPARE(EditorSavePath(chosen), saved);
    }

    // The same number under every locale: the German default "12,5" used to
    // be no number at all under an English or C locale.
    void percentagesInEveryLanguage_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // negative: not a number
        QTest::newRow("German form") << "12,5" << 12.5;
        QTest::newRow("English form") << "12.5" << 12.5;
        QTest::newRow("whole number, blanks") << " 7 " << 7.0;
        QTest::newRow("leading separator") << ",5" << 0.5;
        QTest::newRow("a thousands point is a decimal point") << "1.000" << 1.0;
        QTest::newRow("empty") << "" << -1.0;
        QTest::newRow("word") << "abc" << -1.0;
        QTest::newRow("two separators") << "1,2,5" << -1.0;
        QTest::newRow("exponent") << "1e2" << -1.0;
        QTest::newRow("other separator") << "12;5" << -1.0;
    }
    void percentagesInEveryLanguage() {
        QFETCH(QString, text);
        QFETCH(double, value);
        const QLocale before;
        for (const char* name : {"de_DE", "en_US", "C"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(name)));
            if (value < 0) {
                QVERIFY_THROWS_EXCEPTION(KelvastoError, ColourPercentValue(text));
            } else {
                QCOMPARE(ColourPercentValue(text), value);
            }
        }
        QLocale::setDefault(before);
    }

    void undoBeforeAnyEffectKeepsThePicture() {
        ImagingContext context;
        PictureEditor editor(context);
        const Picture original = testing::photoLike(10, 8);
        editor.setLoaded(original);
        editor.undo();
        QVERIFY(editor.working() == original);
    }

    void undoIsOneStepAndRepeats() {
        ImagingContext context;
        PictureEditor editor(context);
        const Picture original = testing::photoLike(10, 8);
        editor.setLoaded(original);
        editor.apply(EditorEffect::Invert);
        const Picture inverted = editor.working();
        editor.apply(EditorEffect::Grey);
        editor.undo();
        QVERIFY(editor.working() == inverted);
        editor.undo(); // the same copy again, not a second step back
        QVERIFY(editor.working() == inverted);
    }

    void aPercentageThatIsNoNumberChangesNothing() {
        ImagingContext context;
        PictureEditor editor(context);
        const Picture original = testing::photoLike(10, 8);
        editor.setLoaded(original);
        editor.apply(EditorEffect::Invert);
        const Picture inverted = editor.working();
        QVERIFY_THROWS_EXCEPTION(
            KelvastoError, editor.applyColour(ColourOperation::RedIntoGreen, "zwölf", Angleichen));
        QVERIFY(editor.working() == inverted);
        editor.undo(); // the undo copy is still the one before the inversion
        QVERIFY(editor.working() == original);
    }

    void bitmapsOfEveryDepthOpenAsTwentyFourBits() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/editor-XXXXXX"));
        // 2 x 1, 8 bits with a palette of two colours: red, then blue.
        const QByteArray bmp = QByteArray::fromHex(
            "424d42000000000000003e000000280000000200000001000000010008000000000004000000130b"
            "0000130b000002000000020000000000ff00ff00000000010000");
        QVERIFY(testing::writeFile(dir.path() + "/p.bmp", bmp));
        const Picture picture = LoadEditorPicture(dir.path() + "/p.bmp");
        QCOMPARE(picture.width(), 2);
        QCOMPARE(picture.pixel(0, 0)[2], std::uint8_t(255)); // red
        QCOMPARE(picture.pixel(1, 0)[0], std::uint8_t(255)); // blue
    }

    void aPictureLargerThanMemoryIsRefused() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/editor-XXXXXX"));
        Picture small(2, 2);
        QByteArray bmp = testing::bmpBytes(small);
        // Claim 1,000,000 x 1,000,000 pixels: three terabytes.
        for (int offset : {18, 22}) {
            const std::uint32_t side = 1000000;
            for (int i = 0; i < 4; ++i)
                bmp[offset + i] = char((side >> (8 * i)) & 0xFF);
        }
        QVERIFY(testing::writeFile(dir.path() + "/huge.bmp", bmp));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, LoadEditorPicture(dir.path() + "/huge.bmp"));
    }
};

KELVASTO_REGISTER_TEST(TestPictureEditor)
#include "test_picture_editor.moc"
