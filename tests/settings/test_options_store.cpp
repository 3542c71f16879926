// The twelve values of the options dialog through the settings store, and
// the folder rule applied to a chosen folder.

#include "common/test_env.h"
#include "common/test_registry.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"

#include <QJsonObject>
#include <QTest>

namespace {

const SettingsDefaults kDefaults{QStringLiteral("/opt/kelvasto/"), QStringLiteral("/home/u/")};

} // namespace

class TestOptionsStore : public QObject {
    Q_OBJECT
private slots:
    void init() { testing::resetHive(); }

    void optionsRoundTrip_data() {
        QTest::addColumn<QString>("work");
        QTest::addColumn<QString>("log");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("opacity");
        QTest::addColumn<int>("texture");
        QTest::addColumn<QString>("texturePath");
        QTest::addColumn<int>("colour");
        QTest::addColumn<bool>("flags");
        QTest::newRow("start values") << "/home/u/"
                                      << "Protokoll.txt" << 100 << 255 << 1 << "" << 0 << false;
        QTest::newRow("own texture, white text, fully transparent")
            << "/srv/bilder/"
            << "log.txt" << 500 << 0 << 6 << "/home/u/Stoff Ä.jpg" << 0xFFFFFF << true;
        QTest::newRow("odd names kept as typed")
            << "/tmp/it's $(x)/"
            << "../Protokoll \"2\".txt" << 55 << 128 << 0 << "" << 0x800000 << true;
    }
    void optionsRoundTrip() {
        QFETCH(QString, work);
        QFETCH(QString, log);
        QFETCH(int, size);
        QFETCH(int, opacity);
        QFETCH(int, texture);
        QFETCH(QString, texturePath);
        QFETCH(int, colour);
        QFETCH(bool, flags);
        AppSettings s = LoadSettings(kDefaults);
        s.Arbeitsverzeichnis = work;
        s.Startverzeichnis = QStringLiteral("/media/karte/");
        s.Protokolldatei = log;
        s.ThumbLinks = !flags;
        s.ThumbHintGroesse = size;
        s.ThumbTransparenz = std::uint8_t(opacity);
        s.VerstecktAnzeigen = flags;
        s.BildschirmSpeichern = flags;
        s.SLVBackground01 = texture != 0;
        s.SLVTextur01 = std::uint8_t(texture);
        s.SLVTexturPfad01 = texturePath;
        s.SLVFontColor01 = colour;
        // Values the options do not own must stay as they are in the store.
        s.Sprache = 10000;
        s.ExplorerSTVLinks = 999;
        QVERIFY(SaveOptions(s));

        const QJsonObject key = testing::storedSettingsKey();
        QCOMPARE(key.size(), 12);
        QVERIFY(!key.contains("Sprache"));
        QVERIFY(!key.contains("ExplorerSTVLinks"));
        // Booleans are stored as integers, so they read back as such.
        QCOMPARE(key.value("VerstecktAnzeigen").toInteger(-1), flags ? 1 : 0);
        const AppSettings back = LoadSettings(kDefaults);
        QCOMPARE(back.Arbeitsverzeichnis, work);
        QCOMPARE(back.Startverzeichnis, s.Startverzeichnis);
        QCOMPARE(back.Protokolldatei, log);
        QCOMPARE(back.ThumbLinks, !flags);
        QCOMPARE(back.ThumbHintGroesse, size);
        QCOMPARE(int(back.ThumbTransparenz), opacity);
        QCOMPARE(back.VerstecktAnzeigen, flags);
        QCOMPARE(back.BildschirmSpeichern, flags);
        QCOMPARE(back.SLVBackground01, texture != 0);
        QCOMPARE(int(back.SLVTextur01), texture);
        QCOMPARE(back.SLVTexturPfad01, texturePath);
        QCOMPARE(back.SLVFontColor01, colour);
        QCOMPARE(back.Sprache, 0);
        QCOMPARE(back.ExplorerSTVLinks, 250);
    }

    void folderSetting_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected");
        QTest::newRow("chosen folder gets its slash") << "/srv/bilder"
                                                      << "/srv/bilder/";
        QTest::newRow("slash kept") << "/srv/bilder/"
                                    << "/srv/bilder/";
        QTest::newRow("root") << "/"
                              << "/";
        QTest::newRow("no folder: what the next start reads") << ""
                                                              << "/fallback/";
    }
    void folderSetting() {
        QFETCH(QString, chosen);
        QFETCH(QString, expected);
        const QString folder = FolderSetting(chosen, QStringLiteral("/fallback/"));
        QCOMPARE(folder, expected);
        // The move log lands inside the folder, never beside it.
        AppSettings s;
        s.Arbeitsverzeichnis = folder;
        s.Protokolldatei = QStringLiteral("Protokoll.txt");
        QCOMPARE(ProtocolFilePath(s), expected + "Protokoll.txt");
    }
};

KELVASTO_REGISTER_TEST(TestOptionsStore)
#include "test_options_store.moc"
