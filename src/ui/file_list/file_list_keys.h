#pragma once
// What the keyboard does in the file list beyond moving and selecting, as a
// file manager does it: Enter opens the current item as a double click does,
// Backspace goes up to the parent folder, the menu key and Shift+F10 open
// the pop-up menu at the current item (not where the pointer happens to be),
// Delete and Alt+Enter run the pop-up menu's delete and properties entries.

#include <QObject>

class QKeyEvent;
class ShellFileList;

enum class ListKeyCommand { None, Open, GoUp, ContextMenu, Delete, Properties };

// The command of a key press; None for the keys the view handles itself.
ListKeyCommand ListKeyCommandOf(const QKeyEvent& key);

// Installed on each view of the list.
class FileListKeys : public QObject {
public:
    explicit FileListKeys(ShellFileList& list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ShellFileList& m_list;
};
