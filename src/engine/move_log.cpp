#include "engine/move_log.h"

#include "app/app_settings.h"
#include "engine/file_ops.h"
#include "engine/job_host.h"
#include "engine/scope_exit.h"

#include <QFile>

bool IsLoggablePath(const QString& path) {
    return !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'));
}

QByteArray EncodeMoveLog(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += QFile::encodeName(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool WriteMoveLog(const QString& logPath, const QStringList& lines) {
    return ReplaceFileAtomically(logPath, EncodeMoveLog(lines));
}

MoveLogContent ReadMoveLog(const QString& logPath) {
    MoveLogContent content;
    QFile file(logPath);
    if (logPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return content;
    const QByteArray bytes = file.readAll();
    content.readable = true;
    QList<QByteArray> lines = bytes.split('\n');
    if (!bytes.isEmpty() && bytes.endsWith('\n'))
        lines.removeLast(); // the line end of the last line starts no new line
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        content.lines.append(QFile::decodeName(line));
    }
    return content;
}

UndoResult UndoMoves(const QString& logPath) {
    UndoResult result;
    const MoveLogContent log = ReadMoveLog(logPath);
    if (!log.readable)
        return result;
    result.logRead = true;
    // An empty file reads as one pair of empty paths, an odd last line as a
    // pair without new path; both renames fail and are skipped.
    qsizetype i = 0;
    do {
        const QString former = log.lines.value(i);
        const QString moved = log.lines.value(i + 1);
        ++result.pairs;
        if (!former.isEmpty() && !moved.isEmpty() && MoveFileNoOverwrite(moved, former))
            ++result.restored;
        i += 2;
    } while (i < log.lines.size());
    return result;
}

UndoResult UndoLastMoveRun(JobHost& host) {
    host.setBusyCursor(true);
    ScopeExit restoreCursor([&] { host.setBusyCursor(false); });
    const UndoResult result = UndoMoves(ProtocolFilePath(host.settings()));
    restoreCursor.runNow();
    host.refreshFileList();
    return result;
}
