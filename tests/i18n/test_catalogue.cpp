#include "common/test_registry.h"
#include "i18n/catalogue.h"

#include <QTest>

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetLanguageOffset(0); }

    void texts_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("9004 en") << 10000 << 9004 << QString(" does not exist.");
        QTest::newRow("9004 de") << 0 << 9004 << QString(" existiert nicht.");
        QTest::newRow("5 de trailing blank") << 0 << 5 << QString("Einordnen: ");
        QTest::newRow("6 de umlaut") << 0 << 6 << QString::fromUtf8("Grössenvergleich: ");
        QTest::newRow("801 de") << 0 << 801 << QString::fromUtf8("Rückgängig: verschieben");
        QTest::newRow("87 en ampersand") << 10000 << 87 << QString("&Abort");
        QTest::newRow("1273 en") << 10000 << 1273 << QString("Release: ");
        QTest::newRow("1273 de") << 0 << 1273 << QString("Stand: ");
        QTest::newRow("23 de absent") << 0 << 23 << QString();
        QTest::newRow("23 en absent") << 10000 << 23 << QString();
        QTest::newRow("1119 absent") << 0 << 1119 << QString();
        QTest::newRow("offset 12345") << 12345 << 9004 << QString();
        QTest::newRow("offset 12345 low id") << 12345 << 1 << QString();
        QTest::newRow("id 0") << 0 << 0 << QString();
        QTest::newRow("negative") << 0 << -5 << QString();
    }

    void texts() {
        QFETCH(int, offset);
        QFETCH(int, id);
        QFETCH(QString, text);
        SetLanguageOffset(offset);
        QCOMPARE(CatalogueText(CatalogueId(id)), text);
    }

    void everyEntryHasBothLanguages() {
        const std::vector<int> ids = CatalogueGermanIds();
        QCOMPARE(int(ids.size()), 227);
        for (int id : ids) {
            QVERIFY2(!CatalogueEntry(id).isEmpty(), qPrintable(QString::number(id)));
            QVERIFY2(!CatalogueEntry(id + 10000).isEmpty(), qPrintable(QString::number(id)));
            QVERIFY(CatalogueEntry(id).size() <= kCatalogueTextLimit);
        }
    }

    void languageIndexFromOffset_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("index");
        for (auto [o, i] : {std::pair{0, 0},
                            {10000, 1},
                            {20000, 2},
                            {30000, 3},
                            {40000, 4},
                            {12345, 0},
                            {-10000, 0},
                            {50000, 0}})
            QTest::newRow(qPrintable(QString::number(o))) << o << i;
    }

    void languageIndexFromOffset() {
        QFETCH(int, offset);
        QFETCH(int, index);
        QCOMPARE(int(LanguageIndexForOffset(offset)), index);
    }
};

KELVASTO_REGISTER_TEST(TestCatalogue)
#include "test_catalogue.moc"
