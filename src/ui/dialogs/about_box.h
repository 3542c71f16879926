#pragma once
// TInfoF, the about box: the program's name and version on the white-to-silver
// gradient, its licence, a link to the maker's web page, one to start a mail
// to him, and a button that closes the box. A link that no program can open
// says so. No frame, no title bar; it lives for the whole
// run and is shown modally, centred over the main window.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The maker's web page and mail address behind the two links.
inline const QString kMakerHomepage = QStringLiteral("https://kelvasto.example.org/");
inline const QString kMakerMail = QStringLiteral("mailto:autor@kelvasto.example.org");

class TInfoF : public QDialog {
    Q_OBJECT
public:
    // `owner` is the window the box is centred over each time it shows; it
    // does not own the box.
    explicit TInfoF(QWidget* owner = nullptr);

    static constexpr int kWidth = 292;
    static constexpr int kHeight = 186;

    void BitBtn1Click();
    // A click on a link: the desktop opens it, or a message says it could not.
    void URLLabelClick(const QString& link);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    QLabel* linkLabel(QWidget* parent, const char* name, const QString& caption,
                      const QString& target);

    QWidget* m_owner;
    QLabel* m_title = nullptr;
    QLabel* m_licence = nullptr;
    QPushButton* m_close = nullptr;
};
