#pragma once
// Thumbnails: each picture scaled to fit a square and saved as a JPEG beside
// it (or in the chosen destination) under prefix + base name + postfix + the
// source's own extension, letter case unchanged: Bild.JPG with postfix
// "_thumb" gives Bild_thumb.JPG.

#include "fs/result_files.h"
#include "imaging/picture.h"

#include <QString>

struct LoadedPicture;

// prefix + base name of `sourcePath` + postfix + its extension (from the last
// ".", as it is).
QString ThumbnailName(const QString& prefix, const QString& sourcePath, const QString& postfix);

// The source's picture at its ScaleToFit size for `side`.
LoadedPicture LoadThumbnailPicture(const QString& sourcePath, int side);

// Writes `loaded` as folder + name through `results`; a picture that could
// not be loaded, or a file that cannot be written, is reported there and the
// run goes on. True when the thumbnail was written.
bool MakeThumbnail(const QString& sourcePath, const LoadedPicture& loaded, const QString& folder,
                   const QString& name, ResultFiles& results);
