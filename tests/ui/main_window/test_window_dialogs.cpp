// The window's own small dialogs: file properties and the help window.

#include "common/jpeg_builder.h"
#include "common/main_window_fixture.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/dialogs/file_properties_dialog.h"
#include "ui/dialogs/help_window.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTextBrowser>

using namespace mwtest;

class TestWindowDialogs : public QObject {
    Q_OBJECT
private slots:
    void propertiesOfAPicture() {
        Folder folder({"Sub/"});
        QVERIFY(
            testing::writeFile(folder.file("bild.jpg"), JpegBuilder::picture(33, 21, 0, 0, 255)));
        QFile::setPermissions(folder.file("bild.jpg"), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ReadGroup | QFile::ReadOther);
        const FileProperties p = ReadFileProperties(folder.file("bild.jpg"));
        QCOMPARE(p.name, QStringLiteral("bild.jpg"));
        QCOMPARE(p.folder, folder.path());
        QCOMPARE(p.size, QFileInfo(folder.file("bild.jpg")).size());
        QCOMPARE(p.permissions, QStringLiteral("rw-r--r--"));
        QCOMPARE(p.pixelSize, QSize(33, 21));
        QVERIFY(p.modified.isValid());
    }

    void propertiesOfOddPaths_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("folder") << "Sub" << QByteArray();
        QTest::newRow("truncated picture")
            << "kaputt.jpg" << JpegBuilder().soi().app(0).cut(3).bytes();
        QTest::newRow("vanished") << "weg.jpg" << QByteArray();
    }
    void propertiesOfOddPaths() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        Folder folder({"Sub/"});
        if (!bytes.isEmpty())
            QVERIFY(testing::writeFile(folder.file(name), bytes));
        const FileProperties p = ReadFileProperties(folder.file(name));
        QCOMPARE(p.name, name);
        QVERIFY(!p.pixelSize.isValid());
        QCOMPARE(p.isFolder, name == "Sub");
    }

    void helpShowsTheContentsPageOfTheLanguage_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("heading");
        QTest::newRow("deutsch") << 0 << "Kelvasto – Inhalt";
        QTest::newRow("english") << 10000 << "Kelvasto – Contents";
    }
    void helpShowsTheContentsPageOfTheLanguage() {
        QFETCH(int, offset);
        QFETCH(QString, heading);
        SetLanguageOffset(0);
        auto window = MakeWindow();
        SetLanguageOffset(offset);
        Find<QAction>(*window, "HMenuInfoHilfe")->trigger();
        auto* help = window->findChild<HelpWindow*>();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->browser()->toPlainText().startsWith(heading));
        // Every function of the program has its page, linked from here.
        QVERIFY(help->browser()->toHtml().count(".html\"") >= 14);
        SetLanguageOffset(0);
    }
};

KELVASTO_REGISTER_TEST(TestWindowDialogs)
#include "test_window_dialogs.moc"
