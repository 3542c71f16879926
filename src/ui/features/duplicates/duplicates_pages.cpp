// SerienTabSheet04 "Duplikate suchen": its sub-pages DupPageControl01, the
// first with the duplicate search's three buttons (the similar-picture search
// adds its own); and the duplicate result page (page 1 of HauptNotebook01)
// with its list and buttons.

#include "ui/features/duplicates/duplicates_pages.h"
#include "ui/language/accessible_names.h"
#include "ui/main_window/main_window_parts.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using parts::Button;
using parts::Named;

QWidget* BuildSeriesPageDuplicates(QWidget* parent) {
    auto* tab = Named(new QWidget(parent), "SerienTabSheet04");
    auto* tabLayout = new QVBoxLayout(tab);
    tabLayout->setContentsMargins(2, 2, 2, 2);
    auto* subPages = Named(new QTabWidget(tab), "DupPageControl01");
    tabLayout->addWidget(subPages);
    auto* page = Named(new QWidget(subPages), "DupTabSheet01");
    subPages->addTab(page, QString());
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Button(page, "BitBtnDupSuchen", 200), 0, Qt::AlignLeft);
    auto* result = Button(page, "BitBtnDupErgebnis", 200);
    parts::SetTag(result, 0);
    layout->addWidget(result, 0, Qt::AlignLeft);
    layout->addSpacing(12);
    layout->addWidget(Button(page, "BitBtnDupLeereOrdner", 200), 0, Qt::AlignLeft);
    layout->addStretch();
    return tab;
}

QWidget* BuildDuplicateResultPage(QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("ErgebnisDuplikate"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* list = new QListWidget(page);
    list->setObjectName(QStringLiteral("ListBox_Dup02"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    NameByOwnText(list, "a11y.duplicates");
    layout->addWidget(list, 1);
    auto* bar = new QWidget(page);
    bar->setObjectName(QStringLiteral("PanelDup01"));
    auto* buttons = new QHBoxLayout(bar);
    for (const char* name : {"BitBtn_Dup01", "BitBtn_Dup02", "BitBtn_Dup03"}) {
        auto* button = new QPushButton(bar);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumWidth(170);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addWidget(bar);
    return page;
}
