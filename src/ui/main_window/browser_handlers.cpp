// The file browser's handlers: folder change, view buttons, refresh, filter,
// background, opening an item, and the file list's pop-up menu.

#include "ui/main_window/browser_controller.h"

#include "app/open_with_program.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "ui/dialogs/file_properties_dialog.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/file_list/file_list_filter.h"
#include "ui/language/mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QListView>
#include <QTabWidget>
#include <QTreeView>

namespace {
bool SameFolder(const QString& a, const QString& b) {
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}
} // namespace

void BrowserController::ShellTreeView01Change() {
    const QString folder = currentTreeFolder();
    if (folder.isEmpty())
        return;
    if (!SameFolder(m_fileList->folder(), folder))
        m_fileList->setFolder(folder);
    if (SameFolder(folder, m_treeFolder))
        return;
    if (m_fileList->viewStyle() != ViewStyle::LargeIcon) {
        // Passing through the large-icon view makes the list lay out anew.
        m_fileList->setViewStyle(ViewStyle::LargeIcon);
        if (control<QAction>(QStringLiteral("TB01SmallIcon"))->isChecked())
            m_fileList->setViewStyle(ViewStyle::SmallIcon);
        else if (control<QAction>(QStringLiteral("TB01List"))->isChecked())
            m_fileList->setViewStyle(ViewStyle::List);
        else if (control<QAction>(QStringLiteral("TB01Report"))->isChecked())
            m_fileList->setViewStyle(ViewStyle::Report);
    }
    m_treeFolder = folder;
}

void BrowserController::ShellListView01DblClick(const QString& path) {
    const QFileInfo item(path);
    if (item.isDir()) {
        selectTreeFolder(path);
        return;
    }
    // Started in the file's own folder, as a file manager does: a program
    // that looks for companion files finds them there.
    OpenWithAssociatedProgram(path, item.absolutePath());
}

void BrowserController::ShellListView01GoUp() {
    const QString folder = QDir::cleanPath(m_fileList->folder());
    QDir parent(folder);
    if (folder.isEmpty() || !parent.cdUp())
        return;
    m_fileList->makeCurrentWhenLoaded(QFileInfo(folder).fileName());
    selectTreeFolder(parent.absolutePath());
}

void BrowserController::switchView(ViewStyle style) {
    m_fileList->setViewStyle(ViewStyle::LargeIcon);
    if (style != ViewStyle::LargeIcon)
        m_fileList->setViewStyle(style);
}

void BrowserController::TB01LargeIconClick() {
    switchView(ViewStyle::LargeIcon);
}
void BrowserController::TB01SmallIconClick() {
    switchView(ViewStyle::SmallIcon);
}
void BrowserController::TB01ListClick() {
    switchView(ViewStyle::List);
}
void BrowserController::TB01ReportClick() {
    switchView(ViewStyle::Report);
}

void BrowserController::TB01RueckgaengigClick() {
    QAction* undo = control<QAction>(QStringLiteral("HMenuDateiRueckgaengig"));
    if (undo->isEnabled())
        undo->trigger();
}

void BrowserController::TB01RefreshClick() {
    const QString noted = currentTreeFolder();
    m_tree->collapseAll();
    if (noted.isEmpty())
        return;
    // The tree does not follow the file system by itself; a fresh model reads
    // the folders anew.
    createTreeModel();
    selectTreeFolder(noted);
    m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtTop);
    if (selectTreeFolder(window().settings().Startverzeichnis))
        m_treeFolder = currentTreeFolder();
}

void BrowserController::FilterComboBox01Change() {
    auto* combo = control<QComboBox>(QStringLiteral("FilterComboBox01"));
    if (combo->currentIndex() < 0 && combo->count() > 0)
        combo->setCurrentIndex(combo->count() - 1);
    const QString mask =
        combo->count() == 0 ? QStringLiteral("*.*") : FilterMask(combo->currentData().toString());
    m_listMasks = ParseListMasks(mask);
    m_fileList->setListMasks(m_listMasks);
    m_fileList->reread();
}

void BrowserController::ShellListView01OnScrollHor() {
    m_fileList->activeView()->viewport()->update();
}

void BrowserController::ShellListView01SortChange(int column, Qt::SortOrder order) {
    AppSettings& settings = window().settings();
    settings.ListeSortierSpalte = column;
    settings.ListeSortierAbsteigend = order == Qt::DescendingOrder;
    // The list is sorted either way; a store that cannot be written costs
    // only the order at the next start.
    SaveListSort(settings);
}

void BrowserController::PopupMenu01Popup() {
    QAction* remove = control<QAction>(QStringLiteral("PM01_DateiLoeschen"));
    const int kind = SelectionKind();
    remove->setEnabled(kind > 0);
    // With nothing selected the entry keeps its last wording; before the
    // first wording it reads as for one file rather than showing blank.
    if (kind == 0 && !remove->text().isEmpty())
        return;
    const int caption = kind > 1 ? 812 : 811;
    remove->setText(CatalogueText(caption));
    remove->setToolTip(CatalogueText(caption + 9));
    remove->setStatusTip(CatalogueText(caption + 9));
    AddMnemonics(window());
}

int BrowserController::SelectionKind() const {
    const int tab = control<QTabWidget>(QStringLiteral("HauptPageControl01"))->currentIndex();
    static const QString kRekursiv[] = {QStringLiteral("GrafikRekursiv"),
                                        QStringLiteral("IdxRekursiv"),
                                        QStringLiteral("FktRekursiv")};
    if (tab >= 0 && tab <= 2 && control<QAbstractButton>(kRekursiv[tab])->isChecked())
        return 2;
    return m_fileList->hasCurrentItem() ? m_fileList->selectedCount() : 0;
}

void BrowserController::PM01_DateiLoeschenClick() {
    const QStringList selected = m_fileList->selectedPaths();
    if (!selected.isEmpty()) {
        const int question = selected.size() == 1 ? 9029 : 9031;
        const int answer =
            ShowMessageDialog(CatalogueText(question), MessageKind::Confirmation,
                              DialogButton::Yes | DialogButton::No, CurrentLanguageName());
        if (answer != DialogResult::Yes)
            return;
        bool folders = false;
        for (const QString& path : selected) {
            folders = folders || QFileInfo(path).isDir();
            RecycleFile(path);
        }
        if (folders)
            folderTreeMayHaveChanged();
    }
    refreshFileList();
}

void BrowserController::PM01_DateienMarkierenClick() {
    m_fileList->selectAll();
}

void BrowserController::PM01_EigenschaftenClick() {
    const QStringList selected = m_fileList->selectedPaths();
    if (!selected.isEmpty())
        ShowFileProperties(selected.first(), &window());
}
