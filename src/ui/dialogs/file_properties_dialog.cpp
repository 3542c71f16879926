#include "ui/dialogs/file_properties_dialog.h"

#include "i18n/catalogue.h"
#include "i18n/own_texts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString PermissionText(QFileDevice::Permissions p) {
    const std::pair<QFileDevice::Permission, char> bits[] = {
        {QFileDevice::ReadOwner, 'r'},  {QFileDevice::WriteOwner, 'w'},
        {QFileDevice::ExeOwner, 'x'},   {QFileDevice::ReadGroup, 'r'},
        {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
        {QFileDevice::ReadOther, 'r'},  {QFileDevice::WriteOther, 'w'},
        {QFileDevice::ExeOther, 'x'}};
    QString text;
    for (const auto& [bit, letter] : bits)
        text.append(p.testFlag(bit) ? QLatin1Char(letter) : QLatin1Char('-'));
    return text;
}

} // namespace

FileProperties ReadFileProperties(const QString& path) {
    const QFileInfo info(path);
    FileProperties p;
    p.name = info.fileName();
    p.folder = info.absolutePath();
    if (!info.exists() && !info.isSymLink())
        return p;
    p.isFolder = info.isDir();
    p.size = p.isFolder ? 0 : info.size();
    p.modified = info.lastModified();
    p.accessed = info.lastRead();
    p.changed = info.metadataChangeTime();
    p.permissions = PermissionText(info.permissions());
    if (!p.isFolder) {
        // Only the header is read: the size, never the pixels.
        QImageReader reader(path);
        if (reader.canRead())
            p.pixelSize = reader.size();
    }
    return p;
}

void ShowFileProperties(const QString& path, QWidget* parent) {
    const FileProperties p = ReadFileProperties(path);
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FileProperties"));
    dialog.setWindowTitle(OwnText("properties.title") + p.name);
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    // Dates and sizes in the program's language, not the desktop's.
    const QLocale locale;
    auto row = [&](const char* key, const QString& value) {
        auto* label = new QLabel(value, &dialog);
        // Tab reaches each value and Shift+arrows select it to copy, as a
        // drag of the mouse does.
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->setFocusPolicy(Qt::StrongFocus); // the flags alone give click focus only
        label->setObjectName(QString::fromLatin1(key));
        form->addRow(OwnText(key), label);
    };
    auto date = [&](const QDateTime& t) { return locale.toString(t, QLocale::LongFormat); };
    row("properties.name", p.name);
    row("properties.folder", p.folder);
    row("properties.kind", OwnText(p.isFolder ? "properties.kind_folder" : "properties.kind_file"));
    if (!p.isFolder)
        row("properties.size", locale.formattedDataSize(p.size) + QStringLiteral(" (") +
                                   locale.toString(p.size) + OwnText("properties.bytes"));
    row("properties.modified", date(p.modified));
    row("properties.accessed", date(p.accessed));
    row("properties.changed", date(p.changed));
    row("properties.permissions", p.permissions);
    if (p.pixelSize.isValid())
        row("properties.picture_size",
            QStringLiteral("%1 x %2").arg(p.pixelSize.width()).arg(p.pixelSize.height()));
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("Close"));
    close->setText(CatalogueText(CatalogueId::Close));
    // The values now take the focus first; Enter still closes from any of them.
    close->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}
