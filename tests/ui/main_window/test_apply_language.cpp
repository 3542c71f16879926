// ApplyLanguage on the real window: every caption changes with the language,
// the three radio groups keep the user's choice, the toggles follow their
// tag, and ids the catalogue lacks leave empty hints.

#include "common/main_window_fixture.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/mnemonic_letters.h"
#include "ui/widgets/radio_group.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {

// The visible text of a control, whatever its kind.
QString Caption(THauptForm& w, const QString& name) {
    const QObject* o = w.findChild<QObject*>(name);
    const QString caption = o ? ControlCaption(o) : QString();
    return caption.isNull() ? QStringLiteral("<missing %1>").arg(name) : caption;
}

// The hint as the status bar shows it.
QString Hint(THauptForm& w, const QString& name) {
    return ControlHints(w.findChild<QObject*>(name)).second;
}

// A widget's tooltip. An action's tooltip falls back to its text, which a
// menu does not show as a tooltip; its status tip is the hint there.
QString WidgetToolTip(THauptForm& w, const QString& name) {
    auto* widget = qobject_cast<QWidget*>(w.findChild<QObject*>(name));
    return widget && !qobject_cast<QMenu*>(widget) ? widget->toolTip() : QString();
}

} // namespace

class TestApplyLanguage : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    void captionsFollowTheLanguage_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("id");
        const std::pair<const char*, int> rows[] = {
            {"GrafikRekursiv", 10},
            {"IdxRekursiv", 10},
            {"FktRekursiv", 10},
            {"GrafikLabel01", 12},
            {"BitBtn_DDS01", 18},
            {"CheckBox_DV02", 24},
            {"BitBtn_DV01", 30},
            {"IdxSpeedButton01", 32},
            {"IdxGroupBox03", 36},
            {"FktGroupBox01", 36},
            {"FktZielRadioButton03", 40},
            {"IdxLabel03", 44},
            {"IdxGroupBox02", 54},
            {"ThumbBitBtn01", 65},
            {"FktBB_SW", 75},
            {"BitBtnDupSuchen", 79},
            {"BitBtnDupLeereOrdner", 81},
            {"Label_DDS01", 83},
            {"BitBtn_DDS02", 87},
            {"Label_DV02", 89},
            {"FktLabel02", 96},
            {"Label_Dup03", 101},
            {"BitBtn_Dup03", 109},
            {"EinzelTabSheet01", 115},
            {"BitBtnSaettigung01", 140},
            {"BitBtnBlauInGruen", 154},
            {"SerienTabSheet02", 701},
            {"GrafikTabSheet02", 726},
            {"HauptTabSheet02", 731},
            {"HMenu_Datei", 802},
            {"HMenuDateiRueckgaengig", 801},
            {"HMenu_ProgEnde", 815},
            {"HMenu_Aktionen", 817},
            {"HMenu_SW", 835},
            {"PM01_SW", 835},
            {"PM01_BMP_JPG", 837},
            {"HMenuInfoHilfe", 841},
            {"PM01_DateienMarkieren", 845},
            {"PM01_Eigenschaften", 847},
        };
        for (const auto& [control, id] : rows)
            QTest::newRow(control) << QString::fromLatin1(control) << id;
    }
    void captionsFollowTheLanguage() {
        QFETCH(QString, control);
        QFETCH(int, id);
        auto window = MakeWindow();
        QCOMPARE(Caption(*window, control), WithoutMnemonic(CatalogueEntry(id)));
        SwitchLanguage(*window, 10000);
        QCOMPARE(Caption(*window, control), WithoutMnemonic(CatalogueEntry(id + 10000)));
        SwitchLanguage(*window, 0);
        QCOMPARE(Caption(*window, control), WithoutMnemonic(CatalogueEntry(id)));
    }

    void englishChangesEveryCaption() {
        auto window = MakeWindow();
        QMap<QString, QString> german;
        const auto named = window->findChildren<QObject*>();
        for (QObject* o : named)
            if (!o->objectName().isEmpty())
                german.insert(o->objectName(), Caption(*window, o->objectName()));
        QSet<QString> germanTexts, sameInBoth;
        for (const int id : CatalogueGermanIds()) {
            germanTexts.insert(CatalogueEntry(id));
            if (CatalogueEntry(id) == CatalogueEntry(id + 10000))
                sameInBoth.insert(CatalogueEntry(id));
        }
        SwitchLanguage(*window, 10000);
        int checked = 0;
        for (auto it = german.cbegin(); it != german.cend(); ++it) {
            // Counters, the percent sign and such are not catalogue texts.
            if (!germanTexts.contains(it.value()) || sameInBoth.contains(it.value()))
                continue;
            QVERIFY2(Caption(*window, it.key()) != it.value(), qPrintable(it.key()));
            ++checked;
        }
        QVERIFY(checked >= 120);
        QCOMPARE(Caption(*window, "BitBtn_DDS03"), QStringLiteral("View Result"));
        QCOMPARE(Caption(*window, "BitBtnDupErgebnis"), QStringLiteral("View Results"));
        QCOMPARE(Caption(*window, "HMenu_DDS"), QStringLiteral("Search Invalid Files"));
        QCOMPARE(Caption(*window, "HauptTabSheet01"), QStringLiteral("Manipulate File-Series"));
    }

    void togglesTakeTheirCaptionFromTheTag_data() {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("defects");
        QTest::addColumn<QString>("duplicates");
        QTest::addColumn<QString>("duplicatesHint");
        QTest::newRow("tag 0") << 0 << "View Result"
                               << "View Results"
                               << "Press this key to view the found files";
        QTest::newRow("tag 1") << 1 << "Start Directory"
                               << "Directory View"
                               << "Back to the directory view";
    }
    void togglesTakeTheirCaptionFromTheTag() {
        QFETCH(int, tag);
        QFETCH(QString, defects);
        QFETCH(QString, duplicates);
        QFETCH(QString, duplicatesHint);
        auto window = MakeWindow();
        Find<QWidget>(*window, "BitBtn_DDS03")->setProperty("Tag", tag);
        Find<QWidget>(*window, "BitBtnDupErgebnis")->setProperty("Tag", tag);
        SwitchLanguage(*window, 10000);
        QCOMPARE(Caption(*window, "BitBtn_DDS03"), defects);
        QCOMPARE(Caption(*window, "BitBtnDupErgebnis"), duplicates);
        QCOMPARE(Hint(*window, "BitBtnDupErgebnis"), duplicatesHint);
    }

    void radioGroupsKeepTheChoiceAcrossASwitch_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QStringList>("english");
        const QStringList dds{"Copy To Destination Directory", "Move To Destination Directory"};
        const QStringList dv{"Reduce Original Files", "Reduce Copies"};
        const QStringList farben{"Adapt", "Transformation", "Channel Exchange"};
        QTest::newRow("DDS01 copy") << "RadioGroup_DDS01" << 0 << dds;
        QTest::newRow("DDS01 move") << "RadioGroup_DDS01" << 1 << dds;
        // Back to item 0 here would reduce the user's originals next time.
        QTest::newRow("DV01 copies") << "RadioGroup_DV01" << 1 << dv;
        QTest::newRow("Farben channel exchange") << "RadioGroupFarben" << 2 << farben;
    }
    void radioGroupsKeepTheChoiceAcrossASwitch() {
        QFETCH(QString, group);
        QFETCH(int, chosen);
        QFETCH(QStringList, english);
        auto window = MakeWindow();
        auto* radio = window->findChild<RadioGroup*>(group);
        QCOMPARE(radio->itemIndex(), 0); // a first start offers the first item
        radio->setItemIndex(chosen);
        SwitchLanguage(*window, 0); // the same language again
        QCOMPARE(radio->itemIndex(), chosen);
        SwitchLanguage(*window, 10000);
        QStringList shown;
        for (const QString& item : radio->items())
            shown << WithoutMnemonic(item);
        QCOMPARE(shown, english);
        QCOMPARE(radio->itemIndex(), chosen);
        // Rebuilt, not added to: exactly one button per item.
        QVERIFY(window->findChild<QAbstractButton*>(group + "_" + QString::number(chosen)));
        QVERIFY(
            !window->findChild<QAbstractButton*>(group + "_" + QString::number(english.size())));
    }

    void absentHintIdsLeaveEmptyHints() {
        auto window = MakeWindow();
        SwitchLanguage(*window, 10000);
        for (const char* name : {"RadioGroup_DV01",     "CheckBox_DV02",
                                 "CheckBox_DV03",       "CheckBox_DV04",
                                 "IdxSpeedButton01",    "IdxSpeedButton02",
                                 "IdxGroupBox03",       "IdxGroupBox01",
                                 "IdxGroupBox02",       "IdxBitBtn01",
                                 "ThumbGroupBox01",     "ThumbBitBtn01",
                                 "FktGroupBox01",       "FktSpeedButton01",
                                 "FktSpeedButton02",    "FktBB_AntiAlising",
                                 "FktBB_Optimieren",    "FktBB_SW",
                                 "FktBB_BMP_JPEG",      "BitBtnDupLeereOrdner",
                                 "FktBitBtn01",         "BitBtnDupAbbrechen",
                                 "BitBtn_Dup01",        "BitBtn_Dup02",
                                 "BitBtn_Dup03",        "HMenu_Datei",
                                 "HMenu_Sprache",       "HMenuDateiProgDeInst",
                                 "HMenu_Aktionen",      "HMenu_AntiAlising",
                                 "HMenu_Optimieren",    "HMenu_SW",
                                 "HMenu_BMP_JPG",       "HMenu_Info",
                                 "HMenu_InfoF",         "PM01_AntiAlising",
                                 "PM01_Optimieren",     "PM01_SW",
                                 "PM01_BMP_JPG",        "PM01_DateienMarkieren",
                                 "PM01_Eigenschaften",  "BitBtnInvertieren",
                                 "BitBtnSchwarzWeiss",  "BitBtnAntiAlising",
                                 "BitBtnSchaerfen",     "BitBtnOptimieren",
                                 "BitBtnSpiegelungHor", "BitBtnSpiegelungVer",
                                 "BitBtnUndo",          "BitBtnHelligkeit01",
                                 "BitBtnHelligkeit02",  "BitBtnKontrast01",
                                 "BitBtnKontrast02",    "BitBtnSaettigung01",
                                 "BitBtnSaettigung02",  "BitBtnRotInGruen",
                                 "BitBtnRotInBlau",     "BitBtnGruenInRot",
                                 "BitBtnGruenInBlau",   "BitBtnBlauInRot",
                                 "BitBtnBlauInGruen",   "RadioGroupFarben"}) {
            QVERIFY2(Hint(*window, name).isEmpty(), name);
            QVERIFY2(WidgetToolTip(*window, name).isEmpty(), name);
        }
        QCOMPARE(Hint(*window, "RadioGroup_DDS01"), CatalogueEntry(10017));
        QCOMPARE(Hint(*window, "TB01Optionen"), QStringLiteral("Choose to show the option window"));
        QCOMPARE(Hint(*window, "TB02SavePic"), QStringLiteral("Save File"));
    }

    void hintsShowInTheStatusBar() {
        auto window = MakeWindow();
        window->show();
        auto* button = Find<QWidget>(*window, "BitBtn_DDS01");
        QStatusTipEvent tip(button->statusTip());
        QCoreApplication::sendEvent(button, &tip);
        QCOMPARE(window->statusBar()->currentMessage(),
                 CatalogueText(CatalogueId::SearchInvalidFilesHint));
        QCOMPARE(button->toolTip(), CatalogueText(CatalogueId::SearchInvalidFilesHint));
    }
};

KELVASTO_REGISTER_TEST(TestApplyLanguage)
#include "test_apply_language.moc"
