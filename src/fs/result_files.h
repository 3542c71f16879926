#pragma once
// Writing a result picture (an index sheet, a thumbnail) under a name that may
// already be taken. Such a name can be one of the user's own photographs, so the
// file there goes to the trash first and is never lost; a file that cannot be
// trashed keeps its place and the result is not written. The new file is
// written to a temporary name beside the target and renamed into place, so a
// killed run never leaves a half-written picture under the final name.

#include "imaging/picture.h"

#include <QString>

#include <functional>

// Told about every file a job passed over or could not write, with the reason.
using SkipReport = std::function<void(const QString& path, const QString& reason)>;

// Encodes `picture` with SaveAsJpeg's settings and puts it at `path`. Returns
// false and sets `reason` when nothing was written.
bool WriteResultJpeg(const Picture& picture, const QString& path, QString& reason);
