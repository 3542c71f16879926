// The grouping rule (a picture joins only when close to the group's first
// picture: no chains) and the index search against the plain comparison of
// every pair.

#include "common/test_registry.h"

#include "jobs/similar/similarity_groups.h"

#include <QTest>

#include <random>

using Groups = std::vector<std::vector<int>>;

namespace {

// `bits` low bits set.
std::uint64_t ones(int bits) {
    return bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
}

// Pictures of these whole codes, each centre far from every whole.
std::vector<PictureFingerprint> pictures(std::initializer_list<std::uint64_t> wholes) {
    std::vector<PictureFingerprint> out;
    for (const std::uint64_t whole : wholes)
        out.push_back({whole, ~whole ^ 0xF0F0F0F0F0F0F0F0, 100, 100});
    return out;
}

std::vector<int> inOrder(std::size_t count) {
    std::vector<int> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = int(i);
    return order;
}

} // namespace

class TestSimilarityGroups : public QObject {
    Q_OBJECT
private slots:
    void groupsFollowTheFirstPicture_data() {
        QTest::addColumn<std::vector<PictureFingerprint>>("codes");
        QTest::addColumn<std::vector<int>>("order");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<Groups>("expected");
        // 0 - 1 - 2 each 6 bits apart, 0 and 2 12 bits: a chain.
        const std::vector<PictureFingerprint> chain = pictures({0, ones(6), ones(12)});
        QTest::newRow("chain: the third joins nobody")
            << chain << std::vector<int>{0, 1, 2} << 8 << Groups{{0, 1}};
        QTest::newRow("chain from its middle takes both ends")
            << chain << std::vector<int>{1, 0, 2} << 8 << Groups{{1, 0, 2}};
        QTest::newRow("threshold is inclusive")
            << pictures({0, ones(8)}) << std::vector<int>{0, 1} << 8 << Groups{{0, 1}};
        QTest::newRow("one beyond the threshold")
            << pictures({0, ones(9)}) << std::vector<int>{0, 1} << 8 << Groups{};
        QTest::newRow("members in walk order, founder first")
            << pictures({ones(3), 0, ones(2), ones(40)}) << std::vector<int>{2, 0, 3, 1} << 4
            << Groups{{2, 0, 1}};
        // A crop: the copy's whole is the original's centre, and the other
        // way round; neither whole is near the other.
        QTest::newRow("cropped copy, either first")
            << std::vector<PictureFingerprint>{{0, ones(30), 10, 10},
                                               {ones(60), 1, 10, 10},
                                               {ones(30) ^ 2, ones(50), 10, 10}}
            << std::vector<int>{2, 1, 0} << 4 << Groups{{2, 0}};
        QTest::newRow("two centres alike are no match")
            << std::vector<PictureFingerprint>{{0, ones(50), 10, 10}, {ones(20), ones(50), 10, 10}}
            << std::vector<int>{0, 1} << 4 << Groups{};
        QTest::newRow("threshold 0: equal codes only")
            << pictures({5, 5, 4}) << std::vector<int>{0, 1, 2} << 0 << Groups{{0, 1}};
    }

    void groupsFollowTheFirstPicture() {
        QFETCH(std::vector<PictureFingerprint>, codes);
        QFETCH(std::vector<int>, order);
        QFETCH(int, threshold);
        QFETCH(Groups, expected);
        QCOMPARE(GroupByDistance(codes, order, threshold), expected);
        QCOMPARE(GroupByDistanceNaive(codes, order, threshold), expected);
    }

    // A burst of near-identical shots gives more pairs than the pair lists
    // hold: the search then walks the plain way, with the same groups.
    void burstOfIdenticalPicturesIsOneGroup() {
        std::vector<PictureFingerprint> codes(1600, PictureFingerprint{42, 43, 10, 10});
        codes.push_back({~std::uint64_t{42}, ~std::uint64_t{43}, 10, 10});
        std::vector<int> order = inOrder(codes.size());
        std::reverse(order.begin(), order.end());
        const Groups groups = GroupByDistance(codes, order, 10);
        QCOMPARE(groups.size(), std::size_t(1));
        QCOMPARE(groups.at(0).size(), std::size_t(1600));
        QCOMPARE(groups.at(0).front(), 1599);
        QCOMPARE(groups.at(0).back(), 0);
    }

    void indexFindsWhatEveryPairFinds_data() {
        QTest::addColumn<int>("threshold");
        for (const int threshold : {0, 1, 3, 4, 5, 7, 8, 10, 12, 13, 16, 20})
            QTest::addRow("threshold %d", threshold) << threshold;
    }

    // A pair the index misses is a copy the user never sees: clusters whose
    // members differ in exactly the threshold's bits, spread over all four
    // pieces, are where a wrong piece radius would show.
    void indexFindsWhatEveryPairFinds() {
        QFETCH(int, threshold);
        std::mt19937_64 random(std::uint64_t(threshold) + 7);
        const auto near = [&](std::uint64_t code) {
            const int flips = int(random() % std::uint64_t(threshold + 3));
            for (int f = 0; f < flips; ++f)
                code ^= std::uint64_t{1} << (random() % 64);
            return code;
        };
        std::vector<PictureFingerprint> codes;
        for (int cluster = 0; cluster < 300; ++cluster) {
            const std::uint64_t whole = random(), centre = random();
            codes.push_back({whole, centre, 10, 10});
            // Copies near the whole, near the centre (cropped), or near both.
            codes.push_back({near(whole), near(centre), 10, 10});
            codes.push_back({near(centre), random(), 10, 10});
            codes.push_back({random(), near(whole), 10, 10});
        }
        std::vector<int> order = inOrder(codes.size());
        std::shuffle(order.begin(), order.end(), random);
        QCOMPARE(GroupByDistance(codes, order, threshold),
                 GroupByDistanceNaive(codes, order, threshold));
    }
};

KELVASTO_REGISTER_TEST(TestSimilarityGroups)
#include "test_similarity_groups.moc"
