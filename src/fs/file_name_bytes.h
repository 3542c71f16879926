#pragma once
// File names as the file system's bytes, carried in a QString without loss.
// A name whose bytes survive QFile::decodeName/encodeName is decoded as usual;
// in any other each byte of 0x80 and above becomes the code point
// U+DC80..U+DCFF, so its bytes can always be recovered and two different
// names never become one (decodeName would turn both into U+FFFD).

#include <QByteArray>
#include <QString>

QString DecodeNameLosslessly(const QByteArray& bytes);

// The file system bytes of a name or path decoded either way.
QByteArray FileNameBytes(const QString& name);

// The name as a terminal line shows it: quoted for the shell where needed,
// with bytes that are not UTF-8 and control characters escaped ($'\377',
// $'\n'), as GNU ls --quoting-style=shell-escape does.
QString ShellQuotedName(const QString& name);

// The name as a window shows it: as it is, unless it holds a line break or
// another control character, or bytes that are not UTF-8; those are shown
// in the quoted form, so every name stays on one line and two names never
// look alike.
QString ReadableName(const QString& name);
