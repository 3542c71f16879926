// SerienTabSheet03 "Sonstige Funktionen": the JPEG/BMP switch, the function
// buttons and the destination group.

#include "ui/features/functions/functions_page.h"
#include "ui/main_window/main_window_parts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
using parts::Button;
using parts::Named;
} // namespace

QWidget* BuildSeriesPageFunctions(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "SerienTabSheet03");
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    auto* switchRow = new QHBoxLayout;
    parts::SpeedButtonPair(page, switchRow, "FktSpeedButton01", "FktSpeedButton02");
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
    QGroupBox* destination = parts::DestinationGroup(page, QStringLiteral("Fkt"));
    side->addWidget(destination);
    side->addWidget(parts::Rekursiv(page, "FktRekursiv"));
    side->addStretch();
    layout->addLayout(side);
    parts::DestinationBesideOrBelow(page, layout, destination);
    return page;
}
