#pragma once
// File names on a terminal line, quoted the way GNU ls quotes them with
// --quoting-style=shell-escape: a name that a shell reads as itself is left
// alone; any other is put in single quotes, with control characters and bytes
// that are not UTF-8 written as $'\n' or $'\377' escapes. A line like
// "old -> new" then stays one line with exactly one unquoted " -> ", and each
// name can be pasted into a shell as it is.

#include <QByteArray>

// The quoted form of `name` (the file system's bytes, read as UTF-8).
QByteArray ShellEscapeQuoted(const QByteArray& name);
