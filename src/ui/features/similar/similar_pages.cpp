// The similar-picture search's sub-page DupTabSheet02 on the duplicates tab
// and its result page ErgebnisAehnlich among the pages of HauptNotebook01.

#include "ui/features/similar/similar_pages.h"

#include "jobs/similar/find_similar.h"
#include "ui/features/similar/similar_result_view.h"
#include "ui/language/accessible_names.h"
#include "ui/main_window/main_window_parts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using parts::Button;
using parts::Named;

QWidget* BuildSimilarSearchPage(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "DupTabSheet02");
    auto* layout = new QVBoxLayout(page);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button(page, "BitBtnSimSuchen", 200));
    auto* result = Button(page, "BitBtnSimErgebnis", 170);
    parts::SetTag(result, 0);
    buttons->addWidget(result);
    buttons->addStretch();
    layout->addLayout(buttons);
    auto* thresholdRow = new QHBoxLayout;
    thresholdRow->addWidget(Named(new QLabel(page), "LabelSimSchwelle"));
    // Typing works here: the value is checked by the box's range.
    thresholdRow->addWidget(parts::NumberEdit(page, kSimilarityThreshold, false));
    thresholdRow->addStretch();
    layout->addLayout(thresholdRow);
    layout->addWidget(Named(new QCheckBox(page), "CheckBoxSimGleichesBild"));
    layout->addStretch();
    return page;
}

QWidget* BuildSimilarResultPage(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "ErgebnisAehnlich");
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* groups = Named(new SimilarResultView(page), "ListView_Sim01");
    NameByOwnText(groups, "a11y.similar");
    layout->addWidget(groups, 1);
    auto* bar = Named(new QWidget(page), "PanelSim01");
    auto* buttons = new QHBoxLayout(bar);
    for (const char* name : {"BitBtn_Sim01", "BitBtn_Sim02", "BitBtn_Sim03"})
        buttons->addWidget(Button(bar, name));
    buttons->addStretch();
    layout->addWidget(bar);
    return page;
}
