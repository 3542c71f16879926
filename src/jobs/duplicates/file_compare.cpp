#include "jobs/duplicates/file_compare.h"

#include "base/errors.h"
#include "i18n/catalogue.h"
#include "jobs/duplicates/block_compare.h"

#include <QFileInfo>

namespace {

QString existingFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        throw KelvastoError((path + CatalogueText(CatalogueId::DoesNotExist)).toStdString());
    return path;
}

[[noreturn]] void cannotRead(const QString& path) {
    throw KelvastoError(QStringLiteral("cannot read %1").arg(path).toStdString());
}

qint64 lengthOf(const QString& path) {
    qint64 length = 0;
    if (!OpenRegularFile(path, true, &length).valid())
        cannotRead(path);
    return length;
}

} // namespace

void TFileCompare::SetFirstFile(const QString& path) {
    m_first = existingFile(path);
}

void TFileCompare::SetSecondFile(const QString& path) {
    m_second = existingFile(path);
}

bool TFileCompare::FilesAreIdentical() const {
    if (lengthOf(m_first) != lengthOf(m_second))
        return false;
    const MatchOutcome outcome = MatchFirstAgainst(m_first, {m_second}, true);
    if (outcome.firstFailed)
        cannotRead(m_first);
    if (outcome.failed.front())
        cannotRead(m_second);
    return outcome.identical.front();
}
