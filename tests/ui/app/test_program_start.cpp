#include "app/program_start.h"
#include "common/dialog_answerer.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"
#include "ui/language/language_chooser.h"
#include "ui/main_window/hauptform.h"

#include <QCheckBox>
#include <QTest>

class TestProgramStart : public QObject {
    Q_OBJECT
private slots:
    void init() { testing::resetToFirstStart(); }

    void firstStartAsksForLanguage() {
        DialogAnswerer answers;
        answers.queue("BitBtn1");
        ProgramWindows windows = CreateProgramWindows();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).className, QString("TfrmSprache"));
        QVERIFY(!windows.main->isVisible()); // the chooser comes before the window
    }

    void untickedBoxSuppressesChooserNextStart() {
        {
            DialogAnswerer answers;
            answers.queue("BitBtn1", [](QWidget* d) {
                d->findChild<QCheckBox*>("CheckBox1")->setChecked(false);
            });
            ProgramWindows first = CreateProgramWindows();
            QCOMPARE(answers.shown().size(), 1);
        }
        DialogAnswerer answers;
        ProgramWindows second = CreateProgramWindows();
        QTest::qWait(50);
        QCOMPARE(answers.shown().size(), 0);
        QCOMPARE(second.main->settings().Sprachwahl, false);
    }
};

KELVASTO_REGISTER_TEST(TestProgramStart)
#include "test_program_start.moc"
