#pragma once
// The fingerprints of pictures seen before, per user, so that a second run
// over an unchanged collection decodes nothing: an SQLite file in
// $XDG_CACHE_HOME/Kelvasto/, one row per path with the key of the file it was
// made from (size, modification time, inode). A row whose key differs from
// the file's is stale and never used.
//
// The file is written in SQLite transactions with a write-ahead log, so a
// kill or a power cut leaves the last committed state. A file that is
// damaged, belongs to another program, or was written by another version of
// this cache is removed and made anew before anything is read from it; a
// row whose values cannot be a fingerprint counts as missing. When the file
// cannot be used at all (a read-only cache folder, a second program holding
// it locked for long) the cache stays empty and the search computes
// everything: the cache only ever saves time.
//
// One object belongs to one thread; several programs may use the file at once.

#include "jobs/similar/picture_fingerprint.h"
#include "jobs/similar/picture_source.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class FingerprintCache {
public:
    // Opens `file`, creating it (and its folder) when missing.
    explicit FingerprintCache(const QString& file);
    // Commits what was stored.
    ~FingerprintCache();
    FingerprintCache(const FingerprintCache&) = delete;
    FingerprintCache& operator=(const FingerprintCache&) = delete;

    // $XDG_CACHE_HOME/Kelvasto/similar-pictures.sqlite
    static QString defaultFile();

    // False when the file could not be used: every lookup misses.
    bool isOpen() const;
    // True when the file found was not trusted and was made anew.
    bool wasRebuilt() const;

    // What is stored for `path` made from a file with exactly `key`.
    std::optional<PictureFingerprint> fingerprint(const QString& path, const PictureFileKey& key);
    // The picture-data digest, with the picture's size in `size` (its bits 0).
    QByteArray pictureDigest(const QString& path, const PictureFileKey& key,
                             PictureFingerprint& size);

    // Stores for `path` (replacing what belonged to another key); written
    // in batches, at the latest by flush() or the destructor.
    void storeFingerprint(const QString& path, const PictureFileKey& key,
                          const PictureFingerprint& fingerprint);
    void storeDigest(const QString& path, const PictureFileKey& key, const QByteArray& digest,
                     int width, int height);
    void flush();

    // The schema version this program writes; a file of any other is rebuilt.
    static constexpr int kVersion = 1;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
