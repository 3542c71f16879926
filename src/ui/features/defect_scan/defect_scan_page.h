#pragma once
// SerienTabSheet01 "JPEGs Testen": the shared destination row and an empty
// GrafikPageControl01, to which the defect scan and the reduction add their
// sub-pages.

class QWidget;

QWidget* BuildSeriesPageDefects(QWidget* parent);
