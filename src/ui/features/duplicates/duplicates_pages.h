#pragma once
// The duplicate search's pages, with their control names.

class QWidget;

// SerienTabSheet04 "Duplikate suchen" with DupPageControl01, whose first
// sub-page holds the search's three buttons.
QWidget* BuildSeriesPageDuplicates(QWidget* parent);
// The duplicate result list and its buttons, a page of HauptNotebook01.
QWidget* BuildDuplicateResultPage(QWidget* parent);
