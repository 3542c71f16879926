// The thorough defect check from the window: its check box on the defect
// sub-page, its texts and hint, the scan it starts, and its stored value.

#include "common/main_window_fixture.h"

#include "common/damaged_jpeg.h"
#include "common/dialog_answerer.h"
#include "common/picture_files_for_tests.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/widgets/radio_group.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>

using namespace mwtest;

namespace {

QCheckBox* thoroughBox(THauptForm& window) {
    return Find<QCheckBox>(window, "DefektGruendlich");
}

} // namespace

class TestThoroughWindow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        SetLanguageOffset(0);
        testing::resetHive();
    }
    void cleanup() { SetLanguageOffset(0); }

    void checkBoxTextsInBothLanguages_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        QTest::newRow("German") << 0 << "Gründlich prüfen (Bilddaten dekodieren)"
                                << "Dekodiert jede Datei und findet auch Schäden mitten in den "
                                   "Bilddaten; langsamer";
        QTest::newRow("English") << 10000 << "Thorough check (decode the picture data)"
                                 << "Decodes every file and also finds damage in the middle of "
                                    "the picture data; slower";
    }
    void checkBoxTextsInBothLanguages() {
        QFETCH(int, offset);
        QFETCH(QString, text);
        QFETCH(QString, hint);
        auto window = MakeWindow();
        window->show();
        SwitchLanguage(*window, offset);
        QCheckBox* box = thoroughBox(*window);
        QCOMPARE(box->text(), text);
        QVERIFY(!box->isChecked()); // off unless the user turned it on
        QStatusTipEvent tip(box->statusTip());
        QCoreApplication::sendEvent(box, &tip);
        QCOMPARE(window->statusBar()->currentMessage(), hint);
    }

    // Off, the scan is the end-marker test alone; on, it also moves the file
    // damaged in the middle, never its sound original.
    void scanFollowsTheCheckBox_data() {
        QTest::addColumn<bool>("thorough");
        QTest::addColumn<QStringList>("moved");
        QTest::newRow("off") << false << QStringList{"Defekt1_c_cut.jpg"};
        QTest::newRow("on") << true << QStringList{"Defekt1_b_damaged.jpg", "Defekt2_c_cut.jpg"};
    }
    void scanFollowsTheCheckBox() {
        QFETCH(bool, thorough);
        QFETCH(QStringList, moved);
        const QString root = testing::homeFolder() + QStringLiteral("/thorough");
        const QString destination = testing::homeFolder() + QStringLiteral("/thorough-dest");
        QDir(root).removeRecursively();
        QDir(destination).removeRecursively();
        // The other row's kept run names numbers in the removed folder.
        QDir(testing::sandboxRoot() + "/Protokolle").removeRecursively();
        QVERIFY(QDir().mkpath(destination));
        QVERIFY(QDir().mkpath(root));
        testing::writePictureFile(root + "/a_sound.jpg", testing::photoLike(200, 150, 4));
        const QByteArray sound = testing::readFile(root + "/a_sound.jpg");
        QVERIFY(
            testing::writeFile(root + "/b_damaged.jpg", testing::jpegDamagedInTheMiddle(sound)));
        QVERIFY(testing::writeFile(root + "/c_cut.jpg", sound.left(sound.size() * 2 / 3)));

        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, root));
        Find<QCheckBox>(*window, "GrafikRekursiv")->setChecked(true);
        Find<RadioGroup>(*window, "RadioGroup_DDS01")->setItemIndex(1);
        Find<QLineEdit>(*window, "GrafikZielverzeichnis")->setText(destination);
        thoroughBox(*window)->setChecked(thorough);
        DialogAnswerer answers;
        answers.queue("OK");
        Find<QPushButton>(*window, "BitBtn_DDS01")->click();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(QDir(destination + "/Defekt").entryList(QDir::Files, QDir::Name), moved);
        QVERIFY(QFile::exists(root + "/a_sound.jpg"));
        QCOMPARE(QFile::exists(root + "/b_damaged.jpg"), !thorough);
    }

    // Kept with the other page values when the screen settings are saved.
    void storedWithThePageValues() {
        auto window = MakeWindow([](AppSettings& s) { s.BildschirmSpeichern = true; });
        window->show();
        QVERIFY(!thoroughBox(*window)->isChecked());
        thoroughBox(*window)->click();
        window->close();
        QCOMPARE(testing::storedSettingsKey().value("DefektGruendlich").toInt(-1), 1);

        auto restored = MakeWindow([](AppSettings& s) {
            s.BildschirmSpeichern = true;
            s.DefektGruendlich = true;
        });
        QVERIFY(thoroughBox(*restored)->isChecked());
        auto notRestored = MakeWindow([](AppSettings& s) { s.DefektGruendlich = true; });
        QVERIFY(!thoroughBox(*notRestored)->isChecked()); // screen settings off
    }
};

KELVASTO_REGISTER_TEST(TestThoroughWindow)
#include "test_thorough_window.moc"
