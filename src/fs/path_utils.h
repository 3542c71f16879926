#pragma once
// Small path and shell routines shared by the jobs and the main window.

#include <QString>

// Appends "/" unless the path already ends with one. Never passed empty.
QString AddTrailingBackslash(const QString& path);

// The folder part of a path, with its trailing "/"; empty when it has none.
QString FolderOf(const QString& path);

// The part behind the last "/" (the whole path when it has none).
QString FileNameOf(const QString& path);

// n + 1 blanks (n + 1, not n), n from 0 to 255.
QString MakeBlanks(int n);

// The text without the characters "0" to "9".
QString StripDigits(const QString& text);

// A POSIX path has one root: the drive part of an absolute path is "/". Ready
// when statvfs succeeds on the path's nearest existing ancestor; a relative or
// empty path is not ready.
bool IsDriveReady(const QString& path);

// The nearest existing folder at or above `path` ("/" at the latest); empty
// for a relative path.
QString NearestExistingFolder(const QString& path);

// Moves a file or folder to the freedesktop.org trash. True when the trash
// reported success and nothing is left at the path. Never deletes permanently.
bool RecycleFile(const QString& path);

// True when the name survives decodeName/encodeName unchanged; collections
// skip every other name so that no job works on a mangled path.
bool IsFaithfulFileName(const QByteArray& encodedName);
