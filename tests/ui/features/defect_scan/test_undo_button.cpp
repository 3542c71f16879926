// The toolbar's undo button shows the state of the menu entry it acts
// through, after every kind of run and after the undo itself.

#include "common/main_window_fixture.h"

#include "common/dialog_answerer.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "ui/widgets/radio_group.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace mwtest;

namespace {

// One sound and one cut-off picture; the scan finds one defective file.
QString MakeScanTree() {
    const QString root = testing::homeFolder() + QStringLiteral("/undo-scan");
    QDir(root).removeRecursively();
    testing::writeFile(root + "/good.jpg",
                       JpegBuilder().soi().app(0, 40).scanData(200).eoi().bytes());
    testing::writeFile(root + "/cut.jpg", JpegBuilder().soi().app(0, 40).scanData(200).bytes());
    return root;
}

void RunScan(THauptForm& window, bool move) {
    Find<RadioGroup>(window, "RadioGroup_DDS01")->setItemIndex(move ? 1 : 0);
    DialogAnswerer answers;
    answers.queue("OK");
    Find<QPushButton>(window, "BitBtn_DDS01")->click();
    QCOMPARE(answers.shown().size(), 1);
}

} // namespace

class TestUndoButton : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void buttonFollowsEntry_data() {
        QTest::addColumn<QStringList>("steps"); // "move", "copy", "undo"
        QTest::addColumn<bool>("enabled");
        QTest::newRow("at start") << QStringList{} << false;
        QTest::newRow("move run") << QStringList{"move"} << true;
        QTest::newRow("move run, undo") << QStringList{"move", "undo"} << false;
        QTest::newRow("copy run") << QStringList{"copy"} << false;
        QTest::newRow("move run, then copy run") << QStringList{"move", "copy"} << false;
        QTest::newRow("undo, then move again") << QStringList{"move", "undo", "move"} << true;
        // The second run finds nothing to move: its undo would do nothing.
        QTest::newRow("move run, then one that moves nothing")
            << QStringList{"move", "move"} << false;
    }
    void buttonFollowsEntry() {
        QFETCH(QStringList, steps);
        QFETCH(bool, enabled);
        const QString root = MakeScanTree();
        const QString destination = testing::homeFolder() + QStringLiteral("/undo-dest");
        QDir(destination).removeRecursively();
        QDir().mkpath(destination);
        auto window = MakeWindow();
        QVERIFY(ShowFolder(*window, root));
        Find<QCheckBox>(*window, "GrafikRekursiv")->setChecked(true);
        Find<QLineEdit>(*window, "GrafikZielverzeichnis")->setText(destination);
        QAction* entry = Find<QAction>(*window, "HMenuDateiRueckgaengig");
        QAction* button = Find<QAction>(*window, "TB01Rueckgaengig");
        for (const QString& step : steps) {
            if (step == "undo")
                button->trigger();
            else
                RunScan(*window, step == "move");
            QCOMPARE(button->isEnabled(), entry->isEnabled());
        }
        QCOMPARE(entry->isEnabled(), enabled);
        QCOMPARE(button->isEnabled(), enabled);
        if (steps.endsWith("undo"))
            QVERIFY(QFileInfo::exists(root + "/cut.jpg"));
    }
};

KELVASTO_REGISTER_TEST(TestUndoButton)
#include "test_undo_button.moc"
