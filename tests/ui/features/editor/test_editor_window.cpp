// The single-picture editor driven through the window: the open and save
// dialogs, every effect and colour button against the picture library, the
// undo, and the percentage field in both languages.

#include "common/main_window_fixture.h"

#include "common/dialog_answerer.h"
#include "common/picture_files_for_tests.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "imaging/adjust_colours.h"
#include "imaging/filter_engine.h"
#include "imaging/optimise.h"
#include "imaging/picture_files.h"
#include "imaging/simple_effects.h"
#include "ui/features/editor/editor_controller.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace mwtest;

namespace {

using LibraryEffect = std::function<void(Picture&)>;

struct EditorFiles {
    QString root = testing::homeFolder() + QStringLiteral("/editor");
    EditorFiles() {
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        testing::writePictureFile(root + "/photo.jpg", testing::photoLike(64, 48, 3));
    }
    QString path(const QString& name) const { return root + "/" + name; }
};

// Answers the next file dialog with `path` (empty: cancel).
void answerFileDialog(DialogAnswerer& answers, const QString& path) {
    if (path.isEmpty()) {
        answers.queue("Abbrechen");
        return;
    }
    answers.queueFile("OK", path);
}

EditorController& editorOf(THauptForm& window) {
    return window.controller<EditorController>();
}

void open(THauptForm& window, DialogAnswerer& answers, const QString& path) {
    answerFileDialog(answers, path);
    Find<QAction>(window, "TB02LoadPic")->trigger();
}

void click(THauptForm& window, const QString& name) {
    Find<QAbstractButton>(window, name)->click();
}

} // namespace

Q_DECLARE_METATYPE(LibraryEffect)

class TestEditorWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void openingShowsBothViewsWithTheDialogsTexts() {
        EditorFiles files;
        auto window = MakeWindow();
        DialogAnswerer answers;
        open(*window, answers, files.path("photo.jpg"));
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).title, CatalogueText(CatalogueId::FileDialogLoad));
        EditorController& editor = editorOf(*window);
        QCOMPARE(editor.CurrentPictureFile(), files.path("photo.jpg"));
        QVERIFY(editor.editor().working() == LoadJpegFile(files.path("photo.jpg")));
        for (const char* view : {"EinzelImage01", "EinzelImage02"})
            QCOMPARE(Find<QLabel>(*window, view)->pixmap().size(), QSize(64, 48));
    }

    void thePageNamesThePictureItShows_data() {
        QTest::addColumn<QString>("second"); // opened after photo.jpg
        QTest::addColumn<QString>("shown");
        QTest::newRow("another picture") << "Hafen am Abend.jpg"
                                         << "Hafen am Abend.jpg";
        // The views keep photo.jpg, and so does the name.
        QTest::newRow("a damaged file") << "kaputt.jpg"
                                        << "photo.jpg";
        QTest::newRow("cancelled") << ""
                                   << "photo.jpg";
    }
    void thePageNamesThePictureItShows() {
        QFETCH(QString, second);
        QFETCH(QString, shown);
        EditorFiles files;
        testing::writePictureFile(files.path("Hafen am Abend.jpg"), testing::photoLike(40, 30));
        testing::writeFile(files.path("kaputt.jpg"), QByteArray("\xFF\xD8\xFF\xE0 kaputt"));
        auto window = MakeWindow();
        auto* name = Find<QLabel>(*window, "LabelBildName");
        QVERIFY(name->text().isEmpty());
        DialogAnswerer answers;
        open(*window, answers, files.path("photo.jpg"));
        QCOMPARE(name->text(), QStringLiteral("photo.jpg"));
        answerFileDialog(answers, second.isEmpty() ? QString() : files.path(second));
        if (second == "kaputt.jpg")
            answers.queue("OK"); // the message that it cannot be opened
        Find<QAction>(*window, "TB02LoadPic")->trigger();
        QCOMPARE(answers.unexpected(), 0);
        QCOMPARE(name->text(), shown);
        QCOMPARE(name->toolTip(), files.path(shown));
    }

    void cancellingTheOpenDialogKeepsTheEditedPicture() {
        EditorFiles files;
        auto window = MakeWindow();
        DialogAnswerer answers;
        open(*window, answers, files.path("photo.jpg"));
        click(*window, "BitBtnInvertieren");
        const Picture edited = editorOf(*window).editor().working();
        open(*window, answers, QString());
        QCOMPARE(answers.shown().size(), 2);
        QVERIFY(editorOf(*window).editor().working() == edited);
    }

    void undoBeforeAnyEffectKeepsThePicture() {
        EditorFiles files;
        auto window = MakeWindow();
        DialogAnswerer answers;
        open(*window, answers, files.path("photo.jpg"));
        click(*window, "BitBtnUndo");
        QVERIFY(editorOf(*window).editor().working() == LoadJpegFile(files.path("photo.jpg")));
        QVERIFY(!Find<QLabel>(*window, "EinzelImage02")->pixmap().isNull());
    }

    void eachButtonAppliesTheLibrarysEffect_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<LibraryEffect>("library");
        QTest::newRow("Invertieren") << "BitBtnInvertieren" << LibraryEffect(InvertPicture);
        QTest::newRow("Schwarz-Weiss") << "BitBtnSchwarzWeiss" << LibraryEffect(GreyPicture);
        QTest::newRow("Anti-Alising") << "BitBtnAntiAlising" << LibraryEffect([](Picture& p) {
            AntiAliasPicture(p, {0, 0, p.width(), p.height()}, 100);
        });
        QTest::newRow("Horizontal Spiegeln")
            << "BitBtnSpiegelungHor" << LibraryEffect(MirrorTopBottom);
        QTest::newRow("Vertikal Spiegeln")
            << "BitBtnSpiegelungVer" << LibraryEffect(MirrorLeftRight);
        QTest::newRow("Schaerfen")
            << "BitBtnSchaerfen" << LibraryEffect([](Picture& p) { SharpenPicture(p); });
        QTest::newRow("Optimieren")
            << "BitBtnOptimieren" << LibraryEffect([](Picture& p) { OptimisePicture(p); });
        const char* colours[] = {"BitBtnHelligkeit01", "BitBtnHelligkeit02", "BitBtnKontrast01",
                                 "BitBtnKontrast02",   "BitBtnSaettigung01", "BitBtnSaettigung02",
                                 "BitBtnRotInGruen",   "BitBtnRotInBlau",    "BitBtnGruenInRot",
                                 "BitBtnGruenInBlau",  "BitBtnBlauInRot",    "BitBtnBlauInGruen"};
        for (int i = 0; i < 12; ++i) {
            const auto operation = ColourOperation(i + 1);
            QTest::newRow(colours[i]) << colours[i] << LibraryEffect([operation](Picture& p) {
                ImagingContext context;
                AdjustColours(context, p, operation, ColourSettings{0.125f, Angleichen});
            });
        }
    }
    void eachButtonAppliesTheLibrarysEffect() {
        QFETCH(QString, button);
        QFETCH(LibraryEffect, library);
        EditorFiles files;
        auto window = MakeWindow();
        DialogAnswerer answers;
        open(*window, answers, files.path("photo.jpg"));
        Picture expected = LoadJpegFile(files.path("photo.jpg"));
        click(*window, button);
        library(expected);
        QVERIFY(editorOf(*window).editor().working() == expected);
        QVERIFY(QApplication::overrideCursor() == nullptr); // the busy cursor is gone again
    }

    // A long effect keeps the window painting, and the window does not close
    // under it (it would free the bitmaps the effect works in).
    void aLongEffectKeepsTheWindowAliveButOpen() {
        EditorFiles files;
        testing::writePictureFile(files.path("big.jpg"), testing::photoLike(1500, 1000, 9));
        auto window = MakeWindow();
        window->show();
        DialogAnswerer answers;
        open(*window, answers, files.path("big.jpg"));
        bool sawBusy = false;
        bool closed = true;
        QTimer::singleShot(0, window.get(), [&] {
            sawBusy = editorOf(*window).busy();
            closed = window->close();
        });
        click(*window, "BitBtnOptimieren");
        QVERIFY(sawBusy);
        QVERIFY(!closed);
        QVERIFY(window->isVisible());
        Picture expected = LoadJpegFile(files.path("big.jpg"));
        OptimisePicture(expected);
        QVERIFY(editorOf(*window).editor().working() == expected);
    }

    // Both forms work under both languages; the default follows the language.
    void thePercentageInEveryLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("German, comma") << 0 << "12,5";
        QTest::newRow("German, point") << 0 << "12.5";
        QTest::newRow("English, comma") << 10000 << "12,5";
        QTest::newRow("English, point") << 10000 << "12.5";
    }
    void thePercentageInEveryLanguage() {
        QFETCH(int, language);
        QFETCH(QString, text);
        EditorFiles files;
        auto window = MakeWindow();
        SwitchLanguage(*window, language);
        QCOMPARE(Find<QLineEdit>(*window, "EditFarbeProzent")->text(),
                 language == 0 ? QString("12,5") : QString("12.5"));
        DialogAnswerer answers;
        open(*window, answers, files.path("photo.jpg"));
        Find<QLineEdit>(*window, "EditFarbeProzent")->setText(text);
        click(*window, "BitBtnRotInGruen");
        Picture expected = LoadJpegFile(files.path("photo.jpg"));
        ImagingContext context;
        AdjustColours(context, expected, ColourOperation::RedIntoGreen,
                      ColourSettings{0.125f, Angleichen});
        QVERIFY(editorOf(*window).editor().working() == expected);
        SetLanguageOffset(0);
    }

    void savingAlwaysWritesJpegBesideTheChosenName() {
        EditorFiles files;
        QVERIFY(testing::writeFile(files.path("x.jpg"), "the user's x.jpg"));
        QVERIFY(testing::writeFile(files.path("x.jpeg"), "an older x.jpeg"));
        auto window = MakeWindow();
        DialogAnswerer answers;
        open(*window, answers, files.path("photo.jpg"));
        click(*window, "BitBtnSchwarzWeiss");
        answerFileDialog(answers, files.path("x.jpg"));
        Find<QAction>(*window, "TB02SavePic")->trigger();
        QCOMPARE(answers.shown().at(1).title, CatalogueText(CatalogueId::FileDialogSaveAs));
        QCOMPARE(testing::readFile(files.path("x.jpg")), QByteArray("the user's x.jpg"));
        QVERIFY(LoadJpegFile(files.path("x.jpeg")).width() == 64);
        QCOMPARE(testing::readFile(testing::dataHome() + "/Trash/files/x.jpeg"),
                 QByteArray("an older x.jpeg"));
        QDir(testing::dataHome() + "/Trash").removeRecursively();
    }

    void aPictureThatCannotOpenIsRefusedWithAMessage() {
        EditorFiles files;
        QByteArray huge = testing::bmpBytes(Picture(2, 2));
        for (int offset : {18, 22})
            for (int i = 0; i < 4; ++i)
                huge[offset + i] = char((1000000u >> (8 * i)) & 0xFF);
        QVERIFY(testing::writeFile(files.path("huge.bmp"), huge));
        auto window = MakeWindow();
        DialogAnswerer answers;
        open(*window, answers, files.path("photo.jpg"));
        answerFileDialog(answers, files.path("huge.bmp"));
        answers.queue("OK"); // the message
        Find<QAction>(*window, "TB02LoadPic")->trigger();
        QCOMPARE(answers.shown().size(), 3);
        QVERIFY(answers.shown().at(2).text.contains(files.path("huge.bmp")));
        QVERIFY(editorOf(*window).editor().working() == LoadJpegFile(files.path("photo.jpg")));
    }
};

KELVASTO_REGISTER_TEST(TestEditorWindow)
#include "test_editor_window.moc"
