#pragma once
// The same picture with other metadata: two JPEG files whose picture data
// (frame header, tables, scans with their entropy-coded data) are byte for
// byte the same, while their APP segments (EXIF, XMP, ICC profiles, maker
// notes) or comments differ, show exactly the same pixels. The digest covers
// everything from the start-of-image marker to the end-of-image marker but
// the APP and comment segments; bytes behind the end are no picture data.
// The segments are found by the reduction's marker walk, so a byte pair
// 0xFF xx inside a segment or inside entropy-coded data is never taken for a
// marker.

#include <QByteArray>

// 32 bytes (SHA-256); empty when the file is no complete JPEG structure (no
// frame, no scan, or no end-of-image marker where the walk ends).
QByteArray PictureDataDigest(const QByteArray& data);
