#pragma once
// A cheap fingerprint that tells most same-size files apart without reading
// them wholly: a hash of the first and the last 8 KiB (the whole file when it
// is smaller). Photographs differ in both (the picture data's end always, the
// header's dates and exposure nearly always), and a file changed only near
// its end differs in the second. Small spans keep the cost of a fingerprint
// at two short reads, so a true duplicate is read wholly only once, by the
// comparison. Equal fingerprints prove nothing: the bytes are compared.

#include <QString>

#include <functional>
#include <optional>

inline constexpr qint64 kFingerprintSpan = 8 * 1024;

// nullopt when the file cannot be opened or read, or is no regular file.
std::optional<quint64> FileFingerprint(const QString& path, bool followLink = false);

// A hash of a file's whole content, read block by block: for sets of files
// whose fingerprints agree but whose bytes may not, so that each is read
// once more instead of once per other file. `size` seeds the hash. nullopt
// when the file cannot be read, or when `cancelled` (asked before each block)
// says so.
std::optional<quint64> ContentHash(const QString& path, qint64 size,
                                   const std::function<bool()>& cancelled);
