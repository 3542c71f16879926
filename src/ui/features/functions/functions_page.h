#pragma once
// SerienTabSheet03 "Sonstige Funktionen": the JPEG and BMP sub-pages and the
// destination group, with their control names.

class QWidget;

QWidget* BuildSeriesPageFunctions(QWidget* parent);
