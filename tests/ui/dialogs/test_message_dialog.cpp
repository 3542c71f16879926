// The message dialog as a real window: titles, captions, geometry, default and
// Escape buttons, the close box, Help, and a modal run answered by button name.
#include "common/dialog_answerer.h"
#include "common/test_registry.h"
#include "ui/dialogs/message_dialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

QPushButton* Button(QWidget& form, const char* name) {
    return form.findChild<QPushButton*>(QString::fromLatin1(name));
}

QStringList Captions(QWidget& form) {
    QStringList captions;
    QList<QPushButton*> buttons = form.findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    for (QPushButton* b : buttons)
        captions << b->text();
    return captions;
}

QSize DialogCharSize() {
    return AverageCharSize(QFontMetrics(QApplication::font("QMessageBox")));
}

} // namespace

class TestMessageDialog : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SetMessageHelpHandler({}); }

    void titleAndCaptionsByLanguage_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("confirm deutsch")
            << 3 << "deutsch" << QString::fromUtf8("Bestätigung") << QStringList{"&Ja", "&Nein"};
        QTest::newRow("confirm ENGLISH") << 3 << "ENGLISH"
                                         << "Confirm" << QStringList{"&Yes", "&No"};
        QTest::newRow("warning french") << 0 << "french"
                                        << "Avertissement" << QStringList{"&Oui", "&Non"};
        QTest::newRow("unknown language") << 1 << "klingon"
                                          << "" << QStringList{"", ""};
    }
    void titleAndCaptionsByLanguage() {
        QFETCH(int, kind);
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(QStringList, captions);
        auto form = BuildMessageDialog("Text", MessageKind(kind),
                                       DialogButton::Yes | DialogButton::No, language);
        QCOMPARE(form->windowTitle(), title);
        QCOMPARE(Captions(*form), captions);
        // Without captions the buttons are still there and still answer.
        QVERIFY(Button(*form, "Yes") && Button(*form, "No"));
        form->open();
        Button(*form, "Yes")->click();
        QCOMPARE(form->result(), 6);
    }

    void customKindTakesTheApplicationTitleAndHasNoIcon() {
        QApplication::setApplicationDisplayName("Kelvasto");
        auto form = BuildMessageDialog("One line", MessageKind::Custom, ButtonBit(DialogButton::OK),
                                       "deutsch");
        QCOMPARE(form->windowTitle(), QString("Kelvasto"));
        QVERIFY(!form->findChild<QLabel*>("Image"));
        const QSize ch = DialogCharSize();
        auto* message = form->findChild<QLabel*>("Message");
        // No minimum height of 32 without an icon.
        QCOMPARE(message->geometry().topLeft(), QPoint((8 * ch.width() + 2) / 4, ch.height()));
        QVERIFY(message->height() < 32);
    }

    void geometryFollowsTheFont() {
        const QSize ch = DialogCharSize();
        const int hm = (8 * ch.width() + 2) / 4;
        const int vm = ch.height();
        const int hs = (10 * ch.width() + 2) / 4;
        const int vs = (10 * ch.height() + 4) / 8;
        auto form = BuildMessageDialog("Short", MessageKind::Warning,
                                       DialogButton::OK | DialogButton::Abort, "english");
        auto* image = form->findChild<QLabel*>("Image");
        QVERIFY(image);
        QCOMPARE(image->geometry(), QRect(hm, vm, 32, 32));
        QVERIFY(!image->pixmap().isNull());
        auto* message = form->findChild<QLabel*>("Message");
        QCOMPARE(message->text(), QString("Short"));
        QCOMPARE(message->x(), hm + 32 + hs);
        QCOMPARE(message->y(), vm);

        QPushButton* ok = Button(*form, "OK");
        QPushButton* abort = Button(*form, "Abort");
        QCOMPARE(ok->size(), abort->size());
        QVERIFY(ok->width() >= (50 * ch.width() + 2) / 4);
        QCOMPARE(ok->y(), 32 + vm + vs); // a short line stands in a 32-high block
        QCOMPARE(abort->x() - ok->x() - ok->width(), (4 * ch.width() + 2) / 4);
        // Row centred, the client area tight around block and row.
        const int rowWidth = abort->geometry().right() + 1 - ok->x();
        QCOMPARE(ok->x(), (form->width() - rowWidth) / 2);
        QCOMPARE(form->height(), 32 + ok->height() + vs + 2 * vm);
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(form->pos(), QPoint(screen.width() / 2 - form->width() / 2,
                                     screen.height() / 2 - form->height() / 2));
    }

    void longTextWrapsWithinHalfTheScreen() {
        const QString text = QString("Ein recht langer Satz mit vielen Wörtern. ").repeated(30) +
                             "\tMit Tabulator & <b>Zeichen</b>";
        auto form = BuildMessageDialog(text, MessageKind::Information, ButtonBit(DialogButton::OK),
                                       "deutsch");
        auto* message = form->findChild<QLabel*>("Message");
        const int halfScreen = QGuiApplication::primaryScreen()->geometry().width() / 2;
        QVERIFY(message->width() <= halfScreen);
        QVERIFY(message->width() > halfScreen / 2);
        QVERIFY(message->height() > 3 * QFontMetrics(form->font()).height());
        QCOMPARE(message->textFormat(), Qt::PlainText);
        QCOMPARE(message->text(), text);
        QCOMPARE(form->width(),
                 message->geometry().right() + 1 + (8 * DialogCharSize().width() + 2) / 4);
    }

    void defaultAndEscapeButtons_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("defaultButton");
        QTest::addColumn<int>("enterResult");
        QTest::addColumn<int>("escapeResult"); // -1: Escape does nothing
        QTest::newRow("Yes/No") << int(DialogButton::Yes | DialogButton::No) << "Yes" << 6 << 7;
        QTest::newRow("OK/Abort") << int(DialogButton::OK | DialogButton::Abort) << "OK" << 1 << 3;
        QTest::newRow("OK/Cancel")
            << int(DialogButton::OK | DialogButton::Cancel) << "OK" << 1 << 2;
        QTest::newRow("OK alone") << int(ButtonBit(DialogButton::OK)) << "OK" << 1 << 1;
        QTest::newRow("Abort/Retry/Ignore")
            << int(DialogButton::Abort | DialogButton::Retry | DialogButton::Ignore) << "Retry" << 4
            << 3;
        QTest::newRow("Retry/Ignore")
            << int(DialogButton::Retry | DialogButton::Ignore) << "Retry" << 4 << -1;
    }
    void defaultAndEscapeButtons() {
        QFETCH(int, buttons);
        QFETCH(QString, defaultButton);
        QFETCH(int, enterResult);
        QFETCH(int, escapeResult);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            auto form = BuildMessageDialog("Frage", MessageKind::Confirmation,
                                           DialogButtons(buttons), "deutsch");
            QVERIFY(Button(*form, defaultButton.toLatin1())->isDefault());
            form->open();
            form->setResult(-1);
            QTest::keyClick(form.get(), key);
            if (key == Qt::Key_Return) {
                QCOMPARE(form->result(), enterResult);
            } else if (escapeResult < 0) {
                QVERIFY(form->isVisible());
                QCOMPARE(form->result(), -1);
            } else {
                QCOMPARE(form->result(), escapeResult);
            }
        }
    }

    void closeBoxAnswersTwo() {
        auto form = BuildMessageDialog("x", MessageKind::Warning,
                                       DialogButton::OK | DialogButton::Abort, "deutsch");
        form->open();
        QVERIFY(form->close());
        QCOMPARE(form->result(), 2);
    }

    void modalRunAnsweredByButtonName() {
        DialogAnswerer answers;
        QPointer<QWidget> seen;
        answers.queue("No", [&seen](QWidget* dialog) { seen = dialog; });
        const int result = ShowMessageDialog(
            QString::fromUtf8("Möchten Sie die Datei wirklich löschen ?"),
            MessageKind::Confirmation, DialogButton::Yes | DialogButton::No, "deutsch");
        QCOMPARE(result, 7);
        QCOMPARE(answers.shown().size(), 1);
        const ShownDialog& shown = answers.shown().first();
        QCOMPARE(shown.className, QString("TMessageForm"));
        QCOMPARE(shown.title, QString::fromUtf8("Bestätigung"));
        QCOMPARE(shown.text, QString::fromUtf8("Möchten Sie die Datei wirklich löschen ?"));
        QCOMPARE(shown.buttons, (QStringList{"Yes", "No"}));
        QCOMPARE(shown.pressed, QString("No"));
        QCOMPARE(answers.unexpected(), 0);
        QVERIFY(!seen); // released after the call
    }

    void unansweredDialogIsClosedByItsCloseBox() {
        DialogAnswerer answers;
        QCOMPARE(ShowMessageDialog("?", MessageKind::Confirmation,
                                   DialogButton::Yes | DialogButton::No, "english"),
                 2);
        QCOMPARE(answers.unexpected(), 1);
        answers.queue("Retry"); // a button this dialog lacks
        QCOMPARE(ShowMessageDialog("!", MessageKind::Information, ButtonBit(DialogButton::OK),
                                   "english"),
                 2);
        QCOMPARE(answers.unexpected(), 2);
    }

    void helpShowsTheTopicAndStaysOpen() {
        QList<int> contexts;
        SetMessageHelpHandler([&contexts](int context, const QString&) { contexts << context; });
        DialogAnswerer answers;
        answers.queue("Help");
        answers.queue("OK");
        QCOMPARE(ShowMessageDialog("Hilfe?", MessageKind::Information,
                                   DialogButton::OK | DialogButton::Help, "deutsch", 0),
                 1);
        QCOMPARE(contexts, QList<int>{0});
        QCOMPARE(answers.pending(), 0);
        QCOMPARE(answers.unexpected(), 0);
    }

    void helpWithoutHandlerOrWithAThrowingOneIsHarmless() {
        auto form = BuildMessageDialog("x", MessageKind::Information,
                                       DialogButton::OK | DialogButton::Help, "english");
        form->open();
        Button(*form, "Help")->click();
        QVERIFY(form->isVisible());
        SetMessageHelpHandler([](int, const QString&) { throw std::runtime_error("no help"); });
        Button(*form, "Help")->click();
        QVERIFY(form->isVisible());
        Button(*form, "OK")->click();
        QCOMPARE(form->result(), 1);
    }

    void explicitPlace_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("both") << 10 << 20;
        QTest::newRow("x only") << 30 << -1;
        QTest::newRow("y only") << -1 << 40;
        QTest::newRow("centred") << -1 << -1;
    }
    void explicitPlace() {
        QFETCH(int, x);
        QFETCH(int, y);
        const QPoint centred =
            BuildMessageDialog("Ort", MessageKind::Warning, ButtonBit(DialogButton::OK), "deutsch")
                ->pos();
        DialogAnswerer answers;
        QPoint place;
        answers.queue("OK", [&place](QWidget* dialog) { place = dialog->pos(); });
        QCOMPARE(ShowMessageDialogAt("Ort", MessageKind::Warning, ButtonBit(DialogButton::OK), 0, x,
                                     y, QString(), "deutsch"),
                 1);
        QCOMPARE(place, QPoint(x >= 0 ? x : centred.x(), y >= 0 ? y : centred.y()));
    }

    void buttonWidthCacheSurvivesALanguageChange() {
        ButtonWidthCache().fill(0);
        auto german = BuildMessageDialog("x", MessageKind::Error,
                                         DialogButton::Retry | DialogButton::Cancel, "deutsch");
        const int measured = ButtonWidthCache()[int(DialogButton::Retry)];
        const QFontMetrics metrics(german->font());
        QVERIFY(measured > metrics.horizontalAdvance("Wiederholen"));
        QVERIFY(measured <= metrics.horizontalAdvance("Wiederholen") + 9);
        QCOMPARE(ButtonWidthCache()[int(DialogButton::Yes)], 0); // not laid out yet

        auto english =
            BuildMessageDialog("x", MessageKind::Error, ButtonBit(DialogButton::Retry), "english");
        QCOMPARE(ButtonWidthCache()[int(DialogButton::Retry)], measured);
        QCOMPARE(Button(*english, "Retry")->width(), Button(*german, "Retry")->width());
        QVERIFY(measured > metrics.horizontalAdvance("Retry") + 8);
        ButtonWidthCache().fill(0);
    }

    void exceptionsInTheDialogNeverReachTheCaller() {
        // The gradient behind the dialog is painted inside the guard.
        auto form =
            BuildMessageDialog("x", MessageKind::Warning, ButtonBit(DialogButton::OK), "deutsch");
        QImage image(form->size(), QImage::Format_RGB32);
        form->render(&image);
        QCOMPARE(image.pixelColor(0, form->height() - 1), QColor(Qt::white));
        QCOMPARE(image.pixelColor(form->width() - 1, form->height() - 1), QColor(192, 192, 192));
    }
};

KELVASTO_REGISTER_TEST(TestMessageDialog)
#include "test_message_dialog.moc"
