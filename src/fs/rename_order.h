#pragma once
// Whether a file system puts a file's new data on disk before a rename that
// replaces another file with it, by itself. Where it does, a rewrite can
// rename its new file over the old one at once; everywhere else a power cut
// after the rename could leave an empty or partly written file under the old
// name, so the data is flushed first.
//
// Known to order: ext4 (and ext3 run by the ext4 driver) with a journal in
// data=ordered mode, with auto_da_alloc (its default), which starts the new
// file's write-out at such a rename and commits the rename only after the
// data. Without a journal, with data=writeback or data=journal, with
// noauto_da_alloc, on any other or unknown file system: not known, so no.

#include <QByteArray>

// For the file system that holds the open file `fd`.
bool OrdersReplacingRename(int fd);

// The rule on one file system's options as ext4 lists them in
// /proc/fs/ext4/<device>/options, one per line (or separated by commas).
bool Ext4OptionsOrderRename(const QByteArray& options);
