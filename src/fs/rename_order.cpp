#include "fs/rename_order.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

namespace {

// ext2, ext3 and ext4 share it; the ext4 driver's own listing tells them apart.
constexpr unsigned long kExtSuperMagic = 0xEF53;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

bool Ext4OptionsOrderRename(const QByteArray& options) {
    QByteArray listed = options;
    listed.replace(',', '\n');
    const QList<QByteArray> words = listed.split('\n');
    // A file system without a journal lists no data= mode at all.
    return words.contains("data=ordered") && words.contains("auto_da_alloc") &&
           !words.contains("noauto_da_alloc");
}

bool OrdersReplacingRename(int fd) {
    struct statfs volume {};
    struct stat info {};
    if (::fstatfs(fd, &volume) != 0 || (unsigned long)volume.f_type != kExtSuperMagic ||
        ::fstat(fd, &info) != 0)
        return false;
    // The ext4 driver lists each file system under its block device's name.
    const QString device =
        QFileInfo(
            QStringLiteral("/sys/dev/block/%1:%2").arg(major(info.st_dev)).arg(minor(info.st_dev)))
            .symLinkTarget();
    if (device.isEmpty())
        return false;
    const QString name = device.mid(device.lastIndexOf(QLatin1Char('/')) + 1);
    return Ext4OptionsOrderRename(readAll(QStringLiteral("/proc/fs/ext4/%1/options").arg(name)));
}
