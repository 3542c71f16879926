#pragma once
// SerienTabSheet02 "Indexbilder / Thumbnails": both sub-pages and the
// destination group, with their control names.

class QWidget;

QWidget* BuildSeriesPageIndex(QWidget* parent);
