// Interim message dialog: the named buttons and results, without the final
// layout and gradient.
#include "ui/dialogs/message_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char* const kNames[kDialogButtonCount] = {"Yes",   "No",  "OK",      "Cancel",   "Abort", "Retry",
                                                "Ignore", "All", "NoToAll", "YesToAll", "Help"};
const int kResults[kDialogButtonCount] = {6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0};
} // namespace

TMessageForm::TMessageForm(QWidget* parent) : QDialog(parent) {}

std::unique_ptr<TMessageForm> BuildMessageDialog(const QString& text, MessageKind, DialogButtons buttons,
                                                 const QString&) {
    auto form = std::make_unique<TMessageForm>();
    auto* layout = new QVBoxLayout(form.get());
    auto* label = new QLabel(text, form.get());
    label->setObjectName("Message");
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    for (int b = 0; b < kDialogButtonCount; ++b) {
        if (!HasButton(buttons, DialogButton(b)))
            continue;
        auto* button = new QPushButton(QString::fromLatin1(kNames[b]), form.get());
        button->setObjectName(QString::fromLatin1(kNames[b]));
        const int result = kResults[b];
        QObject::connect(button, &QPushButton::clicked, form.get(), [f = form.get(), result] { f->done(result); });
        row->addWidget(button);
    }
    return form;
}

int ShowMessageDialogAt(const QString& text, MessageKind kind, DialogButtons buttons, int, int, int,
                        const QString&, const QString& language) {
    auto form = BuildMessageDialog(text, kind, buttons, language);
    const int result = form->exec();
    return result == QDialog::Rejected ? DialogResult::Cancel : result;
}

int ShowMessageDialog(const QString& text, MessageKind kind, DialogButtons buttons, const QString& language,
                      int helpContext) {
    return ShowMessageDialogAt(text, kind, buttons, helpContext, -1, -1, QString(), language);
}
