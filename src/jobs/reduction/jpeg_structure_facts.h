#pragma once
// What the reduction needs to know about a JPEG file's structure before it
// cuts, each read with the marker walk (jpeg_marker_walker.h):
//
// - Whether the file is a JPEG at all: it begins with the start-of-image
//   marker and another marker right behind it. Anything else (a PNG or a
//   web page under a ".jpg" name) is never changed.
// - Whether its Adobe segment (APP14) decides the decoded colours. A decoder
//   reads the colour transform of that segment for three and four colour
//   components; without it, it guesses from the component identifiers, and
//   CMYK and YCCK files lose the mark that their inks are stored inverted.
//   The segment can go only where the guess gives the same pixels: one
//   component (grey), or three whose identifiers do not read "R", "G", "B"
//   while every Adobe segment says YCbCr (transform 1). Where the frame
//   header is not found, the segment stays.
// - Its picture data, as a digest: every byte from the start-of-image marker
//   to the main picture's end-of-image marker except the application
//   segments (APP0..APP15) and comments, which is what a reduction leaves
//   untouched. Two files with the same digest hold the same picture.

#include <QByteArray>

class JpegCutView;

bool StartsLikeJpeg(JpegCutView& view);

bool AdobeSegmentDecidesColours(JpegCutView& view);

// Empty when the file holds no marker structure at all.
QByteArray PictureDataDigest(JpegCutView& view);
