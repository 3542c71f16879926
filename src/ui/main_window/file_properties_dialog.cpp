#include "ui/main_window/file_properties_dialog.h"

#include "i18n/catalogue.h"

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

// The dialog's own texts; the catalogue holds none for it.
QString Text(const char* german, const char* english) {
    return QString::fromUtf8(LanguageOffset() == 10000 ? english : german);
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
    dialog.setWindowTitle(Text("Eigenschaften: ", "Properties: ") + p.name);
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    const QLocale locale;
    auto row = [&](const char* de, const char* en, const QString& value) {
        auto* label = new QLabel(value, &dialog);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(Text(de, en), label);
    };
    auto date = [&](const QDateTime& t) { return locale.toString(t, QLocale::LongFormat); };
    row("Name:", "Name:", p.name);
    row("Ordner:", "Folder:", p.folder);
    row("Art:", "Kind:", p.isFolder ? Text("Ordner", "Folder") : Text("Datei", "File"));
    if (!p.isFolder)
        row("Größe:", "Size:",
            locale.formattedDataSize(p.size) + QStringLiteral(" (") + locale.toString(p.size) +
                Text(" Byte)", " bytes)"));
    row("Geändert:", "Modified:", date(p.modified));
    row("Gelesen:", "Accessed:", date(p.accessed));
    row("Status geändert:", "Status changed:", date(p.changed));
    row("Rechte:", "Permissions:", p.permissions);
    if (p.pixelSize.isValid())
        row("Bildgröße:", "Picture size:",
            QStringLiteral("%1 x %2").arg(p.pixelSize.width()).arg(p.pixelSize.height()));
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("Close"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}
