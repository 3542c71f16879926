#pragma once
// The script that removes the program's files after the program has ended.
//
// A POSIX sh script in the temporary folder. It deletes the program file and
// its companions (the help file, "liesmich.txt", "readme.txt", "FILE_ID.diz")
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
// help file is named in both spellings the program was shipped with.
QStringList UninstallCompanionNames();

// `text` in single quotes, each quote written as '\'' : the shell takes every
// other byte literally.
QByteArray ShellQuoted(const QByteArray& text);

// The script for the program file P (an absolute path) and the script's own
// path S.
QByteArray UninstallScriptText(const QString& programFile, const QString& scriptPath,
                               const UninstallScriptLimits& limits = {});

// Makes a unique name in QDir::tempPath() with the prefix "uis" (mkstemp; the
// empty file it creates stays), replaces its extension by ".sh" and writes the
// script there. Returns the script's path; throws KelvastoError when no name
// can be made or the script cannot be written.
QString WriteUninstallScript(const QString& programFile, const UninstallScriptLimits& limits = {});

// True when this user may delete files in the program file's folder (write
// and search permission, and the sticky bit does not protect the file from
// him). An installation owned by root or a package manager gives false.
bool ProgramFileRemovable(const QString& programFile);
