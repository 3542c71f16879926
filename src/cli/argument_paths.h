#pragma once
// The paths a user names on the command line, taken the way the kernel takes
// them. A path is made absolute by the real path of its folder (every link
// and ".." resolved by the file system, not as text) with its final name
// kept, so "L/../x.jpg" with L a link names the file the kernel would open.
//
// Arguments are decoded from the raw argv bytes. An argument whose bytes do
// not survive QFile::decodeName/encodeName keeps each byte of 0x80 and above
// as the code point U+DC80..U+DCFF, so its bytes can always be recovered and
// it is never mistaken for another name.

#include <QByteArray>
#include <QString>
#include <QStringList>

QString DecodeArgument(const QByteArray& raw);
// The file system bytes of a decoded argument or of any path.
QByteArray ArgumentBytes(const QString& argument);
// False for an argument (or path) that the engine could not work on without
// mangling its name.
bool IsFaithfulArgument(const QString& argument);

enum class ArgumentKind {
    File,         // a regular file
    Folder,       // a folder (a link to a folder is followed: the user named it)
    SymbolicLink, // a link whose target is not taken
    Other,        // a device, FIFO or socket
    Missing,      // nothing there, or a folder on the way missing
    Unreachable,  // the file system refused (see `error`)
    NotUtf8,      // it exists, but its name is not UTF-8
};

struct ResolvedArgument {
    QString path; // absolute and resolved; a folder's ends with "/"
    ArgumentKind kind = ArgumentKind::Missing;
    int error = 0; // errno for Unreachable
};

// Resolves a file or folder argument. A final link is kept as a link, except
// that a link to a folder is followed when `followFolderLink` is set.
ResolvedArgument ResolveArgument(const QString& argument, bool followFolderLink);

// The folder `argument` names, resolved through every existing part; the
// parts that do not exist yet are appended as written (they hold no links),
// so the folder can still be created. Empty when a part cannot be reached.
QString ResolveFolderToCreate(const QString& argument);

// `paths` without repeats, in first-seen order.
QStringList WithoutRepeats(const QStringList& paths);

// Drops every start folder that the walk of another one already reaches
// (it lies below it, with no hidden folder on the way), keeping the order of
// the rest. Folders end with "/".
QStringList OutermostFolders(const QStringList& folders);
