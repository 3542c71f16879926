// HauptTabSheet02: the single-picture editor's toolbar, the two picture panes
// (black with a red frame) and the effect panel.

#include "ui/features/editor/editor_page.h"
#include "ui/main_window/main_window_parts.h"

#include "ui/language/accessible_names.h"
#include "ui/main_window/toolbar_icons.h"
#include "ui/widgets/radio_group.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// EinzelShape01/02: black fill, red border two pixels wide.
class FrameShape : public QWidget {
public:
    FrameShape(const char* name, QWidget* parent) : QWidget(parent) {
        setObjectName(QString::fromLatin1(name));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::red);
        p.fillRect(rect().adjusted(2, 2, -2, -2), Qt::black);
    }
};

// One half of the display area; the shape always fills it, the picture is
// placed by the window's resize handling.
class PicturePane : public QWidget {
public:
    PicturePane(const char* name, const char* shape, const char* image, QWidget* parent)
        : QWidget(parent), m_shape(new FrameShape(shape, this)), m_image(new QLabel(this)) {
        setObjectName(QString::fromLatin1(name));
        m_image->setObjectName(QString::fromLatin1(image));
        m_image->setScaledContents(true);
        m_image->setGeometry(2, 2, 1, 1);
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        m_shape->setGeometry(rect());
        m_shape->lower();
    }

private:
    FrameShape* m_shape;
    QLabel* m_image;
};

QPushButton* EffectButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    // No fixed minimum width: one would override the caption's own size hint
    // and let the layout squeeze a long caption (German, a large font).
    return button;
}

QWidget* EffectPanel(QWidget* parent) {
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName(QStringLiteral("PageControlED01"));
    parts::KeepDesignHeight(tabs, 200);
    auto* page = new QWidget(tabs);
    page->setObjectName(QStringLiteral("EinzelTabSheet01"));
    auto* layout = new QHBoxLayout(page);

    auto* effects = new QGridLayout;
    // The two mirror buttons, the longest captions, share the right-hand
    // column, so the three groups fit side by side at the smallest window.
    const char* effectNames[] = {"BitBtnInvertieren", "BitBtnSchwarzWeiss", "BitBtnAntiAlising",
                                 "BitBtnSchaerfen",   "BitBtnOptimieren",   "BitBtnSpiegelungHor",
                                 "BitBtnUndo",        "BitBtnSpiegelungVer"};
    for (int i = 0; i < 8; ++i)
        effects->addWidget(EffectButton(page, effectNames[i]), i / 2, i % 2);
    effects->setRowStretch(4, 1);
    layout->addLayout(effects);
    layout->addSpacing(8);

    auto* adjust = new QGridLayout;
    const char* adjustNames[] = {"BitBtnHelligkeit01", "BitBtnHelligkeit02", "BitBtnKontrast01",
                                 "BitBtnKontrast02",   "BitBtnSaettigung01", "BitBtnSaettigung02"};
    for (int i = 0; i < 6; ++i)
        adjust->addWidget(EffectButton(page, adjustNames[i]), i / 2, i % 2);
    adjust->setRowStretch(3, 1);
    layout->addLayout(adjust);
    layout->addSpacing(8);

    auto* colours = new QGroupBox(page);
    colours->setObjectName(QStringLiteral("PanelFarben"));
    auto* colourGrid = new QGridLayout(colours);
    const char* channelNames[] = {"BitBtnRotInGruen",  "BitBtnRotInBlau", "BitBtnGruenInRot",
                                  "BitBtnGruenInBlau", "BitBtnBlauInRot", "BitBtnBlauInGruen"};
    for (int i = 0; i < 6; ++i)
        colourGrid->addWidget(EffectButton(colours, channelNames[i]), i / 2, i % 2);
    auto* percentRow = new QHBoxLayout;
    auto* percent = new QLineEdit(QStringLiteral("12,5"), colours);
    percent->setObjectName(QStringLiteral("EditFarbeProzent"));
    percent->setMaximumWidth(60);
    NameByOwnText(percent, "a11y.colourPercent");
    percentRow->addWidget(percent);
    auto* sign = new QLabel(QStringLiteral("%"), colours);
    sign->setObjectName(QStringLiteral("LabelFarbeProzent"));
    percentRow->addWidget(sign);
    percentRow->addStretch();
    colourGrid->addLayout(percentRow, 3, 0, 1, 2);
    auto* mode = new RadioGroup(QStringLiteral("RadioGroupFarben"), colours);
    mode->setItems({QStringLiteral("Angleichen"), QStringLiteral("Umwandlung"),
                    QStringLiteral("Kanaltausch")});
    mode->setItemIndex(0);
    colourGrid->addWidget(mode, 0, 2, 4, 1);
    layout->addWidget(colours, 0, Qt::AlignTop);
    layout->addStretch();

    tabs->addTab(page, QString());
    return tabs;
}

} // namespace

QWidget* BuildEditorPage(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("HauptTabSheet02"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* toolbar = new QToolBar(page);
    toolbar->setObjectName(QStringLiteral("HauptToolBar02"));
    toolbar->setMinimumHeight(29);
    toolbar->setIconSize(QSize(16, 16));
    auto* load = toolbar->addAction(ToolbarIcon(4), QString());
    load->setObjectName(QStringLiteral("TB02LoadPic"));
    auto* save = toolbar->addAction(ToolbarIcon(5), QString());
    save->setObjectName(QStringLiteral("TB02SavePic"));
    ReachToolBarByKeyboard(toolbar);
    // Beside the toolbar, not in it: the name of the picture the page holds,
    // its whole path in the tooltip. The toolbar keeps only commands.
    auto* bar = new QWidget(page);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(toolbar);
    auto* name = new QLabel(bar);
    name->setObjectName(QStringLiteral("LabelBildName"));
    name->setContentsMargins(6, 0, 6, 0);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    row->addWidget(name, 1);
    layout->addWidget(bar);

    // The two halves are placed by the window's resize handling.
    auto* display = new QWidget(page);
    display->setObjectName(QStringLiteral("EinzelNotebook01"));
    new PicturePane("EinzelNotebook01a", "EinzelShape01", "EinzelImage01", display);
    new PicturePane("EinzelNotebook01b", "EinzelShape02", "EinzelImage02", display);
    layout->addWidget(display, 1);

    auto* bevel = new QFrame(page);
    bevel->setObjectName(QStringLiteral("EinzelBevel01"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(bevel);
    layout->addWidget(EffectPanel(page));
    return page;
}
