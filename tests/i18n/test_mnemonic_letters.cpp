// Accelerator letters of one group of captions: each caption reachable by
// its own letter, none shared, the catalogue's own letters kept.

#include "common/test_registry.h"
#include "i18n/mnemonic_letters.h"

#include <QSet>
#include <QTest>

class TestMnemonicLetters : public QObject {
    Q_OBJECT
private slots:
    void lettersOfAGroup_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first letters")
            << QStringList{"Datei", "Ansicht"} << "" << QStringList{"&Datei", "&Ansicht"};
        QTest::newRow("same first letter takes the next word")
            << QStringList{"Datei", "Defekte Dateien"} << ""
            << QStringList{"&Datei", "D&efekte Dateien"};
        QTest::newRow("catalogue's letter is kept")
            << QStringList{"&Abbrechen", "Alle"} << "" << QStringList{"&Abbrechen", "A&lle"};
        QTest::newRow("catalogue's letter wins over an earlier caption")
            << QStringList{"Alle", "&Abbrechen"} << "" << QStringList{"A&lle", "&Abbrechen"};
        QTest::newRow("catalogue's letter taken outside the group")
            << QStringList{"&Abbrechen"} << "a" << QStringList{"A&bbrechen"};
        QTest::newRow("letter taken outside the group")
            << QStringList{"Optionen"} << "o" << QStringList{"O&ptionen"};
        QTest::newRow("case does not matter")
            << QStringList{"ok", "OK"} << "" << QStringList{"&ok", "O&K"};
        QTest::newRow("umlaut comes after plain letters")
            << QStringList{"Über"} << "" << QStringList{"Ü&ber"};
        QTest::newRow("literal ampersand is no accelerator")
            << QStringList{"A && B"} << "" << QStringList{"&A && B"};
        QTest::newRow("ampersand's letter is not taken twice")
            << QStringList{"&&x", "x"} << "" << QStringList{"&&&x", "x"};
        QTest::newRow("no free letter leaves the caption bare")
            << QStringList{"ab", "ba", "a"} << "" << QStringList{"&ab", "&ba", "a"};
        QTest::newRow("digits after letters")
            << QStringList{"a", "a1"} << "" << QStringList{"&a", "a&1"};
    }
    void lettersOfAGroup() {
        QFETCH(QStringList, captions);
        QFETCH(QString, taken);
        QFETCH(QStringList, expected);
        QCOMPARE(WithMnemonics(captions, taken), expected);
    }

    // Applied again to its own result (a second language switch), the group
    // keeps its letters and none is shared.
    void secondPassKeepsTheLetters() {
        const QStringList captions{"Datei", "Defekte", "Duplikate", "Dateien umbenennen",
                                   "Hilfe", "Info",    "&Abbrechen"};
        QString taken;
        const QStringList once = WithMnemonics(captions, taken);
        QString again;
        QCOMPARE(WithMnemonics(once, again), once);
        QSet<QChar> letters;
        for (const QString& caption : once) {
            const QChar letter = MnemonicOf(caption);
            QVERIFY2(!letter.isNull(), qPrintable(caption));
            QVERIFY2(!letters.contains(letter), qPrintable(caption));
            letters.insert(letter);
            QCOMPARE(WithoutMnemonic(caption), WithoutMnemonic(captions.at(once.indexOf(caption))));
        }
    }
};

KELVASTO_REGISTER_TEST(TestMnemonicLetters)
#include "test_mnemonic_letters.moc"
