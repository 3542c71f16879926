#include "jobs/similar/similarity_groups.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kPieces = 4;
constexpr int kPieceBits = 16;
constexpr std::size_t kBuckets = std::size_t{1} << kPieceBits;

std::uint32_t pieceOf(std::uint64_t code, int piece) {
    return std::uint32_t(code >> (piece * kPieceBits)) & 0xFFFFu;
}

// Every 16-bit mask, fewest bits first, and where each bit count ends.
struct Masks {
    std::vector<std::uint32_t> masks;
    std::array<std::size_t, kPieceBits + 1> endOfCount{};
};

const Masks& masksByBitCount() {
    static const Masks all = [] {
        Masks m;
        m.masks.reserve(kBuckets);
        for (int bits = 0; bits <= kPieceBits; ++bits) {
            for (std::uint32_t mask = 0; mask < kBuckets; ++mask)
                if (std::popcount(mask) == bits)
                    m.masks.push_back(mask);
            m.endOfCount[std::size_t(bits)] = m.masks.size();
        }
        return m;
    }();
    return all;
}

// Both codes of every picture: entry 2i is picture i's whole, 2i + 1 its centre.
std::vector<std::uint64_t> codesOf(const std::vector<PictureFingerprint>& pictures) {
    std::vector<std::uint64_t> codes;
    codes.reserve(pictures.size() * 2);
    for (const PictureFingerprint& picture : pictures) {
        codes.push_back(picture.bits);
        codes.push_back(picture.centre);
    }
    return codes;
}

// One table per piece: the codes sorted by that piece, each bucket a run.
struct PieceTable {
    std::vector<std::uint32_t> start; // kBuckets + 1 offsets into entries
    std::vector<std::uint32_t> entries; // indexes into the codes
    std::vector<std::uint64_t> codes;   // beside them, so a bucket is read in one run
};

PieceTable buildTable(const std::vector<std::uint64_t>& codes, int piece) {
    PieceTable table;
    table.start.assign(kBuckets + 1, 0);
    for (const std::uint64_t code : codes)
        ++table.start[pieceOf(code, piece) + 1];
    for (std::size_t b = 0; b < kBuckets; ++b)
        table.start[b + 1] += table.start[b];
    std::vector<std::uint32_t> fill(table.start.begin(), table.start.end() - 1);
    table.entries.resize(codes.size());
    table.codes.resize(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::uint32_t at = fill[pieceOf(codes[i], piece)]++;
        table.entries[at] = std::uint32_t(i);
        table.codes[at] = codes[i];
    }
    return table;
}

// The radius each piece is searched with so that no pair within `threshold`
// is missed: with threshold = 4q + a, pieces 0..a need q, the others q - 1.
int pieceRadius(int threshold, int piece) {
    const int q = threshold / kPieces;
    const int a = threshold % kPieces;
    return std::min(piece <= a ? q : q - 1, kPieceBits);
}

// The walk over the founders. Cloned for processors with a population-count
// instruction, which the bit comparisons spend most of their time in.
[[gnu::target_clones("popcnt", "default")]] std::vector<std::vector<int>>
groupWithTables(const std::vector<PieceTable>& tables, const std::vector<std::uint64_t>& codes,
                const std::vector<int>& order, int threshold) {
    const Masks& masks = masksByBitCount();
    std::vector<int> rank(codes.size() / 2);
    for (std::size_t i = 0; i < order.size(); ++i)
        rank[std::size_t(order[i])] = int(i);
    std::vector<char> grouped(rank.size(), 0);
    std::vector<std::vector<int>> groups;
    std::vector<int> members;
    for (const int founder : order) {
        if (grouped[std::size_t(founder)])
            continue;
        grouped[std::size_t(founder)] = 1;
        members.assign(1, founder);
        // The founder's whole against every code, its centre against wholes.
        for (const bool centre : {false, true}) {
            const std::uint64_t code = codes[std::size_t(founder) * 2 + (centre ? 1 : 0)];
            for (int piece = 0; piece < kPieces; ++piece) {
                const int radius = pieceRadius(threshold, piece);
                if (radius < 0)
                    continue;
                const PieceTable& table = tables[std::size_t(piece)];
                const std::uint32_t own = pieceOf(code, piece);
                const std::size_t maskEnd = masks.endOfCount[std::size_t(radius)];
                for (std::size_t m = 0; m < maskEnd; ++m) {
                    const std::uint32_t bucket = own ^ masks.masks[m];
                    const std::uint32_t end = table.start[bucket + 1];
                    for (std::uint32_t e = table.start[bucket]; e < end; ++e) {
                        if (__builtin_popcountll(code ^ table.codes[e]) > threshold)
                            continue;
                        const std::uint32_t entry = table.entries[e];
                        const std::size_t other = entry / 2;
                        if (grouped[other] || (centre && (entry & 1) != 0))
                            continue;
                        grouped[other] = 1;
                        members.push_back(int(other));
                    }
                }
            }
        }
        if (members.size() < 2)
            continue;
        std::sort(members.begin() + 1, members.end(),
                  [&](int a, int b) { return rank[std::size_t(a)] < rank[std::size_t(b)]; });
        groups.push_back(members);
    }
    return groups;
}

} // namespace

std::vector<std::vector<int>> GroupByDistance(const std::vector<PictureFingerprint>& pictures,
                                              const std::vector<int>& order, int threshold) {
    threshold = std::clamp(threshold, 0, kFingerprintBits);
    const std::vector<std::uint64_t> codes = codesOf(pictures);
    std::vector<PieceTable> tables;
    tables.reserve(kPieces);
    for (int piece = 0; piece < kPieces; ++piece)
        tables.push_back(buildTable(codes, piece));
    return groupWithTables(tables, codes, order, threshold);
}

std::vector<std::vector<int>>
GroupByDistanceNaive(const std::vector<PictureFingerprint>& pictures, const std::vector<int>& order,
                     int threshold) {
    threshold = std::clamp(threshold, 0, kFingerprintBits);
    std::vector<char> grouped(pictures.size(), 0);
    std::vector<std::vector<int>> groups;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int founder = order[i];
        if (grouped[std::size_t(founder)])
            continue;
        grouped[std::size_t(founder)] = 1;
        std::vector<int> members{founder};
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            const int other = order[j];
            if (!grouped[std::size_t(other)] &&
                PictureDistance(pictures[std::size_t(founder)], pictures[std::size_t(other)]) <=
                    threshold) {
                grouped[std::size_t(other)] = 1;
                members.push_back(other);
            }
        }
        if (members.size() > 1)
            groups.push_back(members);
    }
    return groups;
}
