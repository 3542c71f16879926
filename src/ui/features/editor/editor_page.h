#pragma once
// HauptTabSheet02, the single-picture editor's page: its toolbar, the two
// picture panes and the effect panel, with their control names.

class QWidget;

QWidget* BuildEditorPage(QWidget* parent);
