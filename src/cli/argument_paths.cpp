#include "cli/argument_paths.h"

#include "fs/file_name_bytes.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool survivesDecoding(const QByteArray& bytes) {
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

struct FreeDeleter {
    void operator()(char* p) const { std::free(p); }
};

// realpath(3): every link and ".." resolved by the file system.
bool realPath(const QByteArray& path, QByteArray& resolved) {
    const std::unique_ptr<char, FreeDeleter> real(::realpath(path.constData(), nullptr));
    if (!real)
        return false;
    resolved = QByteArray(real.get());
    return true;
}

QByteArray joined(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray withoutTrailingSlashes(QByteArray path) {
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

ArgumentKind failureKind(int error) {
    return (error == ENOENT || error == ENOTDIR) ? ArgumentKind::Missing
                                                 : ArgumentKind::Unreachable;
}

ResolvedArgument failed(int error) {
    ResolvedArgument result;
    result.kind = failureKind(error);
    result.error = error;
    return result;
}

// Classifies the resolved path `full` by what stands there.
ResolvedArgument classify(const QByteArray& full, bool followFolderLink) {
    struct stat st {};
    if (::lstat(full.constData(), &st) != 0)
        return failed(errno);
    ResolvedArgument result;
    QByteArray path = full;
    if (S_ISLNK(st.st_mode)) {
        struct stat target {};
        if (followFolderLink && ::stat(full.constData(), &target) == 0 && S_ISDIR(target.st_mode) &&
            realPath(full, path))
            result.kind = ArgumentKind::Folder;
        else
            result.kind = ArgumentKind::SymbolicLink;
    } else if (S_ISREG(st.st_mode)) {
        result.kind = ArgumentKind::File;
    } else if (S_ISDIR(st.st_mode)) {
        result.kind = ArgumentKind::Folder;
    } else {
        result.kind = ArgumentKind::Other;
    }
    if (result.kind == ArgumentKind::Folder && !path.endsWith('/'))
        path += '/';
    if (!survivesDecoding(path)) {
        result.kind = ArgumentKind::NotUtf8;
        result.path = DecodeArgument(path);
        return result;
    }
    result.path = QFile::decodeName(path);
    return result;
}

} // namespace

QString DecodeArgument(const QByteArray& raw) {
    return DecodeNameLosslessly(raw);
}

QByteArray ArgumentBytes(const QString& argument) {
    return FileNameBytes(argument);
}

bool IsFaithfulArgument(const QString& argument) {
    return QFile::decodeName(QFile::encodeName(argument)) == argument;
}

ResolvedArgument ResolveArgument(const QString& argument, bool followFolderLink) {
    const QByteArray bytes = ArgumentBytes(argument);
    if (bytes.isEmpty())
        return failed(ENOENT);
    const qsizetype slash = withoutTrailingSlashes(bytes).lastIndexOf('/');
    const QByteArray name = bytes.mid(slash + 1);
    // "dir/", "x/." and "x/.." name the folder itself: resolve all of it,
    // as the kernel does.
    if (name.isEmpty() || name.endsWith('/') || name == "." || name == "..") {
        QByteArray real;
        if (!realPath(bytes, real))
            return failed(errno);
        return classify(real, followFolderLink);
    }
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : bytes.left(slash);
    QByteArray realFolder;
    if (!realPath(folder, realFolder))
        return failed(errno);
    return classify(joined(realFolder, name), followFolderLink);
}

QString ResolveFolderToCreate(const QString& argument) {
    QByteArray existing = ArgumentBytes(argument);
    if (existing.isEmpty())
        return {};
    if (!existing.startsWith('/')) {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd))
            return {};
        existing = joined(QByteArray(cwd), existing);
    }
    // Walk up to the deepest part that exists and resolve that; what lies
    // below it does not exist yet and so holds no links.
    QList<QByteArray> missing;
    QByteArray real;
    for (existing = withoutTrailingSlashes(existing); !realPath(existing, real);
         existing = parentOf(existing)) {
        if (errno != ENOENT || existing == "/")
            return {};
        missing.prepend(existing.mid(existing.lastIndexOf('/') + 1));
    }
    for (const QByteArray& part : std::as_const(missing)) {
        if (part.isEmpty() || part == ".")
            continue;
        real = part == ".." ? parentOf(real) : joined(real, part);
    }
    if (!survivesDecoding(real))
        return {};
    QString folder = QFile::decodeName(real);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QStringList WithoutRepeats(const QStringList& paths) {
    QStringList unique;
    for (const QString& path : paths)
        if (!unique.contains(path))
            unique.append(path);
    return unique;
}

QStringList OutermostFolders(const QStringList& folders) {
    const QStringList unique = WithoutRepeats(folders);
    // The walk skips folders whose name begins with ".", so a start folder
    // behind one of those is not reached from above.
    const auto reaches = [](const QString& outer, const QString& inner) {
        if (inner.size() <= outer.size() || !inner.startsWith(outer))
            return false;
        const QStringList parts =
            inner.mid(outer.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        for (const QString& part : parts)
            if (part.startsWith(QLatin1Char('.')))
                return false;
        return true;
    };
    QStringList outermost;
    for (const QString& folder : unique) {
        bool reached = false;
        for (const QString& other : unique)
            reached |= reaches(other, folder);
        if (!reached)
            outermost.append(folder);
    }
    return outermost;
}
