// The four series tabs: the set-up of each batch job not yet built by its
// feature controller. The job handlers are connected elsewhere; here every
// control gets its name and start value, and the jobs read the destination
// group through ReadDestinationGroup.

#include "ui/main_window/main_window_parts.h"

#include "ui/widgets/radio_group.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using parts::Button;
using parts::Named;

// Wide enough for a file name's stem or a folder's name to be read whole.
constexpr int kNameFieldWidth = 100;
constexpr int kFolderFieldWidth = 160;

QLineEdit* ReadOnlyField(QWidget* parent, const char* name) {
    auto* field = Named(new QLineEdit(parent), name);
    field->setReadOnly(true);
    field->setCursor(Qt::PointingHandCursor);
    return field;
}

// An edit with up-down arrows; the user changes it by the arrows only.
QSpinBox* UpDownEdit(QWidget* parent, const char* name, int minimum, int maximum, int step,
                     int value, bool readOnly = true) {
    auto* edit = Named(new QSpinBox(parent), name);
    edit->setRange(minimum, maximum);
    edit->setSingleStep(step);
    edit->setValue(value);
    edit->setReadOnly(false);
    edit->setMinimumWidth(56);
    if (readOnly)
        edit->findChild<QLineEdit*>()->setReadOnly(true);
    return edit;
}

// Two speed buttons of one group, the first down.
void SpeedButtonPair(QWidget* parent, QBoxLayout* layout, const char* first, const char* second) {
    auto* group = new QButtonGroup(parent);
    for (const char* name : {first, second}) {
        auto* button = Named(new QToolButton(parent), name);
        button->setCheckable(true);
        button->setMinimumWidth(110);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        group->addButton(button);
        layout->addWidget(button);
    }
    group->buttons().first()->setChecked(true);
    layout->addStretch();
}

// The destination group shared by the index page and the batch-functions page.
QGroupBox* DestinationGroup(QWidget* parent, const QString& prefix) {
    auto* box = new QGroupBox(parent);
    box->setObjectName(prefix + (prefix == QLatin1String("Idx") ? QStringLiteral("GroupBox03")
                                                                : QStringLiteral("GroupBox01")));
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(3);
    auto radio = [&](int n) {
        auto* button = new QRadioButton(box);
        button->setObjectName(prefix + QStringLiteral("ZielRadioButton0") + QString::number(n));
        return button;
    };
    auto* field = new QLineEdit(box);
    field->setObjectName(prefix + QStringLiteral("Zielverzeichnis"));
    field->setReadOnly(true);
    field->setCursor(Qt::PointingHandCursor);
    field->setMinimumWidth(kFolderFieldWidth);
    auto* subFolder = new QLineEdit(QStringLiteral("Index"), box);
    subFolder->setObjectName(prefix + QStringLiteral("Unterverzeichnis"));
    subFolder->setMinimumWidth(kNameFieldWidth);
    QRadioButton* source = radio(2);
    grid->addWidget(radio(1), 0, 0);
    grid->addWidget(field, 1, 0);
    grid->addWidget(source, 2, 0);
    grid->addWidget(radio(3), 3, 0);
    grid->addWidget(subFolder, 4, 0);
    source->setChecked(true);
    return box;
}

// A short text field of a naming group.
QLineEdit* NameEdit(QWidget* parent, const char* name) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMinimumWidth(kNameFieldWidth);
    return edit;
}

QCheckBox* Rekursiv(QWidget* parent, const char* name) {
    return Named(new QCheckBox(parent), name);
}

QWidget* IndexSubPage(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "IdxNotebook01Page0");
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* counts = new QGridLayout;
    counts->setVerticalSpacing(2);
    auto countLabel = [page](const char* name) { return Named(new QLabel(page), name); };
    counts->addWidget(countLabel("IdxLabel01"), 0, 0);
    counts->addWidget(UpDownEdit(page, "IdxEdit01", 1, 32000, 1, 42), 0, 1, Qt::AlignVCenter);
    counts->addWidget(countLabel("IdxLabel02"), 1, 0);
    counts->addWidget(UpDownEdit(page, "IdxEdit02", 1, 32000, 1, 7), 1, 1, Qt::AlignVCenter);
    counts->addWidget(countLabel("IdxLabel03"), 2, 0);
    counts->addWidget(UpDownEdit(page, "IdxEdit03", 40, 500, 5, 100), 2, 1, Qt::AlignVCenter);
    counts->addWidget(Button(page, "IdxBitBtn01", 150), 3, 0, 1, 2);
    counts->setRowStretch(4, 1);
    layout->addLayout(counts);

    auto* naming = Named(new QGroupBox(page), "IdxGroupBox01");
    auto* grid = new QGridLayout(naming);
    grid->setVerticalSpacing(2);
    grid->addWidget(Named(new QRadioButton(naming), "IdxRadioButton01"), 0, 0, 1, 2);
    auto* stem = Named(new QRadioButton(naming), "IdxRadioButton02");
    stem->setChecked(true);
    grid->addWidget(stem, 1, 0);
    grid->addWidget(NameEdit(naming, "IdxStammname"), 1, 1);
    grid->addWidget(Named(new QLabel(naming), "IdxLabel04"), 2, 0);
    grid->addWidget(NameEdit(naming, "IdxPraefix"), 2, 1);
    grid->addWidget(Named(new QLabel(naming), "IdxLabel05"), 3, 0);
    grid->addWidget(NameEdit(naming, "IdxPostfix"), 3, 1);
    layout->addWidget(naming);

    auto* series = Named(new QGroupBox(page), "IdxGroupBox02");
    auto* seriesGrid = new QGridLayout(series);
    auto* allEqual = Named(new QRadioButton(series), "IdxSRadioButton01");
    allEqual->setChecked(true);
    seriesGrid->addWidget(allEqual, 0, 0);
    seriesGrid->addWidget(Named(new QLabel(series), "IdxSLabel01"), 0, 1, 1, 2);
    seriesGrid->addWidget(Named(new QRadioButton(series), "IdxSRadioButton02"), 1, 0);
    seriesGrid->addWidget(Named(new QLabel(series), "IdxSLabel02"), 1, 1);
    seriesGrid->addWidget(UpDownEdit(series, "IdxAnzahlEdit", 1, 255, 1, 5, false), 1, 2);
    series->hide();
    layout->addWidget(series);
    layout->addStretch();
    return page;
}

QWidget* ThumbnailSubPage(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "IdxNotebook01Page1");
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* size = new QGridLayout;
    size->addWidget(Named(new QLabel(page), "ThumbLabel01"), 0, 0);
    size->addWidget(UpDownEdit(page, "ThumbGroesse", 10, 300, 5, 100), 0, 1);
    size->addWidget(Button(page, "ThumbBitBtn01", 150), 1, 0, 1, 2);
    size->setRowStretch(2, 1);
    layout->addLayout(size);
    auto* naming = Named(new QGroupBox(page), "ThumbGroupBox01");
    auto* grid = new QGridLayout(naming);
    grid->addWidget(Named(new QLabel(naming), "ThumbLabel02"), 0, 0);
    grid->addWidget(NameEdit(naming, "ThumbPraefix"), 0, 1);
    grid->addWidget(Named(new QLabel(naming), "ThumbLabel03"), 1, 0);
    auto* postfix = NameEdit(naming, "ThumbPostfix");
    postfix->setText(QStringLiteral("_thumb"));
    grid->addWidget(postfix, 1, 1);
    layout->addWidget(naming, 0, Qt::AlignTop);
    layout->addStretch();
    return page;
}

} // namespace

QWidget* BuildSeriesPageDefects(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "SerienTabSheet01");
    auto* layout = new QVBoxLayout(page);
    // Destination and the sub-folder box in one row above the two tools, so
    // that both fit beside the progress panel at the window's minimum width.
    auto* top = new QHBoxLayout;
    top->addWidget(Named(new QLabel(page), "GrafikLabel01"));
    top->addWidget(ReadOnlyField(page, "GrafikZielverzeichnis"), 1);
    top->addSpacing(12);
    top->addWidget(Rekursiv(page, "GrafikRekursiv"));
    layout->addLayout(top);
    layout->addWidget(Named(new QTabWidget(page), "GrafikPageControl01"), 1);
    return page;
}

QWidget* BuildSeriesPageIndex(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "SerienTabSheet02");
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    // Counts, naming and destination need more width than the smallest
    // window leaves: rather than wrap captions and squeeze the name fields,
    // the page scrolls sideways there.
    auto* scroller = new QScrollArea(page);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pageLayout->addWidget(scroller);
    auto* content = new QWidget(scroller);
    auto* layout = new QHBoxLayout(content);
    layout->setContentsMargins(6, 4, 6, 0);
    auto* left = new QVBoxLayout;
    auto* switchRow = new QHBoxLayout;
    SpeedButtonPair(content, switchRow, "IdxSpeedButton01", "IdxSpeedButton02");
    // Beside the switch rather than below the destination: the panel is
    // too low for both there.
    switchRow->insertSpacing(2, 16);
    switchRow->insertWidget(3, Rekursiv(content, "IdxRekursiv"));
    left->addLayout(switchRow);
    auto* notebook = Named(new QStackedWidget(content), "IdxNotebook01");
    notebook->addWidget(IndexSubPage(notebook));
    notebook->addWidget(ThumbnailSubPage(notebook));
    left->addWidget(notebook, 1);
    layout->addLayout(left, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(DestinationGroup(content, QStringLiteral("Idx")));
    side->addStretch();
    layout->addLayout(side);
    scroller->setWidget(content);
    // The tab's own background shows through, as on the other tabs.
    scroller->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    return page;
}

QWidget* BuildSeriesPageFunctions(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "SerienTabSheet03");
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    auto* switchRow = new QHBoxLayout;
    SpeedButtonPair(page, switchRow, "FktSpeedButton01", "FktSpeedButton02");
    left->addLayout(switchRow);
    auto* notebook = Named(new QStackedWidget(page), "FktNotebook01");
    auto* jpeg = Named(new QWidget(notebook), "FktNotebook01Page0");
    auto* jpegButtons = new QHBoxLayout(jpeg);
    jpegButtons->setContentsMargins(0, 8, 0, 0);
    for (const char* name : {"FktBB_AntiAlising", "FktBB_Optimieren", "FktBB_SW"})
        jpegButtons->addWidget(Button(jpeg, name, 110), 0, Qt::AlignTop);
    jpegButtons->addStretch();
    auto* bmp = Named(new QWidget(notebook), "FktNotebook01Page1");
    auto* bmpButtons = new QHBoxLayout(bmp);
    bmpButtons->setContentsMargins(0, 8, 0, 0);
    bmpButtons->addWidget(Button(bmp, "FktBB_BMP_JPEG", 110), 0, Qt::AlignTop);
    bmpButtons->addStretch();
    notebook->addWidget(jpeg);
    notebook->addWidget(bmp);
    left->addWidget(notebook, 1);
    layout->addLayout(left, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(DestinationGroup(page, QStringLiteral("Fkt")));
    side->addWidget(Rekursiv(page, "FktRekursiv"));
    side->addStretch();
    layout->addLayout(side);
    return page;
}

QWidget* BuildSeriesPageDuplicates(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "SerienTabSheet04");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Button(page, "BitBtnDupSuchen", 200), 0, Qt::AlignLeft);
    auto* result = Button(page, "BitBtnDupErgebnis", 200);
    parts::SetTag(result, 0);
    layout->addWidget(result, 0, Qt::AlignLeft);
    layout->addSpacing(12);
    layout->addWidget(Button(page, "BitBtnDupLeereOrdner", 200), 0, Qt::AlignLeft);
    layout->addStretch();
    return page;
}

DestinationChoice ReadDestinationGroup(const QWidget& window, const QString& prefix) {
    auto control = [&window, &prefix](const char* name) {
        return window.findChild<QWidget*>(prefix + QString::fromLatin1(name));
    };
    DestinationChoice choice;
    if (static_cast<QRadioButton*>(control("ZielRadioButton01"))->isChecked())
        choice.kind = DestinationKind::SetFolder;
    else if (static_cast<QRadioButton*>(control("ZielRadioButton03"))->isChecked())
        choice.kind = DestinationKind::SubFolder;
    choice.setFolder = static_cast<QLineEdit*>(control("Zielverzeichnis"))->text();
    choice.subFolder = static_cast<QLineEdit*>(control("Unterverzeichnis"))->text();
    return choice;
}

namespace parts {
QPushButton* Button(QWidget* parent, const char* name, int minimumWidth) {
    auto* button = Named(new QPushButton(parent), name);
    button->setMinimumWidth(minimumWidth);
    button->setMinimumHeight(26);
    return button;
}
int Tag(const QWidget* widget) {
    return widget ? widget->property("Tag").toInt() : 0;
}
void SetTag(QWidget* widget, int tag) {
    widget->setProperty("Tag", tag);
}
} // namespace parts
