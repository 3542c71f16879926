// SerienTabSheet02 "Indexbilder / Thumbnails": the index and thumbnail
// sub-pages, the switch between them and the destination group. Every control
// gets its name and start value here; the handlers are connected by the
// controller.

#include "ui/features/index/index_page.h"

#include "jobs/index/index_number_options.h"
#include "ui/language/accessible_names.h"
#include "ui/main_window/main_window_parts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <tuple>

namespace {

using parts::Button;
using parts::Caption;
using parts::DestinationGroup;
using parts::Named;
using parts::NameEdit;
using parts::NumberEdit;
using parts::Rekursiv;
using parts::SpeedButtonPair;

QWidget* IndexSubPage(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "IdxNotebook01Page0");
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* counts = new QGridLayout;
    counts->setVerticalSpacing(2);
    const std::tuple<const char*, const NumberOption&> countRows[] = {
        {"IdxLabel01", kIndexPerSheet},
        {"IdxLabel02", kIndexPerRow},
        {"IdxLabel03", kIndexSide},
    };
    int row = 0;
    for (const auto& [label, option] : countRows) {
        QSpinBox* count = NumberEdit(page, option);
        counts->addWidget(Caption(page, label, count), row, 0);
        counts->addWidget(count, row++, 1, Qt::AlignVCenter);
    }
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
    QLineEdit* stemName = NameEdit(naming, "IdxStammname");
    NameBy(stemName, stem);
    grid->addWidget(stemName, 1, 1);
    // Each field its own name: the group's title names none of them.
    QLineEdit* prefix = NameEdit(naming, "IdxPraefix");
    grid->addWidget(Caption(naming, "IdxLabel04", prefix), 2, 0);
    grid->addWidget(prefix, 2, 1);
    QLineEdit* postfix = NameEdit(naming, "IdxPostfix");
    grid->addWidget(Caption(naming, "IdxLabel05", postfix), 3, 0);
    grid->addWidget(postfix, 3, 1);
    layout->addWidget(naming);

    auto* series = Named(new QGroupBox(page), "IdxGroupBox02");
    auto* seriesGrid = new QGridLayout(series);
    // The radio buttons have no caption of their own; the labels beside
    // them name them.
    auto* allEqual = Named(new QRadioButton(series), "IdxSRadioButton01");
    allEqual->setChecked(true);
    seriesGrid->addWidget(allEqual, 0, 0);
    auto* allEqualLabel = Named(new QLabel(series), "IdxSLabel01");
    NameBy(allEqual, allEqualLabel);
    seriesGrid->addWidget(allEqualLabel, 0, 1, 1, 2);
    auto* firstChars = Named(new QRadioButton(series), "IdxSRadioButton02");
    seriesGrid->addWidget(firstChars, 1, 0);
    QSpinBox* charCount = NumberEdit(series, kSeriesFirstChars, false);
    QLabel* charCountLabel = Caption(series, "IdxSLabel02", charCount);
    NameBy(firstChars, charCountLabel);
    seriesGrid->addWidget(charCountLabel, 1, 1);
    seriesGrid->addWidget(charCount, 1, 2);
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
    QSpinBox* side = NumberEdit(page, kThumbnailSide);
    size->addWidget(Caption(page, "ThumbLabel01", side), 0, 0);
    size->addWidget(side, 0, 1);
    size->addWidget(Button(page, "ThumbBitBtn01", 150), 1, 0, 1, 2);
    size->setRowStretch(2, 1);
    layout->addLayout(size);
    auto* naming = Named(new QGroupBox(page), "ThumbGroupBox01");
    auto* grid = new QGridLayout(naming);
    QLineEdit* prefix = NameEdit(naming, "ThumbPraefix");
    grid->addWidget(Caption(naming, "ThumbLabel02", prefix), 0, 0);
    grid->addWidget(prefix, 0, 1);
    auto* postfix = NameEdit(naming, "ThumbPostfix");
    postfix->setText(QStringLiteral("_thumb"));
    grid->addWidget(Caption(naming, "ThumbLabel03", postfix), 1, 0);
    grid->addWidget(postfix, 1, 1);
    layout->addWidget(naming, 0, Qt::AlignTop);
    layout->addStretch();
    return page;
}

} // namespace

QWidget* BuildSeriesPageIndex(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "SerienTabSheet02");
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(6, 4, 6, 0);
    auto* left = new QVBoxLayout;
    auto* switchRow = new QHBoxLayout;
    SpeedButtonPair(page, switchRow, "IdxSpeedButton01", "IdxSpeedButton02");
    // Beside the switch rather than below the destination: the panel is
    // too low for both there.
    switchRow->insertSpacing(2, 16);
    switchRow->insertWidget(3, Rekursiv(page, "IdxRekursiv"));
    left->addLayout(switchRow);
    auto* notebook = Named(new QStackedWidget(page), "IdxNotebook01");
    notebook->addWidget(IndexSubPage(notebook));
    notebook->addWidget(ThumbnailSubPage(notebook));
    left->addWidget(notebook, 1);
    layout->addLayout(left, 1);
    auto* side = new QVBoxLayout;
    QGroupBox* destination = DestinationGroup(page, QStringLiteral("Idx"));
    side->addWidget(destination);
    side->addStretch();
    layout->addLayout(side);
    // Counts, naming and destination need more width than the smallest
    // window leaves: the destination goes below the rest there.
    parts::DestinationBesideOrBelow(page, layout, destination);
    return page;
}
