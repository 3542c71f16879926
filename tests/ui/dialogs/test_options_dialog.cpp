// The options dialog on a real main window: each showing refilled from the
// settings, OK applied to the window at once and written to the store, abort
// keeping only the "..." choices.

#include "common/dialog_answerer.h"
#include "common/jpeg_builder.h"
#include "common/main_window_fixture.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "i18n/own_texts.h"
#include "imaging/contrast.h"
#include "imaging/thumbnail_cache.h"
#include "preview/thumb_form.h"
#include "settings/app_settings.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/file_list/list_thumbnails.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/file_list/textures.h"
#include "ui/main_window/browser_controller.h"
#include "ui/main_window/preview_controller.h"
#include "ui/main_window/window_commands.h"
#include "ui/widgets/elided_path_field.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {

const QStringList kTwelve = {"Arbeitsverzeichnis", "Startverzeichnis",    "Protokolldatei",
                             "ThumbLinks",         "ThumbHintGroesse",    "ThumbTransparenz",
                             "VerstecktAnzeigen",  "BildschirmSpeichern", "SLVBackground01",
                             "SLVTextur01",        "SLVTexturPfad01",     "SLVFontColor01"};

struct Options {
    std::unique_ptr<THauptForm> window;
    std::unique_ptr<TFormOptionen> dialog;

    explicit Options(std::function<void(AppSettings&)> customise = {}) {
        testing::resetHive();
        window = MakeWindow(std::move(customise));
        dialog = std::make_unique<TFormOptionen>(*window);
        window->controller<WindowCommandsController>().setOptionsDialog(dialog.get());
    }
    template <class T> T* find(const char* name) const {
        T* found = dialog->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void show() { dialog->show(); }
    void ok() { find<QPushButton>("OptBitBtn01")->click(); }
    void abort() { find<QPushButton>("OptBitBtn02")->click(); }
    void chooseTexture(int texture) {
        const QByteArray name = "HL_RadioButton0" + QByteArray::number(texture + 1);
        find<QRadioButton>(name.constData())->setChecked(true);
    }
    AppSettings& settings() { return window->settings(); }
};

// The list's picture as the user sees it: the same pixels.
bool SamePicture(const QImage& a, const QImage& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestOptionsDialog : public QObject {
    Q_OBJECT
private slots:
    void okWithTheStartValuesWritesAllTwelveAndChangesNothing() {
        Options o;
        const QImage texture = o.window->controller<BrowserController>().texturePicture();
        const QColor text = o.window->fileList()->textColour();
        const bool hidden = o.window->fileList()->showsHidden();
        o.show();
        o.ok();
        QVERIFY(!o.dialog->isVisible());
        const QJsonObject key = testing::storedSettingsKey();
        for (const QString& name : kTwelve)
            QVERIFY2(key.contains(name), qPrintable(name));
        QCOMPARE(key.size(), kTwelve.size());
        QVERIFY(SamePicture(o.window->controller<BrowserController>().texturePicture(), texture));
        QCOMPARE(o.window->fileList()->textColour(), text);
        QCOMPARE(o.window->fileList()->showsHidden(), hidden);
        // What the next start reads is what this run started with.
        const AppSettings back = LoadSettings();
        const AppSettings start = FirstStartSettings();
        QCOMPARE(back.Arbeitsverzeichnis, start.Arbeitsverzeichnis);
        QCOMPARE(back.Protokolldatei, start.Protokolldatei);
        QCOMPARE(back.ThumbHintGroesse, 100);
        QCOMPARE(int(back.SLVTextur01), 1);
        QVERIFY(back.SLVBackground01);
    }

    void showingRefillsFromTheSettings_data() {
        QTest::addColumn<int>("storedSize");
        QTest::addColumn<int>("shownSize");
        QTest::addColumn<int>("texture");
        QTest::addColumn<QString>("checkedButton"); // empty: none
        QTest::newRow("start values") << 100 << 100 << 1 << "HL_RadioButton02";
        QTest::newRow("size below the range") << 20 << 50 << 0 << "HL_RadioButton01";
        // The own texture is missing at start: switched off for the run.
        QTest::newRow("size above the range, own texture gone")
            << 9000 << 500 << 6 << "HL_RadioButton01";
        QTest::newRow("texture beyond 6 selects none") << 55 << 55 << 200 << "";
    }
    void showingRefillsFromTheSettings() {
        QFETCH(int, storedSize);
        QFETCH(int, shownSize);
        QFETCH(int, texture);
        QFETCH(QString, checkedButton);
        Options o([&](AppSettings& s) {
            s.ThumbHintGroesse = storedSize;
            s.SLVTextur01 = std::uint8_t(texture);
            s.SLVTexturPfad01 = QStringLiteral("/nirgends/stoff.jpg");
            s.ThumbTransparenz = 77;
            s.VerstecktAnzeigen = true;
        });
        // Edits of an aborted showing do not survive the next showing.
        o.show();
        o.find<QLineEdit>("EditNameProtokolldatei")->setText("anders.txt");
        o.find<QSlider>("OptionenTrackBar01")->setValue(3);
        o.chooseTexture(3);
        o.abort();
        o.show();
        QCOMPARE(o.find<QSpinBox>("ThumbHintUpDown")->value(), shownSize);
        QCOMPARE(o.find<QLineEdit>("ThumbHintGroesse")->text(), QString::number(shownSize));
        QCOMPARE(o.find<QLineEdit>("EditNameProtokolldatei")->text(), "Protokoll.txt");
        QCOMPARE(o.find<QSlider>("OptionenTrackBar01")->value(), 77);
        QVERIFY(o.find<QCheckBox>("CBVersteckt")->isChecked());
        QCOMPARE(o.find<QLineEdit>("HL_Edit01")->text(), "/nirgends/stoff.jpg");
        for (int b = 1; b <= 7; ++b) {
            const QByteArray name = "HL_RadioButton0" + QByteArray::number(b);
            QCOMPARE(o.find<QRadioButton>(name.constData())->isChecked(),
                     checkedButton == QLatin1String(name));
        }
        o.abort();
        QVERIFY(testing::storedSettingsKey().isEmpty());
    }

    void textsInTheLanguage_data() {
        QTest::addColumn<int>("offset");
        QTest::newRow("deutsch") << 0;
        QTest::newRow("english") << 10000;
    }
    void textsInTheLanguage() {
        QFETCH(int, offset);
        Options o;
        SwitchLanguage(*o.window, offset);
        o.show();
        QCOMPARE(o.dialog->windowTitle(), CatalogueText(1133));
        QCOMPARE(WithoutMnemonic(o.find<QTabWidget>("OptPageControl01")->tabText(0)),
                 CatalogueText(1134));
        QCOMPARE(WithoutMnemonic(o.find<QTabWidget>("OptPageControl01")->tabText(1)),
                 CatalogueText(1135));
        QCOMPARE(WithoutMnemonic(o.find<QCheckBox>("CBVersteckt")->text()), CatalogueText(1109));
        auto* pictures = o.find<QCheckBox>("CheckBoxListeVorschaubilder");
        QCOMPARE(WithoutMnemonic(pictures->text()),
                 offset ? QStringLiteral("Show pictures in the file list "
                                         "(large and small icons)")
                        : QStringLiteral("Bilder in der Dateiliste zeigen "
                                         "(große und kleine Symbole)"));
        QCOMPARE(pictures->toolTip(), OwnText("listThumbnails.option.hint"));
        QVERIFY(!pictures->toolTip().isEmpty());
        QCOMPARE(WithoutMnemonic(o.find<QRadioButton>("HL_RadioButton07")->text()),
                 CatalogueText(1127));
        QCOMPARE(o.find<QPushButton>("OptBitBtn02")->text(), CatalogueText(1131));
        QCOMPARE(o.find<QComboBox>("HL_ColorBox01")->itemText(15),
                 offset ? QStringLiteral("White") : QStringLiteral("Weiß"));
        o.abort();
        SwitchLanguage(*o.window, 0);
    }

    void backgroundChoice_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("ownFile"); // "jpg": a picture; "gone": a vanished one
        QTest::addColumn<int>("textureStored");
        QTest::addColumn<bool>("backgroundStored");
        QTest::addColumn<QColor>("textColour");
        QTest::addColumn<bool>("written");
        QTest::newRow("no background") << 0 << "" << 0 << false << QColor(Qt::black) << true;
        // Over a built-in tile the names take black or white by the tile,
        // not the colour offered for own pictures.
        QTest::newRow("texture 3") << 3 << "" << 3 << true << QColor() << true;
        QTest::newRow("texture 5") << 5 << "" << 5 << true << QColor() << true;
        QTest::newRow("own picture in red") << 6 << "jpg" << 6 << true << QColor(Qt::red) << true;
        QTest::newRow("own texture without a file") << 6 << "" << 0 << false << QColor() << false;
        QTest::newRow("own texture that no longer exists")
            << 6 << "gone" << 6 << false << QColor(Qt::red) << false;
    }
    void backgroundChoice() {
        QFETCH(int, button);
        QFETCH(QString, ownFile);
        QFETCH(int, textureStored);
        QFETCH(bool, backgroundStored);
        QFETCH(QColor, textColour);
        QFETCH(bool, written);
        const QString picture = testing::homeFolder() + "/stoff.jpg";
        QVERIFY(testing::writeFile(picture, JpegBuilder::picture(40, 30, 0, 200, 0)));
        Options o([&](AppSettings& s) {
            s.SLVTexturPfad01 = ownFile == "jpg"    ? picture
                                : ownFile == "gone" ? testing::homeFolder() + "/weg.jpg"
                                                    : QString();
        });
        o.show();
        o.chooseTexture(button);
        auto* colours = o.find<QComboBox>("HL_ColorBox01");
        colours->setCurrentIndex(colours->findText(OwnTextIn("options.colour.red", false)));
        o.find<QCheckBox>("CBVersteckt")->setChecked(true);
        o.ok();
        QVERIFY(!o.dialog->isVisible());
        const AppSettings& s = o.settings();
        QCOMPARE(int(s.SLVTextur01), textureStored);
        QCOMPARE(o.window->fileList()->showsHidden(), written);
        const QJsonObject key = testing::storedSettingsKey();
        QCOMPARE(key.size(), written ? 12 : 0);
        if (written) {
            QCOMPARE(key.value("SLVTextur01").toInt(), textureStored);
            QCOMPARE(key.value("SLVBackground01").toInt(), backgroundStored ? 1 : 0);
        }
        const QImage shown = o.window->fileList()->texture();
        if (button >= 1 && button <= 5) {
            QVERIFY(SamePicture(shown, BuiltInTexture(button)));
            const QColor text = o.window->fileList()->textColour();
            QVERIFY(text != QColor(Qt::red));
            QVERIFY(ContrastRatio(text, MeanColour(shown)) >= kReadableContrast);
        } else if (ownFile == "jpg" && button == 6)
            QCOMPARE(shown.size(), QSize(40, 30));
        else
            QVERIFY(shown.isNull());
        if (textColour.isValid())
            QCOMPARE(o.window->fileList()->textColour(), textColour);
        if (button == 6 && ownFile == "jpg")
            QCOMPARE(key.value("SLVFontColor01").toInt(), 0x0000FF);
    }

    void builtInTextureKeepsTheStoredColourAndItsTextAtTheNextStart() {
        QColor shownAfterOk;
        {
            Options o([](AppSettings& s) { s.SLVFontColor01 = 0x0000FF; });
            o.show();
            o.chooseTexture(5);
            o.ok();
            shownAfterOk = o.window->fileList()->textColour();
        }
        auto restarted = std::make_unique<THauptForm>();
        QVERIFY(SamePicture(restarted->fileList()->texture(), BuiltInTexture(5)));
        QCOMPARE(restarted->fileList()->textColour(), shownAfterOk);
        // The colour chosen for own pictures is not lost by trying a tile.
        QCOMPARE(testing::storedSettingsKey().value("SLVFontColor01").toInt(), 0x0000FF);
    }

    void chosenWorkingFolderThenAbort() {
        Options o;
        const QString chosen = testing::homeFolder() + "/Ablage";
        QDir().mkpath(chosen);
        o.show();
        DialogAnswerer answers;
        answers.queueFolder(chosen);
        o.find<QAbstractButton>("SpeedButton01")->click();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).title, CatalogueText(1100));
        QCOMPARE(o.find<QLineEdit>("EditArbeitsverzeichnis")->text(), chosen + "/");
        o.abort();
        // The next scan's move log goes into the new folder; the store keeps
        // the old one.
        QCOMPARE(ProtocolFilePath(o.settings()), chosen + "/Protokoll.txt");
        QVERIFY(!testing::storedSettingsKey().contains("Arbeitsverzeichnis"));
        o.show();
        QCOMPARE(o.find<QLineEdit>("EditArbeitsverzeichnis")->text(), chosen + "/");
        o.abort();
    }

    void startFolderAnsweredNoFallsBackToHome() {
        Options o;
        o.show();
        DialogAnswerer answers;
        answers.queue("NoButton");
        o.find<QAbstractButton>("SpeedButton02")->click();
        QCOMPARE(o.settings().Startverzeichnis, testing::homeFolder() + "/");
        o.abort();
    }

    void hiddenFilesAreListedAtOnce() {
        Folder folder({".versteckt.jpg", "bild.jpg", ".ordner/"});
        Options o;
        QVERIFY(ShowFolder(*o.window, folder.path()));
        QVERIFY(WaitForItems(*o.window, {"bild.jpg"}));
        o.show();
        o.find<QCheckBox>("CBVersteckt")->setChecked(true);
        o.ok();
        QVERIFY(WaitForItems(*o.window, {".ordner", ".versteckt.jpg", "bild.jpg"}));
    }

    void listPicturesFollowTheBoxAtOnce_data() {
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("stored"); // -1: the value is not in the store
        QTest::newRow("ticked, OK") << false << true << true << 1;
        QTest::newRow("unticked, OK: stored off") << true << false << true << 0;
        QTest::newRow("left off, OK: the store keeps the twelve") << false << false << true << -1;
        QTest::newRow("ticked, abort") << false << true << false << -1;
        QTest::newRow("unticked, abort") << true << false << false << 1;
    }
    void listPicturesFollowTheBoxAtOnce() {
        QFETCH(bool, before);
        QFETCH(bool, tick);
        QFETCH(bool, ok);
        QFETCH(int, stored);
        QDir(ThumbnailCacheRoot()).removeRecursively();
        Folder folder({});
        QImage red(300, 200, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(folder.file("rot.jpg"), "JPEG", 95));
        Options o([&](AppSettings& s) { s.ListeVorschaubilder = before; });
        if (before)
            QVERIFY(SaveOptions(o.settings())); // on from an earlier run
        o.window->resize(900, 700);
        o.window->show();
        QVERIFY(ShowFolder(*o.window, folder.path()));
        ShellFileList* list = o.window->fileList();
        list->setViewStyle(ViewStyle::LargeIcon);
        o.show();
        auto* box = o.find<QCheckBox>("CheckBoxListeVorschaubilder");
        QCOMPARE(box->isChecked(), before);
        box->setChecked(tick);
        ok ? o.ok() : o.abort();

        const bool on = ok ? tick : before;
        QCOMPARE(o.settings().ListeVorschaubilder, on);
        const QJsonObject key = testing::storedSettingsKey();
        QCOMPARE(key.value("ListeVorschaubilder").toInt(-1), stored);
        QCOMPARE(LoadSettings().ListeVorschaubilder, on);
        QListView* view = list->iconView();
        QCOMPARE(view->iconSize().width(), on ? 96 : 32);
        QCOMPARE(list->thumbnails()->isEnabled(), on);
        const QString path = QDir(folder.path()).filePath("rot.jpg");
        if (on) {
            QTRY_VERIFY_WITH_TIMEOUT(list->thumbnails()->isReady(path), 10000);
            QTRY_VERIFY(RedPixelsOfItem(view) > 96 * 96 / 3);
        } else {
            QTest::qWait(100);
            QCOMPARE(RedPixelsOfItem(view), 0);
        }
        // The box is refilled from the settings at the next showing.
        o.show();
        QCOMPARE(box->isChecked(), on);
        o.abort();
    }

    void popUpSettingsReachThePreviewAtOnce_data() {
        QTest::addColumn<int>("opacity");
        QTest::addColumn<int>("storedSize");
        QTest::addColumn<int>("expectedSize");
        QTest::newRow("fully transparent") << 0 << 100 << 100;
        QTest::newRow("size 20 is shown and stored as 50") << 255 << 20 << 50;
    }
    void popUpSettingsReachThePreviewAtOnce() {
        QFETCH(int, opacity);
        QFETCH(int, storedSize);
        QFETCH(int, expectedSize);
        Options o([&](AppSettings& s) { s.ThumbHintGroesse = storedSize; });
        QSignalSpy told(&o.window->controller<PreviewController>(),
                        &PreviewController::previewSettingsChanged);
        o.show();
        o.find<QSlider>("OptionenTrackBar01")->setValue(opacity);
        o.find<QCheckBox>("PopUpThumbLinks")->setChecked(false);
        o.ok();
        QCOMPARE(told.count(), 1);
        QCOMPARE(int(o.settings().ThumbTransparenz), opacity);
        QCOMPARE(o.window->controller<PreviewController>().thumbForm()->windowOpacity(),
                 opacity / 255.0);
        QCOMPARE(o.settings().ThumbHintGroesse, expectedSize);
        QVERIFY(!o.settings().ThumbLinks);
        const QJsonObject key = testing::storedSettingsKey();
        QCOMPARE(key.value("ThumbTransparenz").toInt(-1), opacity);
        QCOMPARE(key.value("ThumbHintGroesse").toInt(), expectedSize);
        QCOMPARE(key.value("ThumbLinks").toInt(-1), 0);
    }

    void typedPopUpSizeKeepsToItsSteps_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("a step") << "235" << 235;
        QTest::newRow("between steps") << "123" << 125;
        QTest::newRow("below the range") << "20" << 50;
        QTest::newRow("above the range: the last digit is refused") << "999" << 100;
    }
    void typedPopUpSizeKeepsToItsSteps() {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        Options o;
        o.show();
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog.get()));
        auto* field = o.find<QLineEdit>("ThumbHintGroesse");
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, typed);
        // Return confirms the dialog, as its default button.
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!o.dialog->isVisible());
        QCOMPARE(o.settings().ThumbHintGroesse, stored);
        QCOMPARE(testing::storedSettingsKey().value("ThumbHintGroesse").toInt(), stored);
    }

    void eachPreviewStandsBesideItsOwnButton_data() {
        QTest::addColumn<int>("texture");
        for (int texture = 1; texture <= 5; ++texture)
            QTest::addRow("texture %d", texture) << texture;
    }
    void eachPreviewStandsBesideItsOwnButton() {
        QFETCH(int, texture);
        Options o;
        o.show();
        o.find<QTabWidget>("OptPageControl01")->setCurrentIndex(1);
        const QByteArray image = "HL_Image0" + QByteArray::number(texture);
        const QByteArray button = "HL_RadioButton0" + QByteArray::number(texture + 1);
        auto* preview = o.find<QLabel>(image.constData());
        auto* radio = o.find<QRadioButton>(button.constData());
        const QRect picture(preview->mapTo(o.dialog.get(), QPoint()), preview->size());
        const QRect choice(radio->mapTo(o.dialog.get(), QPoint()), radio->size());
        // On the button's line, to its right, not above or below it.
        QVERIFY(picture.top() <= choice.center().y() && choice.center().y() <= picture.bottom());
        QVERIFY(picture.left() >= choice.right());
        // The whole caption shows beside it.
        QVERIFY(radio->width() >= radio->sizeHint().width());
        // A click on the picture chooses it too.
        QTest::mouseClick(preview, Qt::LeftButton);
        QVERIFY(radio->isChecked());
        // The own texture's colour list has a label of its own.
        auto* colourLabel = o.find<QLabel>("HL_LabelFarbe");
        QCOMPARE(colourLabel->buddy(), o.find<QComboBox>("HL_ColorBox01"));
        QVERIFY(!colourLabel->text().isEmpty());
    }

    void longPathsShowTheirEnd_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("working folder") << "EditArbeitsverzeichnis";
        QTest::newRow("start folder") << "EditStartverzeichnis";
        QTest::newRow("own texture") << "HL_Edit01";
    }
    void longPathsShowTheirEnd() {
        QFETCH(QString, field);
        const QString deep = QStringLiteral("/home/anna/Bilder/Archiv der Familie/"
                                            "Urlaube von 1998 bis 2005/Sardinien/Letzter Tag/");
        Options o([&](AppSettings& s) {
            s.Arbeitsverzeichnis = deep;
            s.Startverzeichnis = deep;
            s.SLVTexturPfad01 = deep + QStringLiteral("Sand.jpg");
        });
        o.show();
        auto* path = o.dialog->findChild<ElidedPathField*>(field);
        QVERIFY(path);
        const QString whole = path->text();
        QVERIFY(whole.startsWith(deep));
        const QString shown = path->shownText();
        QVERIFY2(shown.startsWith(QChar(0x2026)), qPrintable(shown));
        QVERIFY2(shown.endsWith(whole.right(8)), qPrintable(shown));
        QCOMPARE(path->toolTip(), whole);
        // OK stores the whole path, not what the field shows.
        o.ok();
        QCOMPARE(testing::storedSettingsKey().value("Arbeitsverzeichnis").toString(), deep);
    }

    void ownTexturePicture_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("taken");
        QTest::newRow("picture chosen") << "OpenPictureOK" << true;
        QTest::newRow("cancelled") << "OpenPictureCancel" << false;
    }
    void ownTexturePicture() {
        QFETCH(QString, answer);
        QFETCH(bool, taken);
        const QString picture = testing::homeFolder() + "/Muster Stoff.jpg";
        QVERIFY(testing::writeFile(picture, JpegBuilder::picture(8, 8, 10, 20, 30)));
        Options o;
        o.show();
        SwitchLanguage(*o.window, 10000);
        QString title, accept;
        DialogAnswerer answers;
        answers.queue(answer, [&](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            title = files->windowTitle();
            accept = files->labelText(QFileDialog::Accept);
            DialogAnswerer::chooseFile(*files, picture);
        });
        o.find<QAbstractButton>("HL_SpeedButton01")->click();
        SwitchLanguage(*o.window, 0);
        QCOMPARE(title, QStringLiteral("Load ..."));
        QCOMPARE(accept, QStringLiteral("OK"));
        QCOMPARE(o.settings().SLVTexturPfad01, taken ? picture : QString());
        QCOMPARE(o.find<QLineEdit>("HL_Edit01")->text(), taken ? picture : QString());
        o.abort();
    }

    void opensFromMenuAndToolbar_data() {
        QTest::addColumn<QString>("entry");
        QTest::newRow("menu") << "HMenuDateiOPT";
        QTest::newRow("toolbar") << "TB01Optionen";
    }
    void opensFromMenuAndToolbar() {
        QFETCH(QString, entry);
        Options o;
        DialogAnswerer answers;
        answers.queue("OptBitBtn01");
        Find<QAction>(*o.window, entry)->trigger();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).className, QStringLiteral("TFormOptionen"));
        QCOMPARE(testing::storedSettingsKey().size(), 12);
    }
};

KELVASTO_REGISTER_TEST(TestOptionsDialog)
#include "test_options_dialog.moc"
