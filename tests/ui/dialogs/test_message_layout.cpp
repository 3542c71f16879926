// The message dialog's layout arithmetic and its five-language tables, without
// widgets: every figure comes from a given average character size.
#include "common/test_registry.h"
#include "ui/dialogs/message_layout.h"
#include "ui/dialogs/message_tables.h"
#include "ui/dialogs/mul_div.h"

#include <QTest>

namespace {

MessageLayoutInput Input(QSize ch, QSize text, bool icon, std::vector<int> widths) {
    MessageLayoutInput in;
    in.averageChar = ch;
    in.textSize = text;
    in.hasIcon = icon;
    in.cachedWidths = std::move(widths);
    in.screen = QSize(1024, 768);
    return in;
}

} // namespace

class TestMessageLayout : public QObject {
    Q_OBJECT
private slots:
    void mulDivRoundsToNearest_data() {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("expected");
        QTest::newRow("exact") << 8 << 6 << 4 << 12;
        QTest::newRow("quarter down") << 10 << 13 << 8 << 16;
        QTest::newRow("three quarters up") << 14 << 13 << 8 << 23;
        QTest::newRow("half away from zero") << 5 << 1 << 2 << 3;
        QTest::newRow("negative half") << -5 << 1 << 2 << -3;
        QTest::newRow("no 32-bit overflow") << 2000000000 << 3 << 4 << 1500000000;
        QTest::newRow("divide by zero") << 7 << 7 << 0 << 0;
    }
    void mulDivRoundsToNearest() {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, c);
        QFETCH(int, expected);
        QCOMPARE(MulDivRound(a, b, c), expected);
    }

    void unitsFromAverageCharSize_data() {
        QTest::addColumn<QSize>("ch");
        QTest::addColumn<QList<int>>("units"); // hm vm hs vs bw bh bs
        QTest::newRow("6x13") << QSize(6, 13) << QList<int>{12, 13, 15, 16, 75, 23, 6};
        QTest::newRow("7x15 halves round up")
            << QSize(7, 15) << QList<int>{14, 15, 18, 19, 88, 26, 7};
        QTest::newRow("8x16") << QSize(8, 16) << QList<int>{16, 16, 20, 20, 100, 28, 8};
    }
    void unitsFromAverageCharSize() {
        QFETCH(QSize, ch);
        QFETCH(QList<int>, units);
        const MessageLayout l = LayOutMessageDialog(Input(ch, QSize(10, 10), false, {}));
        const QList<int> got{l.horizontalMargin, l.verticalMargin, l.horizontalSpacing,
                             l.verticalSpacing,  l.buttonWidth,    l.buttonHeight,
                             l.buttonSpacing};
        QCOMPARE(got, units);
    }

    void twoButtonsAndIcon() {
        // Row 2*75+6 = 156 outgrows the block 100+32+15 = 147.
        const MessageLayout l = LayOutMessageDialog(Input({6, 13}, {100, 13}, true, {40, 40}));
        QCOMPARE(l.block, QSize(147, 32));
        QCOMPARE(l.buttonRowWidth, 156);
        QCOMPARE(l.client, QSize(180, 32 + 23 + 16 + 2 * 13));
        QCOMPARE(l.icon, QRect(12, 13, 32, 32));
        QCOMPARE(l.message, QRect(59, 13, 100, 13));
        QCOMPARE(l.buttons, (QList<QRect>{QRect(12, 61, 75, 23), QRect(93, 61, 75, 23)}));
        QCOMPARE(l.windowPos, QPoint(512 - 90, 384 - 48));
    }

    void customKindHasNoIconNorMinimumHeight() {
        const MessageLayout l = LayOutMessageDialog(Input({6, 13}, {100, 13}, false, {40}));
        QCOMPARE(l.block, QSize(100, 13));
        QVERIFY(l.icon.isNull());
        QCOMPARE(l.message, QRect(12, 13, 100, 13));
        QCOMPARE(l.client, QSize(124, 13 + 23 + 16 + 26));
        // (124 - 75) / 2 truncates to 24.
        QCOMPARE(l.buttons, QList<QRect>{QRect(24, 13 + 13 + 16, 75, 23)});
    }

    void tallTextKeepsItsHeight() {
        const MessageLayout l = LayOutMessageDialog(Input({6, 13}, {300, 65}, true, {40}));
        QCOMPARE(l.block, QSize(347, 65));
        QCOMPARE(l.client.width(), 347 + 24);
        QCOMPARE(l.buttons.first().top(), 65 + 13 + 16);
    }

    void widestCachedCaptionWidensEveryButton() {
        const MessageLayout l = LayOutMessageDialog(Input({6, 13}, {100, 13}, true, {40, 96, 20}));
        QCOMPARE(l.buttonWidth, 96);
        QCOMPARE(l.buttonRowWidth, 3 * 96 + 2 * 6);
        for (const QRect& b : l.buttons)
            QCOMPARE(b.width(), 96);
        QCOMPARE(l.buttons[1].left() - l.buttons[0].right() - 1, 6);
    }

    void noButtons() {
        const MessageLayout l = LayOutMessageDialog(Input({6, 13}, {100, 13}, true, {}));
        QCOMPARE(l.buttonRowWidth, 0);
        QVERIFY(l.buttons.isEmpty());
        QCOMPARE(l.client.width(), 147 + 24);
    }

    void languageMatchIgnoresCase_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index"); // -1: none
        QTest::newRow("deutsch") << "deutsch" << 0;
        QTest::newRow("ENGLISH") << "ENGLISH" << 1;
        QTest::newRow("Dutch") << "Dutch" << 2;
        QTest::newRow("spanish") << "spanish" << 3;
        QTest::newRow("French") << "French" << 4;
        QTest::newRow("unknown") << "klingon" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("padded") << " english" << -1;
    }
    void languageMatchIgnoresCase() {
        QFETCH(QString, name);
        QFETCH(int, index);
        const std::optional<int> got = MatchDialogLanguage(name);
        QCOMPARE(got ? *got : -1, index);
    }

    void tables_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("captions"); // deutsch english dutch spanish french
        QTest::newRow("Yes") << 0 << "Yes" << 6 << QStringList{"&Ja", "&Yes", "&Ja", "&Si", "&Oui"};
        QTest::newRow("Cancel") << 3 << "Cancel" << 2
                                << QStringList{"Abbrechen", "Abort", "Beëindigen", "Cancelar",
                                               "Interrompre"};
        QTest::newRow("Retry") << 5 << "Retry" << 4
                               << QStringList{"&Wiederholen", "&Retry", "&Herhalen", "&Repetir",
                                              "&Répéter"};
        QTest::newRow("YesToAll") << 9 << "YesToAll" << 10
                                  << QStringList{"A&lle Ja", "Yes To A&ll", "&Ja op alles",
                                                 "&Si a Todos", "T&out Oui"};
        QTest::newRow("Help") << 10 << "Help" << 0
                              << QStringList{"&Hilfe", "&Help", "&Help", "&Ayuda", "&L`aide"};
    }
    void tables() {
        QFETCH(int, button);
        QFETCH(QString, name);
        QFETCH(int, result);
        QFETCH(QStringList, captions);
        const auto b = DialogButton(button);
        QCOMPARE(ButtonControlName(b), name);
        QCOMPARE(ButtonResult(b), result);
        for (int lang = 0; lang < kDialogLanguageCount; ++lang)
            QCOMPARE(ButtonCaption(b, lang), captions[lang]);
        QCOMPARE(ButtonCaption(b, std::nullopt), QString());
    }

    void titles() {
        QCOMPARE(MessageTitle(MessageKind::Warning, 0), QString("Warnung"));
        QCOMPARE(MessageTitle(MessageKind::Confirmation, 1), QString("Confirm"));
        QCOMPARE(MessageTitle(MessageKind::Information, 3), QString("Información"));
        QCOMPARE(MessageTitle(MessageKind::Error, 4), QString("Erreur"));
        QCOMPARE(MessageTitle(MessageKind::Error, std::nullopt), QString());
        QCOMPARE(MessageTitle(MessageKind::Custom, 0), QString());
        QCOMPARE(MessageTitle(MessageKind(9), 0), QString());
    }
};

KELVASTO_REGISTER_TEST(TestMessageLayout)
#include "test_message_layout.moc"
