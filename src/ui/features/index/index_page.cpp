// SerienTabSheet02 "Indexbilder / Thumbnails": the index and thumbnail
// sub-pages, the switch between them and the destination group. Every control
// gets its name and start value here; the handlers are connected by the
// controller.

#include "ui/main_window/main_window_parts.h"

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
#include <QVBoxLayout>

namespace {

using parts::Button;
using parts::DestinationGroup;
using parts::Named;
using parts::NameEdit;
using parts::Rekursiv;
using parts::SpeedButtonPair;
using parts::UpDownEdit;

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
