#include "jobs/similar/similarity_groups.h"

#include "base/threads/worker_threads.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>

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
    std::vector<std::uint32_t> start;   // kBuckets + 1 offsets into entries
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

// Calls visit(entry) for every code of one piece's table that lies within
// `threshold` bits of `code` and near it in that piece. Inlined into the
// cloned callers, so their population counts take the instruction.
template <class Visit>
[[gnu::always_inline]] inline void forEachNearInPiece(const PieceTable& table, int piece,
                                                      std::uint64_t code, int threshold,
                                                      Visit&& visit) {
    const int radius = pieceRadius(threshold, piece);
    if (radius < 0)
        return;
    const Masks& masks = masksByBitCount();
    const std::uint32_t own = pieceOf(code, piece);
    const std::size_t maskEnd = masks.endOfCount[std::size_t(radius)];
    for (std::size_t m = 0; m < maskEnd; ++m) {
        const std::uint32_t bucket = own ^ masks.masks[m];
        const std::uint32_t end = table.start[bucket + 1];
        for (std::uint32_t e = table.start[bucket]; e < end; ++e)
            if (__builtin_popcountll(code ^ table.codes[e]) <= threshold)
                visit(table.entries[e]);
    }
}

// The same over every piece: each code within `threshold` bits, once per
// piece it is near in.
template <class Visit>
[[gnu::always_inline]] inline void forEachNear(const std::vector<PieceTable>& tables,
                                               std::uint64_t code, int threshold, Visit&& visit) {
    for (int piece = 0; piece < kPieces; ++piece)
        forEachNearInPiece(tables[std::size_t(piece)], piece, code, threshold, visit);
}

// Each picture's place in the walk.
std::vector<int> ranksOf(const std::vector<int>& order, std::size_t pictures) {
    std::vector<int> rank(pictures);
    for (std::size_t i = 0; i < order.size(); ++i)
        rank[std::size_t(order[i])] = int(i);
    return rank;
}

// A founder with members is a group: the members in walk order behind it.
void addGroup(std::vector<int> members, const std::vector<int>& rank,
              std::vector<std::vector<int>>& groups) {
    if (members.size() < 2)
        return;
    std::sort(members.begin() + 1, members.end(),
              [&](int a, int b) { return rank[std::size_t(a)] < rank[std::size_t(b)]; });
    groups.push_back(std::move(members));
}

// The walk over the founders with both codes of every picture in the
// tables: each founder asks for its own near pictures, and grouped pictures
// drop out as the walk goes. Cloned for processors with a population-count
// instruction, which the bit comparisons spend most of their time in.
[[gnu::target_clones("popcnt", "default")]] std::vector<std::vector<int>>
groupWithTables(const std::vector<PieceTable>& tables, const std::vector<std::uint64_t>& codes,
                const std::vector<int>& order, int threshold) {
    const std::vector<int> rank = ranksOf(order, codes.size() / 2);
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
            forEachNear(tables, code, threshold, [&](std::uint32_t entry) {
                const std::size_t other = entry / 2;
                if (grouped[other] || (centre && (entry & 1) != 0))
                    return;
                grouped[other] = 1;
                members.push_back(int(other));
            });
        }
        addGroup(members, rank, groups);
    }
    return groups;
}

// Every pair within the threshold, found on all cores: each picture's whole
// code is looked up among all codes, wholes and centres, which finds every
// combination PictureDistance takes (whole-whole, whole-centre, and
// centre-whole from the other picture's side). False when
// the pairs would exceed `maxPairs` (thousands of near-identical pictures):
// the caller then walks the plain way, pair lists being no help there.
struct PairSearch {
    const std::vector<PieceTable>& tables; // of codesOf(pictures)
    const std::vector<PictureFingerprint>& pictures;
    int threshold;
    std::size_t maxPairs;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> found{0};
    std::atomic<bool> tooMany{false};

    // The wholes of entries [first, last) of one piece's table, each asked
    // for its near codes in that piece. The table holds them in the order
    // of their piece, so neighbouring asks read the same buckets: they stay
    // in the processor's cache instead of each coming from memory.
    [[gnu::target_clones("popcnt", "default")]] void
    lookUp(int piece, std::size_t first, std::size_t last,
           std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs) const {
        const PieceTable& table = tables[std::size_t(piece)];
        for (std::size_t e = first; e < last; ++e) {
            const std::uint32_t self = table.entries[e];
            if ((self & 1) != 0)
                continue; // a centre: asked for by the other picture's whole
            forEachNearInPiece(table, piece, table.codes[e], threshold, [&](std::uint32_t entry) {
                if (entry / 2 != self / 2)
                    pairs.emplace_back(self / 2, entry / 2);
            });
        }
    }

    void work(std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs) {
        constexpr std::size_t kChunk = 4096;
        const std::size_t perPiece = tables[0].entries.size();
        const std::size_t chunksPerPiece = (perPiece + kChunk - 1) / kChunk;
        for (;;) {
            const std::size_t chunk = next.fetch_add(1);
            if (chunk >= chunksPerPiece * kPieces || tooMany.load(std::memory_order_relaxed))
                return;
            const int piece = int(chunk / chunksPerPiece);
            const std::size_t begin = (chunk % chunksPerPiece) * kChunk;
            const std::size_t before = pairs.size();
            lookUp(piece, begin, std::min(perPiece, begin + kChunk), pairs);
            if (found.fetch_add(pairs.size() - before) + pairs.size() - before > maxPairs)
                tooMany = true;
        }
    }
};

// The neighbours of each picture (both ways, each once), or none when there
// are too many pairs.
std::optional<std::vector<std::vector<std::uint32_t>>>
neighboursOf(const std::vector<PictureFingerprint>& pictures, int threshold) {
    std::vector<std::uint64_t> codes = codesOf(pictures);
    std::vector<PieceTable> tables;
    for (int piece = 0; piece < kPieces; ++piece)
        tables.push_back(buildTable(codes, piece));
    codes = {};
    // Enough for every picture in a few groups; beyond it the plain walk.
    const std::size_t maxPairs = std::max<std::size_t>(pictures.size() * 8, 1 << 20);
    PairSearch search{tables, pictures, threshold, maxPairs};
    const int threads = WorkerThreadCount(0);
    using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    std::vector<Pairs> found(static_cast<std::size_t>(threads));
    RunOnWorkers(threads, [&search, &found](int t) { search.work(found[std::size_t(t)]); });
    if (search.tooMany)
        return std::nullopt;
    std::vector<std::vector<std::uint32_t>> neighbours(pictures.size());
    for (const auto& pairs : found)
        for (const auto& [a, b] : pairs) {
            neighbours[a].push_back(b);
            neighbours[b].push_back(a);
        }
    for (std::vector<std::uint32_t>& list : neighbours) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return neighbours;
}

std::vector<std::vector<int>>
groupNeighbours(const std::vector<std::vector<std::uint32_t>>& neighbours,
                const std::vector<int>& order) {
    const std::vector<int> rank = ranksOf(order, neighbours.size());
    std::vector<char> grouped(neighbours.size(), 0);
    std::vector<std::vector<int>> groups;
    for (const int founder : order) {
        if (grouped[std::size_t(founder)])
            continue;
        grouped[std::size_t(founder)] = 1;
        std::vector<int> members{founder};
        for (const std::uint32_t other : neighbours[std::size_t(founder)])
            if (!grouped[other]) {
                grouped[other] = 1;
                members.push_back(int(other));
            }
        addGroup(std::move(members), rank, groups);
    }
    return groups;
}

} // namespace

std::vector<std::vector<int>> GroupByDistance(const std::vector<PictureFingerprint>& pictures,
                                              const std::vector<int>& order, int threshold) {
    threshold = std::clamp(threshold, 0, kFingerprintBits);
    if (const auto neighbours = neighboursOf(pictures, threshold))
        return groupNeighbours(*neighbours, order);
    const std::vector<std::uint64_t> codes = codesOf(pictures);
    std::vector<PieceTable> tables;
    tables.reserve(kPieces);
    for (int piece = 0; piece < kPieces; ++piece)
        tables.push_back(buildTable(codes, piece));
    return groupWithTables(tables, codes, order, threshold);
}

std::vector<std::vector<int>> GroupByDistanceNaive(const std::vector<PictureFingerprint>& pictures,
                                                   const std::vector<int>& order, int threshold) {
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
