#pragma once
// Empty-folder removal: the folders below a start folder that hold no bytes,
// sent to the trash deepest first. A folder is empty when everything below it
// adds up to zero bytes, so one holding only zero-length files or only empty
// folders goes too. Hidden folders (name beginning with ".") are never
// removed themselves, but what they hold counts for the folder above them.
//
// Sound where the plain sum would lose data:
// - a symbolic link, FIFO, socket or device counts as content (at least one
//   byte): it is not followed, and a folder holding one is never empty;
// - a folder whose size cannot be fully determined (an entry that cannot be
//   listed or measured) is not empty, and neither is any folder above it, so
//   an unreadable folder full of pictures never goes to the trash unseen;
// - the trash never falls back to a permanent delete, and a folder that is
//   no longer empty when its turn comes stays.

#include <QString>
#include <QStringList>

#include <optional>

class JobHost;

// Appends `folder` (ending in "/") and every folder below it that does not
// begin with "." (nor lies below one) to `list`, each with a trailing "/",
// and leaves `list` sorted in DuplicatePathLess order, so every folder stands
// before its sub-folders. A folder that cannot be listed has no sub-folders
// here and is reported (JobHost::reportSkipped). Processes pending messages
// once per folder.
void CollectFolders(JobHost& host, const QString& folder, QStringList& list);

// The sum of the sizes of every entry of `folder`, hidden ones included
// (folders count 0), and with `withSubfolders` that of every folder below it.
// nullopt when an entry cannot be listed or measured.
std::optional<qint64> FolderSize(const QString& folder, bool withSubfolders);

// Fills `list` with the empty folders below `start` (which ends in "/"),
// without trailing "/", in DuplicatePathLess order: a folder stands before its
// sub-folders, so removing from the last to the first goes deepest first. The
// start folder is never listed. One walk of the tree. A folder that cannot
// be listed, and one whose name cannot be worked on, is reported, not
// listed; the folders above it are never empty.
void CollectEmptyFolders(JobHost& host, const QString& start, QStringList& list);

// Sends `folders` to the trash from the last to the first, each only if it is
// still empty then; each one not trashed goes to the host's reportSkipped.
// Returns the folders trashed, deepest first.
QStringList TrashEmptyFolders(JobHost& host, const QStringList& folders);

struct EmptyFolderRemoval {
    int found = 0;          // empty folders listed
    bool confirmed = false; // the user answered Yes
    QStringList trashed;    // deepest first; the others were reported
};

// What the button "Leere Ordner löschen" runs: collects, shows NoEmptyFolders
// when there is nothing to remove, else asks the count + EmptyFoldersFound, a
// line break and ReallyDeleteFolders (Yes/No); on Yes trashes deepest first
// under the busy cursor and refreshes the file list.
EmptyFolderRemoval RemoveEmptyFolders(JobHost& host, const QString& start);
