#include "jobs/defect_scan/defect_numbers.h"

#include "fs/directory_handle.h"
#include "fs/file_ops.h"
#include "fs/folder_access.h"
#include "fs/path_utils.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Longer numbers are no name this program gave; they must not push the
// next number towards an overflow.
constexpr qsizetype kMaxDigits = 15;

QStringList namesIn(const QString& folder) {
    QStringList names;
    const int fd = OpenAnyLength(QFile::encodeName(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return names;
    const DirHandle dir = AdoptFolderDescriptor(fd);
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir.get()))
        if (entry->d_name[0] != '.')
            names.append(QFile::decodeName(entry->d_name));
    return names;
}

} // namespace

qint64 DefectNumberOf(const QString& fileName, QString* formerName) {
    static const QString prefix = QStringLiteral("Defekt");
    if (!fileName.startsWith(prefix))
        return -1;
    qsizetype end = prefix.size();
    while (end < fileName.size() && fileName.at(end).isDigit() && fileName.at(end).unicode() < 128)
        ++end;
    const qsizetype digits = end - prefix.size();
    if (digits == 0 || digits > kMaxDigits || end >= fileName.size() ||
        fileName.at(end) != QLatin1Char('_'))
        return -1;
    if (formerName)
        *formerName = fileName.mid(end + 1);
    return fileName.mid(prefix.size(), digits).toLongLong();
}

DefectNumbers::DefectNumbers(const QString& defectFolder, const QStringList& recordedTargets)
    : m_folder(defectFolder) {
    for (const QString& name : namesIn(defectFolder))
        note(name);
    for (const QString& target : recordedTargets) {
        if (FolderOf(target) == defectFolder)
            m_highest = qMax(m_highest, DefectNumberOf(FileNameOf(target)));
    }
}

void DefectNumbers::note(const QString& fileName) {
    QString former;
    const qint64 number = DefectNumberOf(fileName, &former);
    if (number < 0)
        return;
    m_highest = qMax(m_highest, number);
    m_byFormerName.insert(former, fileName);
}

QString DefectNumbers::earlierCopy(const QString& formerPath) const {
    const QString name = FileNameOf(formerPath);
    for (auto it = m_byFormerName.constFind(name); it != m_byFormerName.cend() && it.key() == name;
         ++it) {
        const QString candidate = m_folder + it.value();
        if (SameFileContent(formerPath, candidate))
            return candidate;
    }
    return QString();
}
