#pragma once
// The program's own message dialog: a modal box with a standard icon, the
// word-wrapped message and a row of buttons on a white-to-silver gradient.
// Title and captions come from fixed five-language tables.

#include "engine/dialog_types.h"

#include <QDialog>
#include <QString>

#include <memory>

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

class TMessageForm : public QDialog {
    Q_OBJECT
public:
    explicit TMessageForm(QWidget* parent = nullptr);
};
