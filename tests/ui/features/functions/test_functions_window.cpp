// The batch functions driven through the window: every button and menu entry
// runs its own function, the mode switch, and the refusal without a folder.

#include "common/main_window_fixture.h"

#include "common/dialog_answerer.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "imaging/picture_files.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {

// A folder with one small picture of each kind.
struct FunctionTree {
    QString root = testing::homeFolder() + QStringLiteral("/functions");
    FunctionTree() {
        QDir(root).removeRecursively();
        QDir().mkpath(root);
        Picture picture(24, 16);
        picture.fill(200, 120, 40);
        SaveAsJpeg(picture, root + "/a.jpg");
        // The smallest bitmap: 1 x 1, 24 bits.
        QByteArray bmp = QByteArray::fromHex("424d3a000000000000003600000028000000010000000100"
                                             "0000010018000000000004000000130b0000130b00000000"
                                             "000000000000ff000000");
        testing::writeFile(root + "/b.bmp", bmp);
    }
    QStringList names() const { return QDir(root).entryList(QDir::Files, QDir::Name); }
};

// The series tab of the functions, recursive over the tree's folder.
void prepare(THauptForm& window, const FunctionTree& tree) {
    QVERIFY(ShowFolder(window, tree.root));
    Find<QTabWidget>(window, "HauptPageControl01")->setCurrentIndex(2);
    Find<QCheckBox>(window, "FktRekursiv")->setChecked(true);
}

void fire(THauptForm& window, const QString& control) {
    if (auto* button = Find<QAbstractButton>(window, control))
        button->click();
    else
        Find<QAction>(window, control)->trigger();
}

} // namespace

class TestFunctionsWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void eachControlRunsItsFunction_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("result");
        for (const char* prefix : {"FktBB_", "HMenu_", "PM01_"}) {
            const QString p = QString::fromLatin1(prefix);
            QTest::newRow(qPrintable(p + "AntiAlising")) << p + "AntiAlising"
                                                         << "a_aa.jpg";
            QTest::newRow(qPrintable(p + "Optimieren")) << p + "Optimieren"
                                                        << "a_opt.jpg";
            QTest::newRow(qPrintable(p + "SW")) << p + "SW"
                                                << "a_sw.jpg";
        }
        QTest::newRow("FktBB_BMP_JPEG") << "FktBB_BMP_JPEG"
                                        << "b.jpg";
        QTest::newRow("HMenu_BMP_JPG") << "HMenu_BMP_JPG"
                                       << "b.jpg";
        QTest::newRow("PM01_BMP_JPG") << "PM01_BMP_JPG"
                                      << "b.jpg";
    }
    void eachControlRunsItsFunction() {
        QFETCH(QString, control);
        QFETCH(QString, result);
        FunctionTree tree;
        auto window = MakeWindow();
        prepare(*window, tree);
        fire(*window, control);
        QStringList expected = {"a.jpg", "b.bmp", result};
        expected.sort();
        QCOMPARE(tree.names(), expected);
        QVERIFY(!window->jobRunning());
        QCOMPARE(Find<QStackedWidget>(*window, "NBStatus01")->currentIndex(), 0);
    }

    void theModeButtonsSwitchFilterEntriesAndPage() {
        auto window = MakeWindow();
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(2);
        auto visible = [&](const char* name) { return Find<QAction>(*window, name)->isVisible(); };
        Find<QAbstractButton>(*window, "FktSpeedButton02")->click();
        QCOMPARE(Find<QStackedWidget>(*window, "FktNotebook01")->currentIndex(), 1);
        QVERIFY(visible("HMenu_BMP_JPG") && visible("PM01_BMP_JPG"));
        QVERIFY(!visible("HMenu_SW") && !visible("PM01_AntiAlising"));
        Find<QAbstractButton>(*window, "FktSpeedButton01")->click();
        QCOMPARE(Find<QStackedWidget>(*window, "FktNotebook01")->currentIndex(), 0);
        QVERIFY(!visible("HMenu_BMP_JPG") && !visible("PM01_BMP_JPG"));
        QVERIFY(visible("HMenu_Optimieren") && visible("PM01_SW"));
    }

    void aChosenDestinationWithoutFolderOnlyTells_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("black-and-white") << "FktBB_SW";
        QTest::newRow("conversion") << "FktBB_BMP_JPEG";
    }
    void aChosenDestinationWithoutFolderOnlyTells() {
        QFETCH(QString, control);
        FunctionTree tree;
        auto window = MakeWindow();
        prepare(*window, tree);
        Find<QRadioButton>(*window, "FktZielRadioButton01")->setChecked(true);
        DialogAnswerer answers;
        answers.queue("OK");
        fire(*window, control);
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::NoDestination));
        QCOMPARE(tree.names(), QStringList({"a.jpg", "b.bmp"}));
    }

    // Each destination of the group puts the result where it says; the
    // source stays where it was.
    void theResultGoesToTheChosenDestination_data() {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("result"); // relative to the tree, "@" the set folder
        QTest::newRow("source folder, black-and-white") << "02"
                                                        << "FktBB_SW"
                                                        << "a_sw.jpg";
        QTest::newRow("sub-folder, black-and-white") << "03"
                                                     << "FktBB_SW"
                                                     << "Sonst/a_sw.jpg";
        QTest::newRow("set folder, black-and-white") << "01"
                                                     << "FktBB_SW"
                                                     << "@/a_sw.jpg";
        QTest::newRow("sub-folder, conversion") << "03"
                                                << "FktBB_BMP_JPEG"
                                                << "Sonst/b.jpg";
        QTest::newRow("set folder, conversion") << "01"
                                                << "FktBB_BMP_JPEG"
                                                << "@/b.jpg";
    }
    void theResultGoesToTheChosenDestination() {
        QFETCH(QString, radio);
        QFETCH(QString, control);
        QFETCH(QString, result);
        FunctionTree tree;
        const QString setFolder = testing::homeFolder() + QStringLiteral("/functions-results");
        QDir(setFolder).removeRecursively();
        QVERIFY(QDir().mkpath(setFolder));
        auto window = MakeWindow();
        prepare(*window, tree);
        if (control == QLatin1String("FktBB_BMP_JPEG"))
            Find<QAbstractButton>(*window, "FktSpeedButton02")->click();
        Find<QLineEdit>(*window, "FktZielverzeichnis")->setText(setFolder);
        Find<QLineEdit>(*window, "FktUnterverzeichnis")->setText(QStringLiteral("Sonst"));
        Find<QRadioButton>(*window, "FktZielRadioButton" + radio)->setChecked(true);
        DialogAnswerer answers;
        fire(*window, control);
        QVERIFY2(answers.shown().isEmpty(), qPrintable(answers.shown().value(0).text));
        const QString expected = result.startsWith(QLatin1Char('@'))
                                     ? setFolder + result.mid(1)
                                     : tree.root + QLatin1Char('/') + result;
        QVERIFY2(QFileInfo(expected).isFile(), qPrintable(expected));
        QVERIFY(tree.names().contains(QStringLiteral("a.jpg")));
        QVERIFY(tree.names().contains(QStringLiteral("b.bmp")));
        QCOMPARE(tree.names().size(), radio == QLatin1String("02") ? 3 : 2);
    }
};

KELVASTO_REGISTER_TEST(TestFunctionsWindow)
#include "test_functions_window.moc"
