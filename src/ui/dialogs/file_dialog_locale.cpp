#include "ui/dialogs/file_dialog_locale.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace {

// The size or date cell `item` of `files` in the default locale (the
// program's language), where the file model writes the desktop's; an invalid
// QVariant for any other cell, and for a folder's size.
QVariant FileCellInProgramLocale(const QFileSystemModel& files, const QModelIndex& item) {
    const QLocale locale;
    if (item.column() == 3)
        return locale.toString(files.lastModified(item), QLocale::ShortFormat);
    if (item.column() == 1 && !files.isDir(item))
        return locale.formattedDataSize(files.size(item));
    return {};
}

class ProgramLanguageCells : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files && role == Qt::DisplayRole) {
            const QVariant cell = FileCellInProgramLocale(*files, mapToSource(index));
            if (cell.isValid())
                return cell;
        }
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

void ListInProgramLanguage(QFileDialog& dialog) {
    dialog.setProxyModel(new ProgramLanguageCells(&dialog));
}
