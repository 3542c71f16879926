#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"

#include <QSet>
#include <QTest>

class TestOwnTexts : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetLanguageOffset(0); }

    // A key typed twice would shadow its second text; an empty text would
    // show a blank control in one language only.
    void everyKeyOnceWithBothTexts() {
        QSet<QString> seen;
        for (const QString& key : OwnTextKeys()) {
            QVERIFY2(!seen.contains(key), qPrintable(key));
            seen.insert(key);
            const QByteArray raw = key.toUtf8();
            QVERIFY2(!OwnTextIn(raw.constData(), false).isEmpty(), qPrintable(key));
            QVERIFY2(!OwnTextIn(raw.constData(), true).isEmpty(), qPrintable(key));
        }
    }

    void followsTheLanguage() {
        SetLanguageOffset(0);
        QCOMPARE(OwnText("general.language"), QString("Sprache"));
        SetLanguageOffset(10000);
        QCOMPARE(OwnText("general.language"), QString("Language"));
    }

    void missingKeyShowsItself() { QCOMPARE(OwnText("no.such.key"), QString("no.such.key")); }
};

KELVASTO_REGISTER_TEST(TestOwnTexts)
#include "test_own_texts.moc"
