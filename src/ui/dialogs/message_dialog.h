#pragma once
// The program's own message dialog: a modal box with a standard icon, the
// word-wrapped message and a row of buttons on a white-to-silver gradient.
// Title and captions come from fixed five-language tables (message_tables.h);
// the size follows the text and the platform's message-box font.

#include "jobs/framework/dialog_types.h"

#include <QDialog>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QFontMetrics;
class QPushButton;
class TMessageForm;

// Builds, shows modally at the centre of the screen, releases; returns the
// pressed button's result, 2 for the close box.
int ShowMessageDialog(const QString& text, MessageKind kind, DialogButtons buttons,
                      const QString& language, int helpContext = 0);

// As ShowMessageDialog at an explicit place; a negative x or y keeps the
// computed place, both negative centre the dialog.
int ShowMessageDialogAt(const QString& text, MessageKind kind, DialogButtons buttons,
                        int helpContext, int x, int y, const QString& helpFile,
                        const QString& language);

// The laid-out dialog, not yet shown; the caller owns it.
std::unique_ptr<TMessageForm> BuildMessageDialog(const QString& text, MessageKind kind,
                                                 DialogButtons buttons, const QString& language);

// Width of "A".."Z" "a".."z" divided by 52 (remainder dropped), and the
// font's line height.
QSize AverageCharSize(const QFontMetrics& metrics);

// The measured caption width + 8 of each button kind, filled the first time the
// kind is laid out and kept for the rest of the run, whatever language later
// dialogs use. All 0 at start.
std::array<int, kDialogButtonCount>& ButtonWidthCache();

// What the Help button does: show the topic of the dialog's help context. The
// main window installs its help window here; until then Help does nothing.
using MessageHelpHandler = std::function<void(int helpContext, const QString& helpFile)>;
void SetMessageHelpHandler(MessageHelpHandler handler);

class TMessageForm : public QDialog {
    Q_OBJECT
public:
    explicit TMessageForm(QWidget* parent = nullptr);

    int helpContext() const { return m_helpContext; }
    void setHelpContext(int context) { m_helpContext = context; }
    QString helpFile() const { return m_helpFile; }
    void setHelpFile(const QString& file) { m_helpFile = file; }

    // The button that Escape presses; none leaves Escape without effect.
    void setCancelButton(QPushButton* button) { m_cancelButton = button; }
    QPushButton* cancelButton() const { return m_cancelButton; }

    // Shows the help topic; the dialog stays open.
    void HelpButtonClick();

    // The close box (and any other rejection) answers 2.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void MessagePaint();

    int m_helpContext = 0;
    QString m_helpFile;
    QPushButton* m_cancelButton = nullptr;
};
