#include "ui/file_list/file_list_filter.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

QString FilterMask(const QString& filterText) {
    const qsizetype bar = filterText.indexOf(QLatin1Char('|'));
    const QString mask = bar < 0 ? filterText : filterText.mid(bar + 1);
    return mask.isEmpty() ? QStringLiteral("*.*") : mask;
}

QStringList ParseListMasks(const QString& mask) {
    if (mask == QLatin1String("*.*"))
        return {mask};
    // One entry per "*"; ";" moves to the next entry. Characters beyond the
    // counted entries are dropped rather than written past the list.
    const qsizetype entries = mask.count(QLatin1Char('*'));
    QStringList masks(entries);
    qsizetype current = 0;
    for (const QChar c : mask) {
        if (c == QLatin1Char(';'))
            ++current;
        else if (current < entries)
            masks[current].append(c);
    }
    return masks;
}

QString NameExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool ListMasksAdmit(const QStringList& masks, const QString& name, bool isFolder) {
    if (isFolder)
        return true;
    const QString extension = NameExtension(name);
    for (const QString& mask : masks) {
        if (mask == QLatin1String("*.*"))
            return true;
        if (extension.compare(NameExtension(mask), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool RenameWithoutReplacing(const QString& from, const QString& newName) {
    if (newName.isEmpty() || newName.contains(QLatin1Char('/')) || newName == QLatin1String(".") ||
        newName == QLatin1String(".."))
        return false;
    const QString to = QFileInfo(from).absolutePath() + QLatin1Char('/') + newName;
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // POSIX rename would replace the target; RENAME_NOREPLACE refuses instead.
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing
    // name, so link, then drop the old name (files only).
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    return ::unlink(source.constData()) == 0;
}
