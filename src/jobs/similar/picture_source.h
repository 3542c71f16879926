#pragma once
// What the similar-picture search reads of a file: its bytes and the key
// that says whether a stored fingerprint still belongs to it (size,
// modification time, inode). The key is taken from the open file, so it
// describes exactly the bytes read, even when the file is replaced meanwhile.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

struct PictureFileKey {
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0; // modification time, nanoseconds since the epoch
    std::uint64_t inode = 0;
    bool operator==(const PictureFileKey&) const = default;
};

// The key of the file as it stands now, without opening it; none when it
// cannot be taken or the file is no regular file.
std::optional<PictureFileKey> PictureFileKeyOf(const QString& path);

struct PictureFileBytes {
    QByteArray bytes;
    PictureFileKey key;
};

// The whole file and its key. Throws KelvastoError (with the system's reason)
// when it cannot be opened or read, is no regular file, or is far larger than
// any picture the program can decode.
PictureFileBytes ReadPictureFileWithKey(const QString& path);
