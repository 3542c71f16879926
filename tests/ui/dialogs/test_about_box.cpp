// The about box: opened from its menu entry and its toolbar button, in both
// languages, frameless, with its caption refreshed at every showing.

#include "app/open_with_program.h"
#include "common/dialog_answerer.h"
#include "common/main_window_fixture.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "ui/dialogs/about_box.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace mwtest;

class TestAboutBox : public QObject {
    Q_OBJECT
private slots:
    void opensFromMenuAndToolbarInTheLanguage_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("close");
        QTest::newRow("menu, deutsch") << "HMenu_InfoF" << 0 << "Schließen";
        QTest::newRow("menu, english") << "HMenu_InfoF" << 10000 << "Close";
        QTest::newRow("toolbar, deutsch") << "TB01Info" << 0 << "Schließen";
        QTest::newRow("toolbar, english") << "TB01Info" << 10000 << "Close";
    }
    void opensFromMenuAndToolbarInTheLanguage() {
        QFETCH(QString, entry);
        QFETCH(int, offset);
        QFETCH(QString, close);
        auto window = MakeWindow();
        TInfoF about(window.get());
        window->setAboutBox(&about);
        // The box was built in German; the language changes before it shows.
        SwitchLanguage(*window, offset);
        QString caption, title;
        QSize size;
        Qt::WindowFlags flags;
        DialogAnswerer answers;
        answers.queue("BitBtn1", [&](QWidget* box) {
            caption = WithoutMnemonic(box->findChild<QPushButton*>("BitBtn1")->text());
            title = box->findChild<QLabel*>("Label01")->text();
            size = box->size();
            flags = box->windowFlags();
        });
        Find<QAction>(*window, entry)->trigger();
        SwitchLanguage(*window, 0);
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).className, QStringLiteral("TInfoF"));
        QCOMPARE(caption, close);
        QCOMPARE(title, QStringLiteral("Kelvasto V1.25"));
        QCOMPARE(size, QSize(292, 186));
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(!about.isVisible());
    }

    void centredOverTheMainWindow() {
        auto window = MakeWindow();
        window->setGeometry(100, 80, 900, 640);
        window->show();
        TInfoF about(window.get());
        QPoint centre;
        DialogAnswerer answers;
        answers.queue("BitBtn1", [&](QWidget* box) { centre = box->frameGeometry().center(); });
        about.exec();
        QVERIFY((centre - window->frameGeometry().center()).manhattanLength() <= 2);
    }

    void linksOpenThroughTheDesktop() {
        auto window = MakeWindow();
        TInfoF about(window.get());
        QStringList opened;
        DetachedStartOverride record([&](const DetachedStartCall& call) {
            opened << call.program + QLatin1Char(' ') + call.arguments.join(QLatin1Char(' '));
            return true;
        });
        for (const char* name : {"URLLabel1", "URLLabel2"}) {
            auto* label = about.findChild<QLabel*>(name);
            QVERIFY(label);
            QVERIFY(label->text().contains("href"));
            emit label->linkActivated(label->toolTip());
        }
        QCOMPARE(opened, (QStringList{"xdg-open " + kMakerHomepage, "xdg-open " + kMakerMail}));
    }
};

KELVASTO_REGISTER_TEST(TestAboutBox)
#include "test_about_box.moc"
