// Start and close of the main window: title, size limit, start states, the
// screen settings written at close, and the texture chosen at start.

#include "common/main_window_fixture.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "settings/hive_store.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/file_list/textures.h"
#include "ui/main_window/browser_controller.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

class TestMainWindowStart : public QObject {
    Q_OBJECT
private slots:
    void init() { testing::resetToFirstStart(); }

    void titleIsBuiltOnceInTheStartLanguage() {
        auto window = MakeWindow([](AppSettings& s) { s.Sprache = 10000; });
        QCOMPARE(window->windowTitle(), QStringLiteral("Kelvasto V1.25") +
                                            QString(6, QLatin1Char(' ')) + "Release: 04.05.2005");
        QCOMPARE(int(LanguageIndex()), 1);
        SetLanguageOffset(0);
        window->ApplyLanguage();
        QCOMPARE(window->windowTitle(), QStringLiteral("Kelvasto V1.25") +
                                            QString(6, QLatin1Char(' ')) + "Release: 04.05.2005");
    }

    void unknownLanguageOffsetGivesIndexZeroAndEmptyTexts() {
        auto window = MakeWindow([](AppSettings& s) { s.Sprache = 12345; });
        QCOMPARE(int(LanguageIndex()), 0);
        QCOMPARE(Find<QAbstractButton>(*window, "BitBtn_DDS01")->text(), QString());
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("Kelvasto V1.25") + QString(6, QLatin1Char(' ')) + "04.05.2005");
    }

    void draggingBelowTheMinimumSizeIsRefused() {
        auto window = MakeWindow();
        window->show();
        window->resize(640, 480);
        QCOMPARE(window->size(), QSize(800, 565));
        window->resize(900, 500);
        QCOMPARE(window->height(), 565);
    }

    void startStateFollowsTheTables() {
        auto window = MakeWindow();
        QCOMPARE(Find<QTabWidget>(*window, "PageControl01")->currentIndex(), 0);
        QCOMPARE(Find<QTabWidget>(*window, "HauptPageControl01")->currentIndex(), 0);
        QCOMPARE(Find<QStackedWidget>(*window, "NBStatus01")->currentIndex(), 1);
        QCOMPARE(Find<QStackedWidget>(*window, "HauptNotebook01")->currentIndex(), 0);
        QVERIFY(Find<QAction>(*window, "TB01List")->isChecked());
        QCOMPARE(window->fileList()->viewStyle(), ViewStyle::List);
        QVERIFY(!Find<QAction>(*window, "HMenuDateiRueckgaengig")->isEnabled());
        QVERIFY(!Find<QAction>(*window, "TB01Rueckgaengig")->isEnabled());
        for (const char* name : {"HMenu_DDS", "PM01_DDS"}) {
            QVERIFY(Find<QAction>(*window, name)->isVisible());
            QVERIFY(Find<QAction>(*window, name)->isEnabled());
        }
        for (const char* name : {"HMenu_DDL", "HMenu_DV", "PM01_DDL", "PM01_DV"}) {
            QVERIFY(Find<QAction>(*window, name)->isVisible());
            QVERIFY(!Find<QAction>(*window, name)->isEnabled());
        }
        for (const char* name :
             {"HMenu_IndexBilder", "HMenu_Thumbnails", "HMenu_BMP_JPG", "PM01_SW", "PM01_BMP_JPG"})
            QVERIFY(!Find<QAction>(*window, name)->isVisible());
        QCOMPARE(window->controller<BrowserController>().listMasks(),
                 (QStringList{"*.jpg", "*.jpeg"}));
        QCOMPARE(window->controller<BrowserController>().treeFolder(),
                 QDir::cleanPath(QDir::homePath()));
        QCOMPARE(window->selectedFolder(), QDir::cleanPath(QDir::homePath()) + "/");
    }

    void closeWithoutScreenSettingsWritesNothing() {
        auto window = MakeWindow([](AppSettings& s) {
            s.ExplorerSTVLinks = 333;
            s.UnterverzeichnisSonst = QStringLiteral("Andere");
        });
        QVERIFY(!QFile::exists(HiveFilePath()));
        window->show();
        window->close();
        QVERIFY(!QFile::exists(HiveFilePath()));
        // The built-in values stay when the screen settings are off.
        QCOMPARE(Find<QLineEdit>(*window, "FktUnterverzeichnis")->text(), QStringLiteral("Index"));
    }

    void closeWithScreenSettingsWritesTheFourValues() {
        auto window = MakeWindow([](AppSettings& s) {
            s.BildschirmSpeichern = true;
            s.ExplorerSTVLinks = 310;
            s.UnterverzeichnisSonst = QStringLiteral("Andere");
        });
        window->show();
        QCOMPARE(Find<QLineEdit>(*window, "FktUnterverzeichnis")->text(), QStringLiteral("Andere"));
        QCOMPARE(Find<QSplitter>(*window, "Splitter01")->sizes().first(), 310);
        // Switch to thumbnails, edit there, switch back: the edit is kept.
        Find<QAbstractButton>(*window, "IdxSpeedButton02")->click();
        Find<QLineEdit>(*window, "IdxUnterverzeichnis")->setText(QStringLiteral("Kleinbilder"));
        Find<QAbstractButton>(*window, "IdxSpeedButton01")->click();
        QCOMPARE(Find<QLineEdit>(*window, "IdxUnterverzeichnis")->text(), QStringLiteral("Index"));
        window->close();
        const QJsonObject key = testing::storedSettingsKey();
        QCOMPARE(key.value("ExplorerSTVLinks").toInt(), 310);
        QCOMPARE(key.value("UnterverzeichnisIdx").toString(), QStringLiteral("Index"));
        QCOMPARE(key.value("UnterverzeichnisThumb").toString(), QStringLiteral("Kleinbilder"));
        QCOMPARE(key.value("UnterverzeichnisSonst").toString(), QStringLiteral("Andere"));
        QCOMPARE(key.size(), 4);
    }

    void builtInTexturesHaveTheirSizes_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<QSize>("size");
        QTest::newRow("light grey") << 1 << QSize(128, 128);
        QTest::newRow("yellow blossom") << 2 << QSize(100, 100);
        QTest::newRow("red ornament") << 3 << QSize(144, 144);
        QTest::newRow("light blue") << 4 << QSize(100, 100);
        QTest::newRow("blue") << 5 << QSize(130, 129);
        QTest::newRow("none") << 0 << QSize();
        QTest::newRow("own file number") << 6 << QSize();
    }
    void builtInTexturesHaveTheirSizes() {
        QFETCH(int, n);
        QFETCH(QSize, size);
        const QImage tile = BuiltInTexture(n);
        QCOMPARE(tile.size(), size.isValid() ? size : QSize(0, 0));
        QCOMPARE(BuiltInTexture(n), tile); // the same pixels every time
    }

    void ownTextureFileRules_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<int>("textur");
        QTest::newRow("jpeg in capitals") << "own.JPG" << true << true << 6;
        QTest::newRow("bitmap") << "own.bmp" << true << true << 6;
        QTest::newRow("other extension") << "own.png" << true << false << 6;
        QTest::newRow("missing file") << "gone.jpg" << false << false << 0;
    }
    void ownTextureFileRules() {
        QFETCH(QString, file);
        QFETCH(bool, create);
        QFETCH(bool, picture);
        QFETCH(int, textur);
        const QString path = testing::sandboxRoot() + "/tmp/" + file;
        QFile::remove(path);
        if (create) {
            QImage image(7, 5, QImage::Format_RGB888);
            image.fill(Qt::green);
            const QByteArray format = file.endsWith("bmp")   ? "BMP"
                                      : file.endsWith("png") ? "PNG"
                                                             : "JPEG";
            QVERIFY(image.save(path, format.constData()));
        }
        auto window = MakeWindow([&](AppSettings& s) {
            s.SLVTextur01 = 6;
            s.SLVTexturPfad01 = path;
            s.SLVFontColor01 = 0x0000ff; // red in the stored colour order
        });
        QCOMPARE(!window->controller<BrowserController>().texturePicture().isNull(), picture);
        QCOMPARE(int(window->settings().SLVTextur01), textur);
        QCOMPARE(window->settings().SLVBackground01, create);
        if (create)
            QCOMPARE(window->fileList()->textColour(), QColor(Qt::red));
    }
};

KELVASTO_REGISTER_TEST(TestMainWindowStart)
#include "test_main_window_start.moc"
