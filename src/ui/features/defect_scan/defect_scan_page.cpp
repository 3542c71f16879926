// SerienTabSheet01 "JPEGs Testen": the shared destination row and an empty
// GrafikPageControl01 for the defect-scan and reduction sub-pages, which
// their controllers add.

#include "ui/features/defect_scan/defect_scan_page.h"
#include "ui/main_window/main_window_parts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

using parts::Named;

QWidget* BuildSeriesPageDefects(QWidget* parent) {
    auto* page = Named(new QWidget(parent), "SerienTabSheet01");
    auto* layout = new QVBoxLayout(page);
    // Destination and the sub-folder box in one row above the two tools, so
    // that both fit beside the progress panel at the window's minimum width.
    auto* top = new QHBoxLayout;
    auto* caption = Named(new QLabel(page), "GrafikLabel01");
    QLineEdit* destination = parts::ReadOnlyField(page, "GrafikZielverzeichnis");
    caption->setBuddy(destination);
    top->addWidget(caption);
    top->addWidget(destination, 1);
    top->addSpacing(12);
    top->addWidget(parts::Rekursiv(page, "GrafikRekursiv"));
    layout->addLayout(top);
    layout->addWidget(Named(new QTabWidget(page), "GrafikPageControl01"), 1);
    return page;
}
