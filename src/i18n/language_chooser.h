#pragma once
// The language chooser: German or English, and whether to ask at every start.

#include <QDialog>

#include <functional>

struct AppSettings;

class TfrmSprache : public QDialog {
    Q_OBJECT
public:
    // `applyLanguage` pushes the texts onto the main window (ApplyLanguage);
    // OK calls it after setting the new language.
    TfrmSprache(AppSettings& settings, std::function<void()> applyLanguage,
                QWidget* parent = nullptr);
};
