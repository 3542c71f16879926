#include "common/test_env.h"
#include "common/test_registry.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

const SettingsDefaults kDefaults{QStringLiteral("/opt/kelvasto/"), QStringLiteral("/home/u/")};

void store(const QString& name, const QJsonValue& value) {
    QJsonObject hive = QJsonDocument::fromJson(testing::readFile(HiveFilePath())).object();
    QJsonObject key = hive.value(kSettingsKeyPath).toObject();
    key.insert(name, value);
    hive.insert(kSettingsKeyPath, key);
    QVERIFY(testing::writeFile(HiveFilePath(), QJsonDocument(hive).toJson()));
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init() { testing::resetHive(); }

    void firstStartCreatesKeyWithDefaults() {
        QVERIFY(!QFile::exists(HiveFilePath()));
        const AppSettings s = LoadSettings(kDefaults);
        QVERIFY(QJsonDocument::fromJson(testing::readFile(HiveFilePath()))
                    .object()
                    .contains(kSettingsKeyPath));
        QCOMPARE(s.Arbeitsverzeichnis, QStringLiteral("/opt/kelvasto/"));
        QCOMPARE(s.Startverzeichnis, QStringLiteral("/home/u/"));
        QCOMPARE(s.Protokolldatei, QStringLiteral("Protokoll.txt"));
        QCOMPARE(s.Sprache, 0);
        QCOMPARE(s.Sprachwahl, true);
        QCOMPARE(s.UnterverzeichnisIdx, QStringLiteral("Index"));
        QCOMPARE(s.UnterverzeichnisThumb, QStringLiteral("Thumbnails"));
        QCOMPARE(s.UnterverzeichnisSonst, QStringLiteral("Sonst"));
        QCOMPARE(s.ThumbHintGroesse, 100);
        QCOMPARE(int(s.ThumbTransparenz), 255);
        QCOMPARE(s.ThumbLinks, true);
        QCOMPARE(s.VerstecktAnzeigen, false);
        QCOMPARE(s.BildschirmSpeichern, false);
        QCOMPARE(s.ExplorerSTVLinks, 250);
        QCOMPARE(s.SLVBackground01, true);
        QCOMPARE(int(s.SLVTextur01), 1);
        QCOMPARE(s.SLVTexturPfad01, QString());
        QCOMPARE(s.SLVFontColor01, 0);
    }

    void storedValues_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QJsonValue>("stored");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* tag, const char* name, QJsonValue v, const char* expected) {
            QTest::newRow(tag) << QString::fromLatin1(name) << v << QString::fromUtf8(expected);
        };
        row("working folder gains slash", "Arbeitsverzeichnis", "/data/work", "/data/work/");
        row("working folder keeps slash", "Arbeitsverzeichnis", "/data/work/", "/data/work/");
        row("empty working folder is default", "Arbeitsverzeichnis", "", "/opt/kelvasto/");
        row("integer as working folder is default", "Arbeitsverzeichnis", 7, "/opt/kelvasto/");
        row("start folder gains slash", "Startverzeichnis", "/pics", "/pics/");
        row("empty log name is default", "Protokolldatei", "", "Protokoll.txt");
        row("opacity keeps low byte", "ThumbTransparenz", 300, "44");
        row("texture as string is default", "SLVTextur01", "3", "1");
        row("texture keeps low byte", "SLVTextur01", 262, "6");
        row("fractional integer is default", "ThumbHintGroesse", 1.5, "100");
        row("huge integer is default", "ExplorerSTVLinks", 1e12, "250");
        row("language 10000", "Sprache", 10000, "10000");
        row("language 12345 kept as it is", "Sprache", 12345, "12345");
        row("boolean non-zero is true", "BildschirmSpeichern", 5, "true");
        row("boolean as string is default", "Sprachwahl", "0", "true");
        row("boolean zero", "Sprachwahl", 0, "false");
    }

    void storedValues() {
        QFETCH(QString, name);
        QFETCH(QJsonValue, stored);
        QFETCH(QString, expected);
        store(name, stored);
        const AppSettings s = LoadSettings(kDefaults);
        const QHash<QString, QString> fields = {
            {"Arbeitsverzeichnis", s.Arbeitsverzeichnis},
            {"Startverzeichnis", s.Startverzeichnis},
            {"Protokolldatei", s.Protokolldatei},
            {"ThumbTransparenz", QString::number(s.ThumbTransparenz)},
            {"SLVTextur01", QString::number(s.SLVTextur01)},
            {"ThumbHintGroesse", QString::number(s.ThumbHintGroesse)},
            {"ExplorerSTVLinks", QString::number(s.ExplorerSTVLinks)},
            {"Sprache", QString::number(s.Sprache)},
            {"BildschirmSpeichern", s.BildschirmSpeichern ? "true" : "false"},
            {"Sprachwahl", s.Sprachwahl ? "true" : "false"},
        };
        QCOMPARE(fields.value(name), expected);
    }

    void corruptHiveReadsAsEmpty() {
        QVERIFY(testing::writeFile(HiveFilePath(), "{ this is not json"));
        const AppSettings s = LoadSettings(kDefaults);
        QCOMPARE(s.Protokolldatei, QStringLiteral("Protokoll.txt"));
        QCOMPARE(s.ExplorerSTVLinks, 250);
    }

    void saveScreenSettingsWritesFourValues() {
        AppSettings s = LoadSettings(kDefaults);
        s.ExplorerSTVLinks = 321;
        s.UnterverzeichnisIdx = "Idx2";
        s.UnterverzeichnisThumb = "Th2";
        s.UnterverzeichnisSonst = "So2";
        SaveScreenSettings(s);
        const QJsonObject key = testing::storedSettingsKey();
        QCOMPARE(key.size(), 4);
        QCOMPARE(key.value("ExplorerSTVLinks").toInt(), 321);
        QCOMPARE(key.value("UnterverzeichnisIdx").toString(), QStringLiteral("Idx2"));
        QCOMPARE(key.value("UnterverzeichnisThumb").toString(), QStringLiteral("Th2"));
        QCOMPARE(key.value("UnterverzeichnisSonst").toString(), QStringLiteral("So2"));
    }

    void saveLanguageChoice_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<int>("sprache");
        QTest::addColumn<bool>("sprachwahl");
        QTest::addColumn<bool>("askNextStart");
        QTest::newRow("english, do not ask") << true << 10000 << false << false;
        QTest::newRow("german, ask") << true << 0 << true << true;
        // A choice that did not stick must not silence the chooser for good.
        QTest::newRow("store unwritable") << false << 10000 << false << true;
    }

    void saveLanguageChoice() {
        QFETCH(bool, writable);
        QFETCH(int, sprache);
        QFETCH(bool, sprachwahl);
        QFETCH(bool, askNextStart);
        if (!writable) // a folder where the hive file should be
            QVERIFY(QDir().mkpath(HiveFilePath()));
        AppSettings s;
        s.Sprache = sprache;
        s.Sprachwahl = sprachwahl;
        QCOMPARE(SaveLanguageChoice(s), writable);
        QCOMPARE(s.Sprachwahl, askNextStart);
        if (writable) {
            const QJsonObject key = testing::storedSettingsKey();
            QCOMPARE(key.size(), 2);
            QCOMPARE(key.value("Sprache").toInt(), sprache);
            QCOMPARE(key.value("Sprachwahl").toInt(), int(sprachwahl));
        } else {
            QDir(HiveFilePath()).removeRecursively();
        }
    }

    void hiveTellsMissingFromWrongType() {
        HiveKey key(QStringLiteral("\\Test\\Key"));
        QVERIFY(key.writeString("s", "text"));
        QVERIFY(key.writeBoolean("b", true));
        QCOMPARE(key.readInteger("s").status, HiveReadStatus::WrongType);
        QCOMPARE(key.readString("b").status, HiveReadStatus::WrongType);
        QCOMPARE(key.readString("absent").status, HiveReadStatus::Missing);
        QCOMPARE(key.readInteger("b").value, 1);
        HiveKey again(QStringLiteral("\\Test\\Key"));
        QCOMPARE(again.readString("s").value, QStringLiteral("text"));
    }

    void deleteKeyRemovesOnlyThatKey() {
        {
            HiveKey other(QStringLiteral("\\Other"));
            other.writeInteger("x", 1);
        }
        {
            HiveKey key(kSettingsKeyPath);
            key.writeInteger("Sprache", 10000);
        }
        QVERIFY(DeleteHiveKey(kSettingsKeyPath));
        const QJsonObject hive =
            QJsonDocument::fromJson(testing::readFile(HiveFilePath())).object();
        QVERIFY(!hive.contains(kSettingsKeyPath));
        QCOMPARE(hive.value("\\Other").toObject().value("x").toInt(), 1);
    }

    // Without a stored value the working folder is the per-user data folder,
    // made on first use; a stored one is used as it is, even when missing.
    void workingFolderDefault_data() {
        QTest::addColumn<QJsonValue>("stored"); // null: nothing stored
        QTest::addColumn<QString>("expected");  // DATA: the data folder
        QTest::addColumn<bool>("exists");
        QTest::newRow("nothing stored") << QJsonValue() << "DATA" << true;
        QTest::newRow("empty stored") << QJsonValue("") << "DATA" << true;
        QTest::newRow("wrong type stored") << QJsonValue(3) << "DATA" << true;
        QTest::newRow("stored folder")
            << QJsonValue("/srv/pictures/work") << "/srv/pictures/work/" << false;
    }
    void workingFolderDefault() {
        QFETCH(QJsonValue, stored);
        QFETCH(QString, expected);
        QFETCH(bool, exists);
        const QString data = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Kelvasto/");
        QVERIFY(data.startsWith(testing::sandboxRoot()));
        QDir(data).removeRecursively();
        if (!stored.isNull())
            store("Arbeitsverzeichnis", stored);
        const AppSettings s = LoadSettings();
        expected.replace(QLatin1String("DATA"), data);
        QCOMPARE(s.Arbeitsverzeichnis, expected);
        QCOMPARE(QFileInfo(s.Arbeitsverzeichnis).isDir(), exists);
        QVERIFY(!s.Arbeitsverzeichnis.startsWith(QCoreApplication::applicationDirPath()));
    }

    void writeMergesWithOtherWriters() {
        HiveKey first(kSettingsKeyPath);
        HiveKey second(kSettingsKeyPath);
        first.writeInteger("Sprache", 10000);
        second.writeBoolean("Sprachwahl", false);
        const QJsonObject key = testing::storedSettingsKey();
        QCOMPARE(key.value("Sprache").toInt(), 10000);
        QCOMPARE(key.value("Sprachwahl").toInt(), 0);
    }
};

KELVASTO_REGISTER_TEST(TestSettings)
#include "test_settings.moc"
