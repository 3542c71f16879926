#pragma once
// Reads Windows and OS/2 bitmap files of every depth (1, 2, 4, 8, 16, 24 and
// 32 bits; uncompressed, bit fields, RLE8 and RLE4; bottom-up and top-down) into a
// 24-bit Picture. Pixels past the end of truncated data stay black; a header
// that contradicts itself or the file raises KelvastoError, and so does pixel
// data far shorter than the header claims (an eighth of the rows, or run-length
// data that cannot paint the canvas), before the picture is allocated.

#include "imaging/picture.h"

#include <QByteArray>

// What a bitmap whose pixel data ends before its last pixel becomes: black
// where the data is missing (good enough to look at), or refused, raising
// KelvastoError (a job that writes a new picture from it must not pass the
// damage on as a picture).
enum class CutOffBitmap { KeepBlack, Refuse };

Picture DecodeBmp(const QByteArray& data, CutOffBitmap cutOff = CutOffBitmap::KeepBlack);
