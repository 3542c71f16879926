// The defect scan driven through the window: its button, the result view, the
// deletion of found files, the destination field and the undo of the move.

#include "common/main_window_fixture.h"
#include "jobs/framework/job_controls.h"
#include "ui/features/defect_scan/defect_scan_controller.h"

#include "common/dialog_answerer.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "ui/widgets/radio_group.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace mwtest;

namespace {

QByteArray soundJpeg() {
    return JpegBuilder().soi().app(0, 40).scanData(200).eoi().bytes();
}
QByteArray cutJpeg() {
    return JpegBuilder().soi().app(0, 40).scanData(200).bytes();
}

// A tree with one sound and two cut-off pictures, and a destination folder.
struct ScanTree {
    QString root = testing::homeFolder() + QStringLiteral("/scan");
    QString destination = testing::homeFolder() + QStringLiteral("/dest");
    ScanTree() {
        QDir(root).removeRecursively();
        QDir(destination).removeRecursively();
        testing::writeFile(root + "/good.jpg", soundJpeg());
        testing::writeFile(root + "/cut.jpg", cutJpeg());
        testing::writeFile(root + "/sub/cut.jpeg", cutJpeg());
        QDir().mkpath(destination);
    }
    QStringList defectFiles() const {
        return QDir(destination + "/Defekt").entryList(QDir::Files, QDir::Name);
    }
};

QString label(THauptForm& w, const QString& name) {
    return Find<QLabel>(w, name)->text();
}

void setUpScan(THauptForm& window, const ScanTree& tree, bool move) {
    QVERIFY(ShowFolder(window, tree.root));
    Find<QCheckBox>(window, "GrafikRekursiv")->setChecked(true);
    Find<RadioGroup>(window, "RadioGroup_DDS01")->setItemIndex(move ? 1 : 0);
    Find<QLineEdit>(window, "GrafikZielverzeichnis")->setText(tree.destination);
}

} // namespace

class TestDefectScanWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void moveRunThroughButtonAndUndoThroughToolbar() {
        ScanTree tree;
        auto window = MakeWindow();
        setUpScan(*window, tree, true);
        DialogAnswerer answers;
        answers.queue("OK");
        Find<QPushButton>(*window, "BitBtn_DDS01")->click();

        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(9115));
        QCOMPARE(tree.defectFiles(), (QStringList{"Defekt1_cut.jpg", "Defekt2_cut.jpeg"}));
        QVERIFY(!QFile::exists(tree.root + "/cut.jpg"));
        QCOMPARE(label(*window, kDefectScanControls.defectsFound), QString("2"));
        QCOMPARE(label(*window, kDefectScanControls.progress.total), QString("3"));
        QCOMPARE(label(*window, kDefectScanControls.progress.done), QString("3"));
        QVERIFY(Find<QTabWidget>(*window, "HauptPageControl01")->isEnabled());
        QCOMPARE(window->controller<DefectScanController>().defectFolder(),
                 tree.destination + "/Defekt/");

        QAction* undoEntry = Find<QAction>(*window, "HMenuDateiRueckgaengig");
        QAction* undoButton = Find<QAction>(*window, "TB01Rueckgaengig");
        QVERIFY(undoEntry->isEnabled());
        QVERIFY(undoButton->isEnabled());
        QCOMPARE(WithoutMnemonic(undoEntry->text()), CatalogueText(801));
        QCOMPARE(undoButton->toolTip(), CatalogueText(801));

        undoButton->trigger();
        QVERIFY(QFile::exists(tree.root + "/cut.jpg"));
        QVERIFY(QFile::exists(tree.root + "/sub/cut.jpeg"));
        QVERIFY(tree.defectFiles().isEmpty());
        QVERIFY(!undoEntry->isEnabled());
        QCOMPARE(answers.unexpected(), 0); // the undo asks nothing
        // A second click does nothing while the entry is disabled.
        undoButton->trigger();
        QVERIFY(QFile::exists(tree.root + "/cut.jpg"));
    }

    // Closing the window while the scan still collects ends the scan at its
    // first file, and no closing message pops up after the window has gone.
    void closingDuringTheScanStopsItSilently() {
        ScanTree tree;
        for (int i = 0; i < 50; ++i)
            testing::writeFile(tree.root + QString("/more/cut%1.jpg").arg(i), cutJpeg());
        auto window = MakeWindow();
        window->show();
        setUpScan(*window, tree, false);
        DialogAnswerer answers;
        QTimer::singleShot(0, window.get(), [&] { window->close(); });
        Find<QPushButton>(*window, "BitBtn_DDS01")->click();
        QVERIFY(window->closing());
        QVERIFY(tree.defectFiles().size() <= 1);
        QVERIFY(answers.shown().isEmpty());
        QCOMPARE(answers.unexpected(), 0);
        QVERIFY(!window->jobRunning());
    }

    void copyRunDisablesUndo() {
        ScanTree tree;
        auto window = MakeWindow();
        setUpScan(*window, tree, false);
        DialogAnswerer answers;
        answers.queue("OK");
        Find<QAction>(*window, "HMenu_DDS")->trigger();
        QCOMPARE(tree.defectFiles().size(), 2);
        QVERIFY(QFile::exists(tree.root + "/cut.jpg"));
        QVERIFY(!Find<QAction>(*window, "HMenuDateiRueckgaengig")->isEnabled());
        QCOMPARE(testing::readFile(window->settings().Arbeitsverzeichnis + "Protokoll.txt"),
                 QByteArray());
    }

    void nothingSelectedShowsNotice() {
        ScanTree tree;
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, tree.root));
        DialogAnswerer answers;
        answers.queue("OK");
        Find<QPushButton>(*window, "BitBtn_DDS01")->click();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(9000));
        QVERIFY(!QDir(tree.destination + "/Defekt").exists());
        QVERIFY(Find<QTabWidget>(*window, "HauptPageControl01")->isEnabled());
    }

    void resultViewAndDeletion() {
        ScanTree tree;
        auto window = MakeWindow();
        setUpScan(*window, tree, false);
        DialogAnswerer answers;
        answers.queue("OK");
        Find<QPushButton>(*window, "BitBtn_DDS01")->click();
        testing::writeFile(tree.destination + "/Defekt/photo.jpg", soundJpeg());

        auto* toggle = Find<QPushButton>(*window, "BitBtn_DDS03");
        toggle->click();
        QCOMPARE(WithoutMnemonic(toggle->text()), CatalogueText(9));
        QCOMPARE(QDir::cleanPath(window->currentTreeFolder()), tree.destination + "/Defekt");
        QVERIFY(Find<QAction>(*window, "PM01_DDL")->isEnabled());
        QVERIFY(!Find<QAction>(*window, "HMenu_DDS")->isEnabled());

        answers.queue("OK");
        Find<QAction>(*window, "PM01_DDL")->trigger();
        QCOMPARE(answers.shown().last().text, CatalogueText(9016));
        QCOMPARE(tree.defectFiles(), QStringList{"photo.jpg"});
        QCOMPARE(QDir(testing::dataHome() + "/Trash/files").entryList(QDir::Files).size(), 2);

        toggle->click();
        QCOMPARE(WithoutMnemonic(toggle->text()), CatalogueText(8));
        QCOMPARE(QDir::cleanPath(window->currentTreeFolder()), tree.root);
        QVERIFY(!Find<QAction>(*window, "HMenu_DDL")->isEnabled());
        QVERIFY(Find<QAction>(*window, "HMenu_DDS")->isEnabled());
    }

    void destinationField_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");
        const QString home = testing::homeFolder();
        QTest::newRow("no folder") << home << QString("NoButton") << QString();
        QTest::newRow("abort keeps") << home << QString("AbortButton") << home;
        QTest::newRow("vanished folder becomes its ancestor")
            << home + "/gone/deeper" << QString("AbortButton") << home + "/";
        QTest::newRow("relative path is the home folder")
            << QString("relative/path") << QString("NoChooser") << home + "/";
    }

    void destinationField() {
        QFETCH(QString, start);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        auto window = MakeWindow();
        auto* field = Find<QLineEdit>(*window, "GrafikZielverzeichnis");
        field->setText(start);
        DialogAnswerer answers;
        if (button != "NoChooser")
            answers.queue(button);
        QTest::mouseClick(field, Qt::LeftButton);
        QCOMPARE(field->text(), expected);
        QCOMPARE(answers.shown().size(), button == "NoChooser" ? 0 : 1);
        if (!answers.shown().isEmpty()) {
            QCOMPARE(answers.shown().at(0).title, CatalogueText(9006));
            QCOMPARE(answers.shown().at(0).text, CatalogueText(9007));
        }
    }
};

KELVASTO_REGISTER_TEST(TestDefectScanWindow)
#include "test_defect_scan_window.moc"
