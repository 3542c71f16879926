#pragma once
// The program's own folder chooser: caption, prompt, a folders-only tree of the
// file system rooted at "/" and the buttons OK, No and Abort, on the
// white-to-silver gradient.

#include <QDialog>
#include <QString>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;
struct SelectDirLayout;

// directory is in and out: OK gives the selected folder (empty when nothing
// usable is selected), No gives empty, Abort and the close box leave it unchanged. A
// folder that cannot be shown opens the tree at the current working folder.
// An empty directory preselects nothing; the tree then opens at `openAt`
// (the folder the user is working in) instead of collapsed at "/".
// Always returns false; callers use only the directory.
bool ChooseDirectory(QString& directory, const QString& caption, const QString& prompt,
                     const QString& language, const QString& openAt = QString());

// The five texts that outlive a call until the next one overwrites them. The OK
// and Abort captions keep the previous call's when the language matches none.
struct SelectDirTexts {
    QString caption;
    QString prompt;
    QString language;
    QString okCaption;
    QString abortCaption;
};
const SelectDirTexts& SelectDirDialogTexts();

class TSelectDirDlg : public QDialog {
    Q_OBJECT
public:
    // Built from SelectDirDialogTexts() at 96 dpi, centred on the screen.
    explicit TSelectDirDlg(QWidget* parent = nullptr);

    // Expands the tree to `path` (absolute, clean) and selects it; false when
    // the tree cannot show such a folder.
    bool selectFolder(const QString& path);
    // The selected folder's path; empty when nothing is selected or the
    // selected folder no longer exists.
    QString selectedFolder() const;
    // Expands the tree to `path` and scrolls it into view with the keyboard
    // focus on it, without selecting it; false when the tree cannot show it.
    bool showFolder(const QString& path);
    // The path of the folder with the keyboard focus; empty when none.
    QString currentFolder() const;
    // Places the dialog and its controls for a logical resolution.
    void applyLayout(const SelectDirLayout& layout);

    void OKButtonClick();
    void NoButtonClick();
    void AbortButtonClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createLabel();
    void createTree();
    void createButtons();
    void FormPaint();
    void FormCreate();
    void scrollToSelection();
    void followSelection();
    QModelIndex folderIndex(const QString& path) const;
    void expandTo(const QModelIndex& index);

    QFileSystemModel* m_model = nullptr;
    QLabel* m_label = nullptr;
    QTreeView* m_tree = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_no = nullptr;
    QPushButton* m_abort = nullptr;
    bool m_followSelection = false;
};
