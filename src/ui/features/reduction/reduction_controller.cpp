#include "ui/features/reduction/reduction_controller.h"

#include "jobs/framework/job_controls.h"
#include "jobs/reduction/reduce_jpegs.h"
#include "ui/features/guarded_connect.h"
#include "ui/main_window/main_window_parts.h"
#include "ui/widgets/radio_group.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

ReductionController::ReductionController(THauptForm& window) : FeatureController(window) {}

void ReductionController::build(const FeaturePlaces&) {
    // The defect scan's series tab holds the sub-pages.
    auto* pictureTabs = control<QTabWidget>(QStringLiteral("GrafikPageControl01"));
    pictureTabs->addTab(buildReductionTab(pictureTabs), QString());
    // The abort button stands on the progress page; the menu and pop-up
    // entries are the button's twins.
    onClick(QStringLiteral("BitBtn_DV02"), &ReductionController::BitBtn_DV02Click);
    for (const char* twin : {"HMenu_DV", "PM01_DV"})
        onTrigger(QString::fromLatin1(twin), &ReductionController::BitBtn_DV01Click);
}

QWidget* ReductionController::buildReductionTab(QWidget* parent) {
    auto* page = parts::Named(new QWidget(parent), "GrafikTabSheet02");
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(6, 4, 6, 4);
    auto* radio = new RadioGroup(QStringLiteral("RadioGroup_DV01"), page);
    radio->setItems(
        {QStringLiteral("Originaldateien verkleinern"), QStringLiteral("Kopien verkleinern")});
    radio->setItemIndex(0);
    layout->addWidget(radio, 0, Qt::AlignTop);
    // The button stands below the check boxes: three columns would not fit
    // beside the progress panel at the window's minimum width.
    auto* checks = new QVBoxLayout;
    checks->setSpacing(2);
    for (const char* name : {"CheckBox_DV02", "CheckBox_DV03", "CheckBox_DV04"})
        checks->addWidget(parts::Named(new QCheckBox(page), name));
    checks->addSpacing(4);
    auto* start = parts::Button(page, "BitBtn_DV01", 150);
    ConnectGuarded(start, &QAbstractButton::clicked, this, [this] { BitBtn_DV01Click(); });
    checks->addWidget(start, 0, Qt::AlignLeft);
    checks->addStretch();
    layout->addLayout(checks);
    layout->addStretch();
    return page;
}

void ReductionController::BitBtn_DV01Click() {
    window().showProgressPage(kReductionPage);
    parts::SetTag(control<QWidget>(QStringLiteral("BitBtn_DV02")), 0);
    ReduceJpegsOptions options;
    options.recursive = control<QCheckBox>(QStringLiteral("GrafikRekursiv"))->isChecked();
    options.copies = control<RadioGroup>(QStringLiteral("RadioGroup_DV01"))->itemIndex() == 1;
    options.destination = control<QLineEdit>(QStringLiteral("GrafikZielverzeichnis"))->text();
    options.remove.programSegments =
        control<QCheckBox>(QStringLiteral("CheckBox_DV02"))->isChecked();
    options.remove.comment = control<QCheckBox>(QStringLiteral("CheckBox_DV03"))->isChecked();
    options.remove.trailingData = control<QCheckBox>(QStringLiteral("CheckBox_DV04"))->isChecked();
    ReduceJpegs(window().jobHost(), options);
}

void ReductionController::BitBtn_DV02Click() {
    parts::SetTag(control<QWidget>(QStringLiteral("BitBtn_DV02")), 0);
    window().stopFlags().JpegJobStop = 1;
}
