#include "ui/file_list/file_list_keys.h"

#include "ui/file_list/shell_file_list.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

ListKeyCommand ListKeyCommandOf(const QKeyEvent& key) {
    if (key.matches(QKeySequence::Delete))
        return ListKeyCommand::Delete;
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers == Qt::AltModifier)
            return ListKeyCommand::Properties;
        return modifiers == Qt::NoModifier ? ListKeyCommand::Open : ListKeyCommand::None;
    case Qt::Key_Backspace:
        return modifiers == Qt::NoModifier ? ListKeyCommand::GoUp : ListKeyCommand::None;
    case Qt::Key_Menu:
        return ListKeyCommand::ContextMenu;
    case Qt::Key_F10:
        return modifiers == Qt::ShiftModifier ? ListKeyCommand::ContextMenu : ListKeyCommand::None;
    default:
        return ListKeyCommand::None;
    }
}

FileListKeys::FileListKeys(ShellFileList& list) : QObject(&list), m_list(list) {}

bool FileListKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        // The desktop also reports the menu key as a menu request at the
        // pointer; the key press below has opened it at the item already.
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const ListKeyCommand command = ListKeyCommandOf(*static_cast<QKeyEvent*>(event));
    if (command == ListKeyCommand::None)
        return QObject::eventFilter(watched, event);
    m_list.runKeyCommand(command);
    return true;
}
