// Every text the catalogue gives a control of the main window, checked on the
// real window in both languages: the control must exist under its name, be of
// a kind that shows the text, and carry exactly the entry's text. A hint must
// reach the tooltip and the status-bar tip alike.

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
#include <QTabWidget>
#include <QTest>

using namespace mwtest;

namespace {

struct Binding {
    const char* control;
    const char* role; // "caption", "hint" or "item<n>"
    int id;
};

// The assignments of the catalogue onto the main window, as its table of
// texts names them (the toggles and the delete entry follow their state and
// are checked elsewhere).
constexpr Binding kBindings[] = {
    // clang-format off
        {"GrafikRekursiv", "caption", 10}, {"IdxRekursiv", "caption", 10},
        {"FktRekursiv", "caption", 10}, {"GrafikRekursiv", "hint", 11}, {"IdxRekursiv", "hint", 11},
        {"FktRekursiv", "hint", 11}, {"GrafikLabel01", "caption", 12},
        {"GrafikZielverzeichnis", "hint", 13}, {"RadioGroup_DDS01", "caption", 14},
        {"RadioGroup_DDS01", "item0", 15}, {"RadioGroup_DDS01", "item1", 16},
        {"RadioGroup_DDS01", "hint", 17}, {"BitBtn_DDS01", "caption", 18},
        {"BitBtn_DDS01", "hint", 19}, {"RadioGroup_DV01", "caption", 20},
        {"RadioGroup_DV01", "item0", 21}, {"RadioGroup_DV01", "item1", 22},
        {"CheckBox_DV02", "caption", 24}, {"CheckBox_DV03", "caption", 26},
        {"CheckBox_DV04", "caption", 28}, {"BitBtn_DV01", "caption", 30},
        {"BitBtn_DV01", "hint", 31}, {"IdxSpeedButton01", "caption", 32},
        {"IdxSpeedButton02", "caption", 34}, {"IdxGroupBox03", "caption", 36},
        {"FktGroupBox01", "caption", 36}, {"IdxZielRadioButton01", "caption", 38},
        {"FktZielRadioButton01", "caption", 38}, {"IdxZielRadioButton02", "caption", 39},
        {"FktZielRadioButton02", "caption", 39}, {"IdxZielRadioButton03", "caption", 40},
        {"FktZielRadioButton03", "caption", 40}, {"IdxZielverzeichnis", "hint", 41},
        {"FktZielverzeichnis", "hint", 41}, {"IdxLabel01", "caption", 42},
        {"IdxLabel02", "caption", 43}, {"IdxLabel03", "caption", 44}, {"IdxEdit01", "hint", 45},
        {"IdxEdit02", "hint", 46}, {"IdxEdit03", "hint", 47}, {"IdxGroupBox01", "caption", 48},
        {"IdxRadioButton01", "caption", 50}, {"IdxRadioButton02", "caption", 51},
        {"IdxLabel04", "caption", 52}, {"IdxLabel05", "caption", 53},
        {"IdxGroupBox02", "caption", 54}, {"IdxSLabel01", "caption", 56},
        {"IdxSLabel02", "caption", 57}, {"IdxBitBtn01", "caption", 58},
        {"ThumbLabel01", "caption", 60}, {"ThumbGroupBox01", "caption", 61},
        {"ThumbLabel02", "caption", 63}, {"ThumbLabel03", "caption", 64},
        {"ThumbBitBtn01", "caption", 65}, {"FktSpeedButton01", "caption", 67},
        {"FktSpeedButton02", "caption", 69}, {"FktBB_AntiAlising", "caption", 71},
        {"FktBB_Optimieren", "caption", 73}, {"FktBB_SW", "caption", 75},
        {"FktBB_BMP_JPEG", "caption", 77}, {"BitBtnDupSuchen", "caption", 79},
        {"BitBtnDupSuchen", "hint", 80}, {"BitBtnDupLeereOrdner", "caption", 81},
        {"Label_DDS01", "caption", 83}, {"Label_DDS03", "caption", 84},
        {"Label_DDS04", "caption", 85}, {"Label_DDS06", "caption", 86},
        {"BitBtn_DDS02", "caption", 87}, {"BitBtn_DDS02", "hint", 88},
        {"Label_DV02", "caption", 89}, {"Label_DV04", "caption", 90}, {"Label_DV05", "caption", 91},
        {"Label_DV07", "caption", 92}, {"BitBtn_DV02", "caption", 93}, {"BitBtn_DV02", "hint", 94},
        {"FktLabel01", "caption", 95}, {"FktLabel02", "caption", 96}, {"FktLabel03", "caption", 97},
        {"FktBitBtn01", "caption", 98}, {"Label_Dup01", "caption", 100},
        {"Label_Dup03", "caption", 101}, {"Label_Dup05", "caption", 102},
        {"BitBtnDupAbbrechen", "caption", 103}, {"BitBtn_Dup01", "caption", 105},
        {"BitBtn_Dup02", "caption", 107}, {"BitBtn_Dup03", "caption", 109},
        {"TB02LoadPic", "hint", 111}, {"TB02SavePic", "hint", 113},
        {"EinzelTabSheet01", "caption", 115}, {"BitBtnInvertieren", "caption", 116},
        {"BitBtnSchwarzWeiss", "caption", 118}, {"BitBtnAntiAlising", "caption", 120},
        {"BitBtnSchaerfen", "caption", 122}, {"BitBtnOptimieren", "caption", 124},
        {"BitBtnSpiegelungHor", "caption", 126}, {"BitBtnSpiegelungVer", "caption", 128},
        {"BitBtnUndo", "caption", 130}, {"BitBtnHelligkeit01", "caption", 132},
        {"BitBtnHelligkeit02", "caption", 134}, {"BitBtnKontrast01", "caption", 136},
        {"BitBtnKontrast02", "caption", 138}, {"BitBtnSaettigung01", "caption", 140},
        {"BitBtnSaettigung02", "caption", 142}, {"BitBtnRotInGruen", "caption", 144},
        {"BitBtnRotInBlau", "caption", 146}, {"BitBtnGruenInRot", "caption", 148},
        {"BitBtnGruenInBlau", "caption", 150}, {"BitBtnBlauInRot", "caption", 152},
        {"BitBtnBlauInGruen", "caption", 154}, {"RadioGroupFarben", "caption", 156},
        {"RadioGroupFarben", "item0", 158}, {"RadioGroupFarben", "item1", 159},
        {"RadioGroupFarben", "item2", 160}, {"SerienTabSheet01", "caption", 700},
        {"SerienTabSheet02", "caption", 701}, {"SerienTabSheet03", "caption", 702},
        {"SerienTabSheet04", "caption", 703}, {"GrafikTabSheet01", "caption", 725},
        {"GrafikTabSheet02", "caption", 726}, {"HauptTabSheet01", "caption", 730},
        {"HauptTabSheet02", "caption", 731}, {"HMenuDateiRueckgaengig", "caption", 801},
        {"HMenu_Datei", "caption", 802}, {"HMenuDateiRueckgaengig", "hint", 806},
        {"HMenuDateiOPT", "caption", 807}, {"HMenuDateiOPT", "hint", 808},
        {"HMenu_Sprache", "caption", 809}, {"HMenuDateiProgDeInst", "caption", 813},
        {"HMenu_ProgEnde", "caption", 815}, {"HMenu_ProgEnde", "hint", 816},
        {"HMenu_Aktionen", "caption", 817}, {"HMenu_DDS", "caption", 819},
        {"PM01_DDS", "caption", 819}, {"HMenu_DDS", "hint", 822}, {"PM01_DDS", "hint", 822},
        {"HMenu_DDL", "caption", 823}, {"PM01_DDL", "caption", 823}, {"HMenu_DDL", "hint", 824},
        {"PM01_DDL", "hint", 824}, {"HMenu_DV", "caption", 825}, {"PM01_DV", "caption", 825},
        {"HMenu_DV", "hint", 826}, {"PM01_DV", "hint", 826}, {"HMenu_IndexBilder", "caption", 827},
        {"PM01_IndexBilder", "caption", 827}, {"HMenu_IndexBilder", "hint", 828},
        {"PM01_IndexBilder", "hint", 828}, {"HMenu_Thumbnails", "caption", 829},
        {"PM01_Thumbnails", "caption", 829}, {"HMenu_Thumbnails", "hint", 830},
        {"PM01_Thumbnails", "hint", 830}, {"HMenu_AntiAlising", "caption", 831},
        {"PM01_AntiAlising", "caption", 831}, {"HMenu_Optimieren", "caption", 833},
        {"PM01_Optimieren", "caption", 833}, {"HMenu_SW", "caption", 835},
        {"PM01_SW", "caption", 835}, {"HMenu_BMP_JPG", "caption", 837},
        {"PM01_BMP_JPG", "caption", 837}, {"HMenu_Info", "caption", 839},
        {"HMenuInfoHilfe", "caption", 841}, {"HMenuInfoHilfe", "hint", 842},
        {"HMenu_InfoF", "caption", 843}, {"PM01_DateienMarkieren", "caption", 845},
        {"PM01_Eigenschaften", "caption", 847}, {"TB01Optionen", "hint", 808},
        {"TB01Hilfe", "hint", 842},
    // clang-format on
};

} // namespace

class TestTextBindings : public QObject {
    Q_OBJECT
    std::unique_ptr<THauptForm> m_window;

private slots:
    void initTestCase() { m_window = MakeWindow(); }
    void cleanupTestCase() {
        m_window.reset();
        SetLanguageOffset(0);
    }

    void controlCarriesItsEntry_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("role");
        QTest::addColumn<int>("id");
        for (const Binding& b : kBindings)
            QTest::addRow("%s %s %d", b.control, b.role, b.id)
                << QString::fromLatin1(b.control) << QString::fromLatin1(b.role) << b.id;
    }
    void controlCarriesItsEntry() {
        QFETCH(QString, control);
        QFETCH(QString, role);
        QFETCH(int, id);
        QObject* target = m_window->findChild<QObject*>(control);
        QVERIFY2(target, "no control of that name");
        for (const int offset : {0, 10000}) {
            SwitchLanguage(*m_window, offset);
            const QString expected = CatalogueEntry(id + offset);
            QVERIFY(!expected.isEmpty());
            if (role == QLatin1String("caption")) {
                QCOMPARE(ControlCaption(target), WithoutMnemonic(expected));
            } else if (role == QLatin1String("hint")) {
                const auto [tooltip, statusTip] = ControlHints(target);
                QCOMPARE(tooltip, expected);
                QCOMPARE(statusTip, expected);
            } else {
                auto* group = qobject_cast<RadioGroup*>(target);
                QVERIFY2(group, "not a radio group");
                const int item = role.mid(4).toInt();
                QVERIFY(item < group->count());
                QCOMPARE(WithoutMnemonic(group->items().at(item)), WithoutMnemonic(expected));
            }
        }
        SwitchLanguage(*m_window, 0);
    }
};

KELVASTO_REGISTER_TEST(TestTextBindings)
#include "test_text_bindings.moc"
