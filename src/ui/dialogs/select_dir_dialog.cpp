// Interim folder chooser: the named buttons and results only.
#include "ui/dialogs/select_dir_dialog.h"

#include <QFileSystemModel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

TSelectDirDlg::TSelectDirDlg(QWidget* parent) : QDialog(parent) {}

bool ChooseDirectory(QString& directory, const QString& caption, const QString&, const QString&) {
    TSelectDirDlg dialog;
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* model = new QFileSystemModel(&dialog);
    model->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    model->setRootPath("/");
    auto* tree = new QTreeView(&dialog);
    tree->setObjectName("ShellTreeView");
    tree->setModel(model);
    layout->addWidget(tree);
    if (!directory.isEmpty())
        tree->setCurrentIndex(model->index(directory));
    const std::pair<const char*, int> buttons[] = {{"OKButton", 1}, {"NoButton", 7}, {"AbortButton", 3}};
    for (auto [name, result] : buttons) {
        auto* b = new QPushButton(QString::fromLatin1(name), &dialog);
        b->setObjectName(QString::fromLatin1(name));
        QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog, r = result] { dialog.done(r); });
        layout->addWidget(b);
    }
    const int result = dialog.exec();
    if (result == 1)
        directory = model->filePath(tree->currentIndex());
    else if (result == 7)
        directory.clear();
    return false;
}
