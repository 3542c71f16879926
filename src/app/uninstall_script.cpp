#include "app/uninstall_script.h"

#include "base/errors.h"
#include "base/file_descriptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

QStringList UninstallCompanionNames() {
    return {QStringLiteral("kelvasto-batch"), QStringLiteral("Kelvasto.HLP"),
            QStringLiteral("Kelvasto.hlp"),   QStringLiteral("liesmich.txt"),
            QStringLiteral("readme.txt"),     QStringLiteral("FILE_ID.diz")};
}

QByteArray ShellQuoted(const QByteArray& text) {
    QByteArray quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + '\'';
}

QByteArray UninstallScriptText(const QString& programFile, const QString& scriptPath,
                               const UninstallScriptLimits& limits) {
    const QString folder = QFileInfo(programFile).absolutePath() + QLatin1Char('/');
    QByteArray files = ShellQuoted(QFile::encodeName(programFile));
    for (const QString& name : UninstallCompanionNames())
        files += " \\\n  " + ShellQuoted(QFile::encodeName(folder + name));
    QByteArray script;
    script += "#!/bin/sh\n"
              "# Removes Kelvasto once it has ended: the program file and its companions,\n"
              "# then the program folder when it is empty, then this script.\n";
    script += "D=" + ShellQuoted(QFile::encodeName(folder)) + "\n";
    script += "S=" + ShellQuoted(QFile::encodeName(scriptPath)) + "\n";
    script += "set -- " + files + "\n";
    script += "rounds=0\n"
              "while :; do\n"
              "  for f in \"$@\"; do rm -f -- \"$f\" 2>/dev/null; done\n"
              "  left=0\n"
              "  for f in \"$@\"; do\n"
              "    if [ -e \"$f\" ] || [ -L \"$f\" ]; then left=1; fi\n"
              "  done\n"
              "  [ \"$left\" -eq 0 ] && break\n"
              "  rounds=$((rounds + 1))\n";
    script += "  [ \"$rounds\" -ge " + QByteArray::number(limits.rounds) + " ] && break\n";
    script += "  sleep " + QByteArray::number(limits.pauseSeconds) + "\n";
    script += "done\n"
              "rmdir -- \"$D\" 2>/dev/null\n"
              "rm -f -- \"$S\"\n";
    return script;
}

QString WriteUninstallScript(const QString& programFile, const UninstallScriptLimits& limits) {
    // A temporary folder that does not exist gives an empty path here; the
    // script must never land in "/" instead.
    const QString temp = QDir::tempPath();
    if (temp.isEmpty() || !QFileInfo(temp).isDir())
        throw KelvastoError("no temporary folder for the uninstall script");
    // The unique name is made with its ".sh" already on, so the file that
    // reserves it is the script itself and nothing else is left behind. It
    // is created exclusively: a link planted under that name is never
    // followed, another name is taken instead.
    QByteArray pattern = QFile::encodeName(temp + QStringLiteral("/uisXXXXXX.sh"));
    FileDescriptor fd(::mkstemps(pattern.data(), 3));
    if (!fd.valid())
        throw KelvastoError("no temporary name for the uninstall script");
    const QString script = QFile::decodeName(pattern);
    const QByteArray text = UninstallScriptText(programFile, script, limits);
    qsizetype written = 0;
    while (written < text.size()) {
        const ssize_t n =
            ::write(fd.get(), text.constData() + written, size_t(text.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    if (!fd.close() || written != text.size()) {
        ::unlink(pattern.constData());
        throw KelvastoError("the uninstall script cannot be written: " + script.toStdString());
    }
    return script;
}

bool ProgramFileRemovable(const QString& programFile) {
    const QByteArray folder = QFile::encodeName(QFileInfo(programFile).absolutePath());
    struct stat info {};
    if (::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    if (::access(folder.constData(), W_OK | X_OK) != 0)
        return false;
    // In a sticky folder only the owner of the file or of the folder may
    // delete it.
    if ((info.st_mode & S_ISVTX) != 0 && ::geteuid() != 0) {
        struct stat file {};
        const QByteArray path = QFile::encodeName(programFile);
        if (::lstat(path.constData(), &file) == 0 && file.st_uid != ::geteuid() &&
            info.st_uid != ::geteuid())
            return false;
    }
    return true;
}
