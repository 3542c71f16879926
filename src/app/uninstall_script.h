#pragma once
// The script that removes the program's files after the program has ended.
//
// A POSIX sh script in the temporary folder. It deletes the program file and
// its companions (the command-line tool "kelvasto-batch", the help file,
// "liesmich.txt", "readme.txt", "FILE_ID.diz")
// in this order, round after round while any of them is left, then removes the
// program folder when it is empty, then deletes itself. Every path stands in
// single quotes with its quotes escaped, so no file name can inject a command;
// the rounds are bounded, so a file that can never go does not keep the script
// alive for ever.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct UninstallScriptLimits {
    int rounds = 120;     // rounds of deletion before the script gives up
    int pauseSeconds = 1; // between two rounds
};

// The companion files beside the program file, in the order of deletion. The
// command-line tool is part of the program and goes with it; the help file is
// named in both spellings the program was shipped with.
QStringList UninstallCompanionNames();

// `text` in single quotes, each quote written as '\'' : the shell takes every
// other byte literally.
QByteArray ShellQuoted(const QByteArray& text);

// The script for the program file P (an absolute path) and the script's own
// path S.
QByteArray UninstallScriptText(const QString& programFile, const QString& scriptPath,
                               const UninstallScriptLimits& limits = {});

// Writes the script to a new file in QDir::tempPath() named "uis", six
// unique characters and ".sh" (created exclusively; nothing else is left in
// the temporary folder, and the script deletes itself at its end). Returns
// the script's path; throws KelvastoError, leaving nothing behind, when no
// name can be made or the script cannot be written.
QString WriteUninstallScript(const QString& programFile, const UninstallScriptLimits& limits = {});

// True when this user may delete files in the program file's folder (write
// and search permission, and the sticky bit does not protect the file from
// him). An installation owned by root or a package manager gives false.
bool ProgramFileRemovable(const QString& programFile);
