#pragma once
// The language chooser.

#include <QDialog>

class TfrmSprache : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSprache(QWidget* parent = nullptr);
};
