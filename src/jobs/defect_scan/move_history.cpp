#include "jobs/defect_scan/move_history.h"

#include "fs/file_ops.h"
#include "fs/path_utils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>

namespace {

const QString kStartTag = QStringLiteral("#start ");
const QString kIdTime = QStringLiteral("yyyyMMdd'T'HHmmss'Z'");
constexpr int kIdsPerSecond = 99;

QByteArray headerOf(QStringList startFolders) {
    // The header only informs; a line break must not split it.
    for (QString& folder : startFolders)
        folder.replace(QLatin1Char('\n'), QLatin1Char('?')).replace(QLatin1Char('\r'), '?');
    QStringList lines;
    for (const QString& folder : std::as_const(startFolders))
        lines.append(kStartTag + folder);
    return EncodeMoveLog(lines);
}

// Creates the kept file holding `bytes` under the first free id of its
// second; its id, or empty.
QString createKeptFile(const QString& folder, const QDateTime& started, const QByteArray& bytes) {
    // Never the working folder itself: a stored one is used as it is.
    if (!QDir().exists(folder) && !QDir().mkdir(folder))
        return QString();
    const QString second = started.toUTC().toString(kIdTime);
    for (int n = 1; n <= kIdsPerSecond; ++n) {
        const QString id = second + QStringLiteral("-%1").arg(n, 2, 10, QLatin1Char('0'));
        if (CreateFileAtomically(folder + id + QStringLiteral(".txt"), bytes))
            return id;
        if (errno != EEXIST)
            return QString();
    }
    return QString();
}

KeptRun readKeptRun(const QString& path) {
    KeptRun run;
    run.path = path;
    const QString name = FileNameOf(path);
    run.id = name.left(name.size() - 4);
    QStringList lines = ReadMoveLog(path).lines;
    qsizetype header = 0;
    while (header < lines.size() && lines.at(header).startsWith(QLatin1Char('#'))) {
        if (lines.at(header).startsWith(kStartTag))
            run.startFolders.append(lines.at(header).mid(kStartTag.size()));
        ++header;
    }
    lines.remove(0, header);
    run.lines = lines;
    return run;
}

QString pairKey(const QString& former, const QString& moved) {
    return former + QLatin1Char('\n') + moved;
}

// The deepest folder holding every former path of the pairs.
QString commonFolder(const QStringList& lines) {
    QString common;
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        const QString folder = FolderOf(lines.at(i));
        if (folder.isEmpty())
            continue;
        if (common.isEmpty()) {
            common = folder;
            continue;
        }
        qsizetype same = 0;
        while (same < common.size() && same < folder.size() && common.at(same) == folder.at(same))
            ++same;
        common = FolderOf(common.left(same));
    }
    return common;
}

// A new path whose file is gone, in a folder that is there to look in.
bool knownGone(const QString& moved) {
    if (moved.isEmpty())
        return true;
    const QString folder = FolderOf(moved);
    return !FileExists(moved) && folder.size() > 1 && FileExists(folder.chopped(1));
}

} // namespace

QDateTime KeptRun::started() const {
    QDateTime time = QDateTime::fromString(id.left(16), kIdTime);
    time.setTimeSpec(Qt::UTC);
    return time.toLocalTime();
}

QString KeptRunsFolder(const QString& logPath) {
    return FolderOf(logPath) + QStringLiteral("Protokolle/");
}

QList<KeptRun> ReadKeptRuns(const QString& folder) {
    QList<KeptRun> runs;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QString& name : names)
        runs.append(readKeptRun(folder + name));
    return runs;
}

int FilesStillMoved(const KeptRun& run) {
    int still = 0;
    for (qsizetype i = 1; i < run.lines.size(); i += 2)
        if (!run.lines.at(i).isEmpty() && FileExists(run.lines.at(i)))
            ++still;
    return still;
}

KeptRunJournal::KeptRunJournal(const QString& folder, const QStringList& startFolders)
    : m_folder(folder), m_header(headerOf(startFolders)) {}

KeptRunJournal::~KeptRunJournal() = default;

bool KeptRunJournal::append(const QString& former, const QString& moved) {
    if (m_failed)
        return false;
    if (!m_journal) {
        // Created when the first move is due: a run that moves nothing keeps
        // nothing.
        m_id = createKeptFile(m_folder, QDateTime::currentDateTimeUtc(), m_header);
        if (!m_id.isEmpty())
            m_journal = MoveLogJournal::appendingTo(m_folder + m_id + QStringLiteral(".txt"));
        m_failed = !m_journal || !m_journal->isOpen();
        if (m_failed)
            return false;
    }
    return m_journal->append(former, moved);
}

void KeptRunJournal::dropLastPair() {
    if (m_journal)
        m_journal->dropLastPair();
}

QString WriteKeptRun(const QString& folder, const QDateTime& started,
                     const QStringList& startFolders, const QStringList& lines) {
    return createKeptFile(folder, started, headerOf(startFolders) + EncodeMoveLog(lines));
}

bool KeepUnrecordedLog(const QString& logPath) {
    const MoveLogContent log = ReadMoveLog(logPath);
    QStringList live; // keys of pairs whose file is still moved
    for (qsizetype i = 0; i + 1 < log.lines.size(); i += 2)
        if (!log.lines.at(i + 1).isEmpty() && FileExists(log.lines.at(i + 1)))
            live.append(pairKey(log.lines.at(i), log.lines.at(i + 1)));
    if (live.isEmpty())
        return true;
    const QString folder = KeptRunsFolder(logPath);
    QSet<QString> kept;
    for (const KeptRun& run : ReadKeptRuns(folder))
        for (qsizetype i = 0; i + 1 < run.lines.size(); i += 2)
            kept.insert(pairKey(run.lines.at(i), run.lines.at(i + 1)));
    const bool allKept =
        std::all_of(live.cbegin(), live.cend(), [&](const QString& k) { return kept.contains(k); });
    if (allKept)
        return true;
    // Dated by the log itself, so that it sorts among the runs by its time.
    const QDateTime written = QFileInfo(logPath).lastModified();
    return !WriteKeptRun(folder, written, {commonFolder(log.lines)}, log.lines).isEmpty();
}

int ForgetFinishedRuns(const QString& folder) {
    int removed = 0;
    for (const KeptRun& run : ReadKeptRuns(folder)) {
        bool finished = true;
        for (qsizetype i = 1; i < run.lines.size() && finished; i += 2)
            finished = knownGone(run.lines.at(i));
        if (finished && RemoveFile(run.path))
            ++removed;
    }
    return removed;
}
