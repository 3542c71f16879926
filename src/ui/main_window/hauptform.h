#pragma once
// The main window.

#include <QMainWindow>

class THauptForm : public QMainWindow {
    Q_OBJECT
public:
    explicit THauptForm(QWidget* parent = nullptr);
    ~THauptForm() override;
};
