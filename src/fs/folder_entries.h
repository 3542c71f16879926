#pragma once
// Reading one folder's entries for a listing, a piece at a time: readdir for
// the names and one statx per entry relative to the open folder, so a folder
// of a hundred thousand pictures costs no path walks and no per-entry
// objects beyond the entry itself. Links are followed as a file manager
// shows them: a link to a folder is a folder; a dangling link, like a
// device, FIFO or socket, is a system entry.

#include "fs/directory_handle.h"

#include <QString>

#include <cstdint>
#include <vector>

enum class FolderEntryKind : std::uint8_t { File, Folder, System };

struct FolderEntry {
    QString name;
    std::int64_t size = 0;       // bytes; 0 for folders and system entries
    std::int64_t modifiedMs = 0; // since the epoch; 0 when the entry could not be read
    FolderEntryKind kind = FolderEntryKind::File;
    bool ascii = false;   // the name is plain ASCII, its bytes its characters
    bool faithful = true; // the name survives decodeName/encodeName unchanged
};

class FolderEntryReader {
public:
    enum class Detail {
        Full,     // kind, size and time of every entry
        KindOnly, // the kind from the listing; a look at the entry only for links
    };
    // Opens `folder` (a path of any length); see isOpen().
    explicit FolderEntryReader(const QString& folder, Detail detail = Detail::Full);
    bool isOpen() const { return m_dir != nullptr; }
    // errno of the failed open.
    int error() const { return m_error; }

    // Appends up to `count` entries ("." and ".." left out, and entries that
    // vanished while being read); false once the folder has been read whole.
    bool read(std::vector<FolderEntry>& entries, int count);

private:
    DirHandle m_dir;
    Detail m_detail;
    int m_error = 0;
};
