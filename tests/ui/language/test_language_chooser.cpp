#include "common/dialog_answerer.h"
#include "common/scaled_font.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"
#include "ui/language/language_chooser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

void choose(QWidget* dialog, bool english, bool showAtStart) {
    dialog->findChild<QRadioButton*>(english ? "RadioGroup1_1" : "RadioGroup1_0")->setChecked(true);
    dialog->findChild<QCheckBox*>("CheckBox1")->setChecked(showAtStart);
}

} // namespace

class TestLanguageChooser : public QObject {
    Q_OBJECT
private slots:
    void init() { testing::resetToFirstStart(); }

    void showReflectsCurrentState_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("sprachwahl");
        QTest::addColumn<QString>("okCaption");
        QTest::newRow("german, ask") << 0 << true << QString("&OK");
        QTest::newRow("english, do not ask") << 10000 << false << QString("&OK");
    }

    void showReflectsCurrentState() {
        QFETCH(int, offset);
        QFETCH(bool, sprachwahl);
        SetLanguageOffset(offset);
        AppSettings settings;
        settings.Sprachwahl = sprachwahl;
        TfrmSprache chooser(settings, [] {});
        DialogAnswerer answers;
        answers.queue("BitBtn2");
        chooser.exec();
        QCOMPARE(chooser.windowTitle(), CatalogueText(CatalogueId::ChooseLanguage));
        QCOMPARE(chooser.findChild<QPushButton*>("BitBtn2")->text(),
                 CatalogueText(CatalogueId::LanguageAbort));
        QCOMPARE(WithoutMnemonic(chooser.findChild<QCheckBox*>("CheckBox1")->text()),
                 CatalogueText(CatalogueId::ShowAtEveryStart));
        QCOMPARE(chooser.findChild<QCheckBox*>("CheckBox1")->isChecked(), sprachwahl);
        QCOMPARE(chooser.findChild<QRadioButton*>("RadioGroup1_1")->isChecked(), offset == 10000);
        QVERIFY(chooser.width() >= TfrmSprache::kClientWidth);
        QVERIFY(chooser.height() >= TfrmSprache::kClientHeight);
    }

    // Every caption whole and inside the dialog, at the desktop's font and
    // at larger ones.
    void sizesItselfToItsCaptions_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<double>("fontScale");
        for (const int offset : {0, 10000})
            for (const double scale : {1.0, 1.5, 2.0})
                QTest::addRow("%s, font x %.1f", offset ? "english" : "deutsch", scale)
                    << offset << scale;
    }
    void sizesItselfToItsCaptions() {
        QFETCH(int, offset);
        QFETCH(double, fontScale);
        const ScaledApplicationFont font(fontScale);
        SetLanguageOffset(offset);
        AppSettings settings;
        TfrmSprache chooser(settings, [] {});
        QStringList cut;
        DialogAnswerer answers;
        answers.queue("BitBtn2", [&cut](QWidget* dialog) {
            for (const QWidget* w : dialog->findChildren<QWidget*>()) {
                if (!w->isVisible() ||
                    !(qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QGroupBox*>(w)))
                    continue;
                const QRect inDialog(w->mapTo(dialog, QPoint()), w->size());
                if (w->width() < w->minimumSizeHint().width() || !dialog->rect().contains(inDialog))
                    cut << w->objectName();
            }
        });
        chooser.exec();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
        if (fontScale == 1.0)
            QVERIFY(chooser.width() < 2 * TfrmSprache::kClientWidth);
    }

    void okStoresLanguageAndChoice() {
        AppSettings settings;
        int applied = 0;
        TfrmSprache chooser(settings, [&] {
            ++applied;
            QCOMPARE(LanguageOffset(), 10000); // texts are applied in the new language
        });
        DialogAnswerer answers;
        answers.queue("BitBtn1", [](QWidget* d) { choose(d, true, false); });
        QCOMPARE(chooser.exec(), int(QDialog::Accepted));
        QCOMPARE(applied, 1);
        QCOMPARE(LanguageOffset(), 10000);
        QCOMPARE(int(LanguageIndex()), 1);
        QCOMPARE(settings.Sprache, 10000);
        QCOMPARE(settings.Sprachwahl, false);
        QCOMPARE(testing::storedSettingsKey().value("Sprache").toInt(), 10000);
        QCOMPARE(testing::storedSettingsKey().value("Sprachwahl").toInt(), 0);
    }

    void okWithSameLanguageStillApplies() {
        AppSettings settings;
        int applied = 0;
        TfrmSprache chooser(settings, [&] { ++applied; });
        DialogAnswerer answers;
        answers.queue("BitBtn1");
        chooser.exec();
        QCOMPARE(applied, 1);
        QCOMPARE(testing::storedSettingsKey().value("Sprache").toInt(), 0);
        QCOMPARE(testing::storedSettingsKey().value("Sprachwahl").toInt(), 1);
    }

    void abortAndCloseBoxChangeNothing_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("abort") << QString("BitBtn2");
        QTest::newRow("close box") << QString("no such button");
    }

    void abortAndCloseBoxChangeNothing() {
        QFETCH(QString, button);
        AppSettings settings;
        int applied = 0;
        TfrmSprache chooser(settings, [&] { ++applied; });
        DialogAnswerer answers;
        answers.queue(button, [](QWidget* d) { choose(d, true, false); });
        QCOMPARE(chooser.exec(), int(QDialog::Rejected));
        QCOMPARE(applied, 0);
        QCOMPARE(LanguageOffset(), 0);
        QCOMPARE(settings.Sprachwahl, true);
        QVERIFY(!testing::storedSettingsKey().contains("Sprache"));
        QVERIFY(!testing::storedSettingsKey().contains("Sprachwahl"));
    }

    void unwritableStoreKeepsDialogOpen() {
        // A folder where the hive file should be makes every write fail.
        QVERIFY(QDir().mkpath(HiveFilePath()));
        AppSettings settings;
        TfrmSprache chooser(settings, [] {});
        DialogAnswerer answers;
        answers.queue("BitBtn1", [](QWidget* d) { choose(d, true, true); });
        answers.queue("BitBtn2");
        QCOMPARE(chooser.exec(), int(QDialog::Rejected));
        QCOMPARE(answers.shown().size(), 2); // OK did not close it
        QCOMPARE(LanguageOffset(), 10000);   // the language was applied all the same
        QDir(HiveFilePath()).removeRecursively();
    }
};

KELVASTO_REGISTER_TEST(TestLanguageChooser)
#include "test_language_chooser.moc"
