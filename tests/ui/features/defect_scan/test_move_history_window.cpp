// The window's side of the kept move runs: the result view finds the defect
// folder wherever it lies, and a second mover is refused with a message.

#include "common/main_window_fixture.h"
#include "ui/features/defect_scan/defect_scan_controller.h"

#include "common/dialog_answerer.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/mover_lock.h"
#include "ui/widgets/radio_group.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

using namespace mwtest;

namespace {

QString MakeTree(const QString& name) {
    const QString root = testing::homeFolder() + QLatin1Char('/') + name;
    QDir(root).removeRecursively();
    testing::writeFile(root + "/good.jpg",
                       JpegBuilder().soi().app(0, 40).scanData(200).eoi().bytes());
    testing::writeFile(root + "/cut.jpg", JpegBuilder().soi().app(0, 40).scanData(200).bytes());
    return root;
}

void RunScan(THauptForm& window, const QString& root, bool move, const QString& destination) {
    QVERIFY(ShowFolder(window, root));
    Find<QCheckBox>(window, "GrafikRekursiv")->setChecked(true);
    Find<RadioGroup>(window, "RadioGroup_DDS01")->setItemIndex(move ? 1 : 0);
    Find<QLineEdit>(window, "GrafikZielverzeichnis")->setText(destination);
    DialogAnswerer answers;
    answers.queue("OK");
    Find<QPushButton>(window, "BitBtn_DDS01")->click();
    QCOMPARE(answers.shown().size(), 1);
}

} // namespace

class TestMoveHistoryWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    // The tree hides hidden folders, and the default working folder lies in
    // one (~/.local/share/Kelvasto/): the result view must show it anyway.
    void resultViewShowsTheDefectFolder_data() {
        QTest::addColumn<QString>("workingFolder"); // relative to the home folder
        QTest::addColumn<QString>("destination");   // "" for the working folder
        QTest::newRow("default working folder") << ".local/share/Kelvasto/"
                                                << "";
        QTest::newRow("destination in a hidden folder") << "work/"
                                                        << ".keep/checked";
        QTest::newRow("plain destination") << "work/"
                                           << "checked";
    }
    void resultViewShowsTheDefectFolder() {
        QFETCH(QString, workingFolder);
        QFETCH(QString, destination);
        const QString home = testing::homeFolder() + QLatin1Char('/');
        QDir(home + ".local").removeRecursively();
        QDir(home + ".keep").removeRecursively();
        QDir(home + "checked").removeRecursively();
        QVERIFY(QDir().mkpath(home + workingFolder));
        const QString root = MakeTree("view-result");
        auto window =
            MakeWindow([&](AppSettings& s) { s.Arbeitsverzeichnis = home + workingFolder; });
        RunScan(*window, root, false, destination.isEmpty() ? QString() : home + destination);
        const QString defect =
            (destination.isEmpty() ? home + workingFolder : home + destination + "/") + "Defekt";
        QVERIFY(QFileInfo::exists(defect + "/Defekt1_cut.jpg"));

        auto* toggle = Find<QPushButton>(*window, "BitBtn_DDS03");
        toggle->click();
        QCOMPARE(window->currentTreeFolder(), defect);
        QVERIFY(WaitForItems(*window, {"Defekt1_cut.jpg"}));
        QVERIFY(Find<QAction>(*window, "PM01_DDL")->isEnabled());
        toggle->click();
        QCOMPARE(window->currentTreeFolder(), root);
    }

    // While another run holds the working folder, neither a move run nor the
    // undo starts: a message names the holder, in the window's language, and
    // the undo stays available.
    void secondMoverIsRefused_data() {
        QTest::addColumn<QString>("what"); // "move" or "undo"
        QTest::addColumn<int>("language");
        QTest::newRow("move run, German") << "move" << 0;
        QTest::newRow("undo, English") << "undo" << 10000;
    }
    void secondMoverIsRefused() {
        QFETCH(QString, what);
        QFETCH(int, language);
        const QString root = MakeTree("refused");
        const QString destination = testing::homeFolder() + QStringLiteral("/refused-dest");
        QDir(destination).removeRecursively();
        auto window = MakeWindow();
        SwitchLanguage(*window, language);
        QAction* undo = Find<QAction>(*window, "HMenuDateiRueckgaengig");
        if (what == "undo")
            RunScan(*window, root, true, destination);
        const bool undoBefore = undo->isEnabled();

        MoverLock other = MoverLock::acquire(window->settings());
        QVERIFY(other.state() == MoverLock::State::Held);
        DialogAnswerer answers;
        answers.queue("OK");
        if (what == "move") {
            Find<RadioGroup>(*window, "RadioGroup_DDS01")->setItemIndex(1);
            Find<QPushButton>(*window, "BitBtn_DDS01")->click();
        } else {
            Find<QAction>(*window, "TB01Rueckgaengig")->trigger();
        }
        QCOMPARE(answers.shown().size(), 1);
        const QString text = answers.shown().at(0).text;
        const QString busy = OwnTextIn("mover.busy", language != 0);
        QVERIFY2(text.startsWith(busy.left(busy.indexOf("%1"))), qPrintable(text));
        QVERIFY2(text.contains(QString::number(::getpid())), qPrintable(text));
        QCOMPARE(QFileInfo::exists(root + "/cut.jpg"), what == "move");
        QCOMPARE(undo->isEnabled(), undoBefore);
        if (what == "move") // the result view keeps its target
            QCOMPARE(window->controller<DefectScanController>().defectFolder(),
                     window->settings().Arbeitsverzeichnis + "Defekt/");

        other.release();
        if (what == "undo") {
            undo->trigger();
            QVERIFY(QFileInfo::exists(root + "/cut.jpg"));
            QVERIFY(!undo->isEnabled());
        }
    }
};

KELVASTO_REGISTER_TEST(TestMoveHistoryWindow)
#include "test_move_history_window.moc"
