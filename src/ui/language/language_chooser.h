#pragma once
// The language chooser: German or English, and whether to ask at every start.
// Shown modally at start when "Sprachwahl" is true and from the language menu.

#include <QDialog>

#include <functional>

struct AppSettings;
class QCheckBox;
class QRadioButton;

class TfrmSprache : public QDialog {
    Q_OBJECT
public:
    // `applyLanguage` pushes the texts onto the main window (ApplyLanguage);
    // OK calls it after setting the new language.
    TfrmSprache(AppSettings& settings, std::function<void()> applyLanguage,
                QWidget* parent = nullptr);

    // Client-area size of the window at the design's font; it grows where a
    // larger font needs more room.
    static constexpr int kClientWidth = 266;
    static constexpr int kClientHeight = 243;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();

    AppSettings& m_settings;
    std::function<void()> m_applyLanguage;
    QRadioButton* m_german = nullptr;
    QRadioButton* m_english = nullptr;
    QCheckBox* m_showAtStart = nullptr;
};
