#pragma once
// The fingerprint of a photograph that survives what people do to copies of
// it: saving at another size or quality, cropping a few percent from the
// edges, brightening, turning it grey. The picture is decoded at 1/8 scale
// (each 8 x 8 block one pixel; the DC scans alone for progressive files) and
// averaged down to 32 x 32 grey values; the lowest 8 x 8 frequencies of
// their cosine transform, but for the mean, are each compared with their
// median: 63 bits, one more for whether the picture is wider than high.
//
// Brightness and contrast change every coefficient alike, so the median
// comparison keeps its bits; scaling and recompression change little in the
// lowest frequencies. A crop enlarges what is left, and that moves even the
// low frequencies, so each picture has a second code of its centre, 5 % in
// from each side: a copy cropped by up to about 10 % per side lies near the
// original in one of the comparisons of whole picture and centre.
//
// Two codes are compared by the number of bits that differ.

#include <QByteArray>

#include <algorithm>
#include <bit>
#include <cstdint>

struct PictureFingerprint {
    std::uint64_t bits = 0;   // the whole picture
    std::uint64_t centre = 0; // its centre, 5 % in from each side
    int width = 0;            // the picture's size from its header
    int height = 0;
    bool operator==(const PictureFingerprint&) const = default;
};

// Bits of a code: the greatest distance there is.
inline constexpr int kFingerprintBits = 64;

// How many bits two codes differ in: 0 for the same picture, about 32 for
// unrelated ones.
inline int FingerprintDistance(std::uint64_t a, std::uint64_t b) {
    return std::popcount(a ^ b);
}

// How far apart two pictures are: the nearest of whole against whole, and of
// either's whole against the other's centre (one of them cropped).
inline int PictureDistance(const PictureFingerprint& a, const PictureFingerprint& b) {
    return std::min({FingerprintDistance(a.bits, b.bits), FingerprintDistance(a.bits, b.centre),
                     FingerprintDistance(a.centre, b.bits)});
}

// The fingerprint of a JPEG file's bytes. Decoding is bounded as everywhere
// (decode_limits.h, jpeg_decode_cost.h): a hostile or undecodable file
// throws KelvastoError, and so does a header without a picture.
PictureFingerprint FingerprintJpeg(const QByteArray& data);

class Picture;

// The same from a picture already decoded, of any size; its size is the
// fingerprint's.
PictureFingerprint FingerprintPicture(const Picture& picture);
