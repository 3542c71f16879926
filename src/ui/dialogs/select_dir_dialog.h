#pragma once
// The program's own folder chooser: caption, prompt, a folders-only tree of the
// file system and the buttons OK, No and Abort.

#include <QDialog>
#include <QString>

// directory is in and out: OK gives the selected folder (empty when it has no
// file-system path), No gives empty, Abort and the close box leave it
// unchanged. Always returns false; callers use only the directory.
bool ChooseDirectory(QString& directory, const QString& caption, const QString& prompt,
                     const QString& language);

class TSelectDirDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSelectDirDlg(QWidget* parent = nullptr);
};
