#pragma once
// The main window.

#include "app/app_settings.h"

#include <QMainWindow>

class TfrmSprache;

class THauptForm : public QMainWindow {
    Q_OBJECT
public:
    explicit THauptForm(QWidget* parent = nullptr);
    ~THauptForm() override;

    AppSettings& settings() { return m_settings; }
    void ApplyLanguage();
    void setLanguageChooser(TfrmSprache* chooser) { m_chooser = chooser; }

private:
    AppSettings m_settings;
    TfrmSprache* m_chooser = nullptr;
};
