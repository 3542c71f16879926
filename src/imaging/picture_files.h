#pragma once
// The picture file rules every job follows: the kind of a file by its
// extension, reading JPEG and bitmap files into a Picture, and writing JPEG
// files so that a user's picture is never left half-written.

#include "imaging/bmp_reader.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture.h"

#include <QString>

enum class PictureFileKind { None, Jpeg, Bitmap };

// ".jpg" and ".jpeg" are JPEG files, ".bmp" bitmap files, by the lower-cased
// extension; anything else is neither.
PictureFileKind PictureKind(const QString& path);

// The whole file, for decoding; throws KelvastoError when it cannot be read
// or is far larger than any picture the program can decode.
QByteArray ReadPictureFile(const QString& path);

// Throw KelvastoError when the file cannot be read or decoded.
Picture LoadJpegFile(const QString& path, const JpegDecodeOptions& options = {});
Picture LoadBmpFile(const QString& path, CutOffBitmap cutOff = CutOffBitmap::KeepBlack);
// By PictureKind; a file of neither kind raises as well, so callers that leave
// such a picture empty test PictureKind first.
Picture LoadPictureFile(const QString& path);

// Quality 90, colour, baseline sequential. Written to a temporary file beside
// the target and renamed over it, so the target is either the old file or the
// complete new one; a replaced file keeps its permission bits. A target that
// exists but may not be written is refused, and so is a failed write (full disk):
// both raise KelvastoError and leave the target as it was.
void SaveAsJpeg(const Picture& picture, const QString& path);

constexpr int kJpegQuality = 90;
