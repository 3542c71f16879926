// The about box: opened from its menu entry and its toolbar button, in both
// languages, frameless, with its caption and licence refreshed at every
// showing; its links, and a link no program can open.

#include "app/open_with_program.h"
#include "common/dialog_answerer.h"
#include "common/main_window_fixture.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "i18n/own_texts.h"
#include "ui/dialogs/about_box.h"
#include "ui/main_window/window_commands.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
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
        window->controller<WindowCommandsController>().setAboutBox(&about);
        // The box was built in German; the language changes before it shows.
        SwitchLanguage(*window, offset);
        QString caption, title, licence;
        QSize size;
        Qt::WindowFlags flags;
        DialogAnswerer answers;
        answers.queue("BitBtn1", [&](QWidget* box) {
            caption = WithoutMnemonic(box->findChild<QPushButton*>("BitBtn1")->text());
            title = box->findChild<QLabel*>("Label01")->text();
            licence = box->findChild<QLabel*>("LabelLizenz")->text();
            size = box->size();
            flags = box->windowFlags();
        });
        Find<QAction>(*window, entry)->trigger();
        SwitchLanguage(*window, 0);
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).className, QStringLiteral("TInfoF"));
        QCOMPARE(caption, close);
        QCOMPARE(title, QStringLiteral("Kelvasto V1.25"));
        QCOMPARE(licence, OwnTextIn("about.licence", offset == 10000));
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

    void linksOpenThroughTheDesktopOrSaySo_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("named"); // in the message when it cannot open
        QTest::newRow("homepage") << "URLLabel1" << true << "";
        QTest::newRow("mail") << "URLLabel2" << true << "";
        QTest::newRow("homepage, no program for it") << "URLLabel1" << false << kMakerHomepage;
        QTest::newRow("mail, no program for it")
            << "URLLabel2" << false << "autor@kelvasto.example.org";
    }
    void linksOpenThroughTheDesktopOrSaySo() {
        QFETCH(QString, label);
        QFETCH(bool, opens);
        QFETCH(QString, named);
        auto window = MakeWindow();
        TInfoF about(window.get());
        QStringList opened;
        DetachedStartOverride record([&](const DetachedStartCall& call) {
            opened << call.program + QLatin1Char(' ') + call.arguments.join(QLatin1Char(' '));
            return opens;
        });
        auto* link = about.findChild<QLabel*>(label);
        QVERIFY(link->text().contains("href"));
        DialogAnswerer answers;
        if (!opens)
            answers.queue("OK");
        emit link->linkActivated(link->toolTip());
        QCOMPARE(opened, QStringList{"xdg-open " + link->toolTip()});
        QCOMPARE(answers.shown().size(), opens ? 0 : 1);
        if (!opens)
            QCOMPARE(answers.shown().at(0).text, OwnText("about.linkFailed").arg(named));
    }

    // The desktop's opener for real, played by a script: it decides only
    // after it started, so the box hears of a failure by its exit code.
    void theOpenersVerdictIsHeard_data() {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("messages");
        QTest::newRow("opened") << 0 << 0;
        QTest::newRow("no program for links (xdg-open exit 3)") << 3 << 1;
        QTest::newRow("the program failed (xdg-open exit 4)") << 4 << 1;
    }
    void theOpenersVerdictIsHeard() {
        QFETCH(int, exitCode);
        QFETCH(int, messages);
        QTemporaryDir bin(QDir::tempPath() + QStringLiteral("/bin-XXXXXX"));
        const QString opener = bin.path() + QStringLiteral("/xdg-open");
        QVERIFY(testing::writeFile(opener, "#!/bin/sh\necho \"$1\" > \"$0.called\"\nexit " +
                                               QByteArray::number(exitCode) + "\n"));
        QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
        DetachedStartOverride real(StartForReal);
        auto window = MakeWindow();
        TInfoF about(window.get());
        DialogAnswerer answers;
        answers.queue("OK");
        auto* link = about.findChild<QLabel*>("URLLabel1");
        emit link->linkActivated(link->toolTip());
        // The opener, a child of the box while it decides, is gone once the
        // box has its verdict.
        QTRY_VERIFY(about.findChildren<QProcess*>().isEmpty());
        qputenv("PATH", path);
        QCOMPARE(answers.shown().size(), messages);
        QCOMPARE(testing::readFile(opener + ".called"), kMakerHomepage.toUtf8() + "\n");
    }
};

KELVASTO_REGISTER_TEST(TestAboutBox)
#include "test_about_box.moc"
