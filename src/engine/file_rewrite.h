#pragma once
// Replaces a file by a selection of its own bytes without ever leaving it
// half-written: the new content goes to a temporary file in the same folder,
// is flushed to disk, and is renamed over the file in one step. A process
// killed at any moment leaves the old file or the new one, never a mix; at
// worst a hidden temporary file ".kelvasto-XXXXXX" remains beside it.

#include <QString>

#include "engine/jpeg_cut_view.h"

#include <vector>

#include <sys/stat.h>

// Writes the `ranges` of the open file `sourceFd` (described by `info`) in
// order into a temporary file beside `path`, gives it the permission bits
// (read/write/execute) of `info` and, where the system allows, its owner and
// group, then renames it over `path`. False when any step failed; then
// `path` is untouched and the temporary file is gone.
bool RewriteFileFromRanges(const QString& path, int sourceFd, const struct stat& info,
                           const std::vector<ByteRange>& ranges);
