#include "common/dialog_answerer.h"

#include "ui/dialogs/select_dir_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <algorithm>

DialogAnswerer::DialogAnswerer() {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::poll);
    m_timer.start();
}

DialogAnswerer::~DialogAnswerer() = default;

void DialogAnswerer::queue(const QString& buttonName, std::function<void(QWidget*)> beforeClick) {
    m_answers.append({buttonName, std::move(beforeClick)});
}

void DialogAnswerer::queueFolder(const QString& folder) {
    queue(QStringLiteral("OKButton"), [folder](QWidget* dialog) {
        if (auto* chooser = qobject_cast<TSelectDirDlg*>(dialog))
            chooser->selectFolder(folder);
    });
}

// selectFile() leaves the name field alone while it has the keyboard focus
// (the user may be typing there); then the name is typed as a user would.
void DialogAnswerer::chooseFile(QFileDialog& dialog, const QString& path) {
    dialog.selectFile(path);
    if (dialog.selectedFiles().value(0) == path)
        return;
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(QFileInfo(path).fileName());
}

void DialogAnswerer::queueFile(const QString& buttonName, const QString& path) {
    queue(buttonName, [path](QWidget* dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(dialog))
            chooseFile(*files, path);
    });
}

void DialogAnswerer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == m_handled)
        return;
    m_handled = modal;

    ShownDialog shown;
    shown.className = QString::fromLatin1(modal->metaObject()->className());
    shown.title = modal->windowTitle();
    for (const char* name : {"Message", "LabelUeberschrift"})
        if (auto* label = modal->findChild<QLabel*>(QString::fromLatin1(name)))
            shown.text = label->text();
    QList<QAbstractButton*> buttons = modal->findChildren<QAbstractButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](QAbstractButton* a, QAbstractButton* b) { return a->x() < b->x(); });
    for (QAbstractButton* b : buttons)
        if (b->isVisible() && !b->objectName().isEmpty())
            shown.buttons << b->objectName();
    if (auto* chooser = qobject_cast<TSelectDirDlg*>(modal))
        shown.folder = chooser->selectedFolder();

    if (m_answers.isEmpty()) {
        ++m_unexpected;
        m_shown.append(shown);
        modal->close();
        return;
    }
    const Answer answer = m_answers.takeFirst();
    if (answer.beforeClick)
        answer.beforeClick(modal);
    shown.pressed = answer.button;
    m_shown.append(shown);
    auto* button = modal->findChild<QAbstractButton*>(answer.button);
    if (!button) {
        ++m_unexpected;
        m_shown.last().pressed.clear();
        modal->close();
        return;
    }
    button->click();
    // Still open: the next answer is for it too. Closed: a dialog that lives
    // for the whole run (language chooser, about box, options) is answered
    // again when it shows again.
    m_handled = nullptr;
}
