#pragma once
// Groups fingerprints that lie within a distance of each other, without
// comparing every pair. A picture joins a group only when it is close to the
// group's first picture, never through a chain of pictures each close to the
// next: a chain of small differences would otherwise merge unrelated
// photographs (a sunset, a slightly darker sunset, a dusk, a night ...).
//
// The fingerprints are walked in the given order. The first one not yet in a
// group founds the next group, and every fingerprint not yet in a group
// within `threshold` bits of it joins, in walk order. A founder nobody joins
// forms no group.
//
// Distances are PictureDistance (picture_fingerprint.h): whole against
// whole, or one's whole against the other's centre.
//
// The search is multi-index hashing: both codes of every picture are cut
// into four pieces of 16 bits; two codes within `threshold` bits agree
// within threshold / 4 bits on at least one piece, so each piece's table is
// asked only for its near neighbours. A million fingerprints group in
// seconds.

#include "jobs/similar/picture_fingerprint.h"

#include <vector>

// Indexes into `pictures`, each group founder first. `order` holds every
// index of `pictures` once; it decides who founds a group. The search is
// built for thresholds up to about 20; higher ones are right, only slower.
std::vector<std::vector<int>> GroupByDistance(const std::vector<PictureFingerprint>& pictures,
                                              const std::vector<int>& order, int threshold);

// The plain definition, comparing every pair: for the tests.
std::vector<std::vector<int>> GroupByDistanceNaive(const std::vector<PictureFingerprint>& pictures,
                                                   const std::vector<int>& order, int threshold);
