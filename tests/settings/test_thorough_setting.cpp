#include "common/test_env.h"
#include "common/test_registry.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

const SettingsDefaults kDefaults{QStringLiteral("/opt/kelvasto/"), QStringLiteral("/home/u/")};
const QString kName = QStringLiteral("DefektGruendlich");

void store(const QJsonValue& value) {
    QJsonObject hive;
    QJsonObject key;
    key.insert(kName, value);
    hive.insert(kSettingsKeyPath, key);
    QVERIFY(testing::writeFile(HiveFilePath(), QJsonDocument(hive).toJson()));
}

} // namespace

// The thorough defect check's switch: off unless stored on, and a store that
// never had it keeps its shape.
class TestThoroughSetting : public QObject {
    Q_OBJECT
private slots:
    void init() { testing::resetHive(); }

    void roundTrip_data() {
        QTest::addColumn<QJsonValue>("stored"); // undefined: no such value
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("switchTo");
        QTest::addColumn<QJsonValue>("written");
        QTest::newRow("never stored, stays off") << QJsonValue(QJsonValue::Undefined) << false
                                                 << false << QJsonValue(QJsonValue::Undefined);
        QTest::newRow("never stored, turned on")
            << QJsonValue(QJsonValue::Undefined) << false << true << QJsonValue(1);
        QTest::newRow("stored on, turned off") << QJsonValue(1) << true << false << QJsonValue(0);
        QTest::newRow("stored off, stays off") << QJsonValue(0) << false << false << QJsonValue(0);
        QTest::newRow("not a number is off") << QJsonValue(QStringLiteral("ja")) << false << false
                                             << QJsonValue(QStringLiteral("ja"));
    }
    void roundTrip() {
        QFETCH(QJsonValue, stored);
        QFETCH(bool, loaded);
        QFETCH(bool, switchTo);
        QFETCH(QJsonValue, written);
        if (!stored.isUndefined())
            store(stored);
        AppSettings s = LoadSettings(kDefaults);
        QCOMPARE(s.DefektGruendlich, loaded);
        s.DefektGruendlich = switchTo;
        SaveScreenSettings(s);
        QCOMPARE(testing::storedSettingsKey().value(kName), written);
    }
};

KELVASTO_REGISTER_TEST(TestThoroughSetting)
#include "test_thorough_setting.moc"
