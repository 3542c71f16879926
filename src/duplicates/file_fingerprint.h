#pragma once
// A cheap fingerprint that tells most same-size files apart without reading
// them wholly: a hash of the first and the last 64 KiB (the whole file when it
// is smaller). Photographs differ in both, and a file changed only near its
// end differs in the second. Equal fingerprints prove nothing: the bytes are
// compared afterwards.

#include <QString>

#include <optional>

inline constexpr qint64 kFingerprintSpan = 64 * 1024;

// nullopt when the file cannot be opened or read, or is no regular file.
std::optional<quint64> FileFingerprint(const QString& path, bool followLink = false);
