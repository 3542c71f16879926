#pragma once
// TFormOptionen, the options dialog: working and start folder, the move-log
// name, hidden items, pictures in the file list, the screen settings, the
// pop-up thumbnail and the background of the file list. Created once at start
// and shown modally; each showing refills the controls from the settings; OK
// applies the choices to the running window and writes them to the store at
// once.

#include <QDialog>
#include <QImage>

#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class QTabWidget;
class THauptForm;

// The colours the own texture's text can take: {stored value 0x00BBGGRR,
// own-text key of its name}.
struct TextColourEntry {
    std::int32_t value;
    const char* nameKey;
};
extern const std::array<TextColourEntry, 16> kTextColours;

class TFormOptionen : public QDialog {
    Q_OBJECT
public:
    // The dialog works on `window`'s settings, file list and texture; the
    // window does not own it.
    explicit TFormOptionen(THauptForm& window);

    static constexpr int kWidth = 508;
    static constexpr int kHeight = 334;
    // The texture numbers of the seven background buttons.
    static constexpr int kOwnTexture = 6;

    void SpeedButton01Click();
    void SpeedButton02Click();
    void HL_SpeedButton01Click();
    void OptBitBtn01Click();
    void OptBitBtn02Click();
    // Gives the picture dialog the catalogue's texts.
    static void OpenPictureDialogShow(QFileDialog& dialog);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void linkCaptions();
    void FormShow();
    void applyTexts();
    QWidget* buildBasicTab();
    QWidget* buildSurfaceTab();
    QWidget* buildPopUpGroup(QWidget* parent);
    QWidget* buildBackgroundGroup(QWidget* parent);
    // The texture number of the selected background button; -1 for none.
    int selectedTexture() const;
    void applyBackground();
    void fitBackgroundList();
    void selectColour(std::int32_t value);
    std::int32_t selectedColour() const;

    THauptForm& m_window;
    std::array<QImage, 5> m_previews;
    std::array<QRadioButton*, 7> m_textureButtons{};
    std::array<QLabel*, 5> m_previewLabels{};
    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_workingFolder = nullptr;
    QLineEdit* m_startFolder = nullptr;
    QLineEdit* m_logName = nullptr;
    QCheckBox* m_hidden = nullptr;
    QCheckBox* m_listThumbnails = nullptr;
    QCheckBox* m_screen = nullptr;
    QCheckBox* m_popUps = nullptr;
    QSpinBox* m_popUpSize = nullptr;
    QSlider* m_opacity = nullptr;
    QScrollArea* m_scrollBox = nullptr;
    QLineEdit* m_texturePath = nullptr;
    QComboBox* m_colours = nullptr;
};
