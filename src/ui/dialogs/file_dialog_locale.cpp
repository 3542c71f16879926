#include "ui/dialogs/file_dialog_locale.h"

#include "ui/file_list/file_list_filter.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>

namespace {

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
