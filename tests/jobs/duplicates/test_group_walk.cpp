// The walk played from classes against the pairwise walk written out plainly:
// the same lines, the same count of found files, for every way a small group
// can fall into classes and every comparison it may be stopped after.

#include "common/test_registry.h"
#include "jobs/duplicates/group_walk.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>
#include <numeric>
#include <vector>

namespace {

constexpr int kBlank = -1;

// What a walk leaves: its lines (file indices, kBlank for the empty line),
// its count of found files and of comparisons.
struct Shown {
    QList<int> lines;
    int found = 0;
    qint64 comparisons = 0;
    bool operator==(const Shown& other) const {
        return lines == other.lines && found == other.found;
    }
};

// The walk as the search once ran it: every pair compared in its turn, the
// stop request read after each comparison (stopAfter 0: never).
Shown pairwiseWalk(const std::vector<int>& classOf, qint64 stopAfter) {
    std::vector<int> group(classOf.size());
    std::iota(group.begin(), group.end(), 0);
    Shown shown;
    while (group.size() > 1) {
        const int first = group.front();
        bool matched = false;
        for (std::size_t k = group.size() - 1; k >= 1; --k) {
            ++shown.comparisons;
            if (classOf[std::size_t(group[k])] == classOf[std::size_t(first)]) {
                ++shown.found;
                if (!matched)
                    shown.lines.append(first);
                shown.lines.append(group[k]);
                matched = true;
                group.erase(group.begin() + std::ptrdiff_t(k));
            }
            if (shown.comparisons == stopAfter)
                return shown;
        }
        group.erase(group.begin());
        if (matched)
            shown.lines.append(kBlank);
    }
    return shown;
}

class Recorder : public GroupWalk::Observer {
public:
    explicit Recorder(qint64 stopAfter) : m_stopAfter(stopAfter) {}
    bool goOn(qint64 comparisons) override { return m_stopAfter == 0 || comparisons < m_stopAfter; }
    void matched(qsizetype first, qsizetype member, bool firstMatch) override {
        ++shown.found;
        if (firstMatch)
            shown.lines.append(int(first));
        shown.lines.append(int(member));
    }
    void passEnded() override { shown.lines.append(kBlank); }
    Shown shown;

private:
    qint64 m_stopAfter;
};

Shown playedWalk(const std::vector<int>& classOf, qint64 stopAfter) {
    GroupWalk walk(qsizetype(classOf.size()));
    Recorder recorder(stopAfter);
    while (!walk.done()) {
        const qsizetype first = walk.first();
        std::vector<qsizetype> identical;
        for (std::size_t i = std::size_t(first) + 1; i < classOf.size(); ++i)
            if (classOf[i] == classOf[std::size_t(first)])
                identical.push_back(qsizetype(i));
        if (!walk.playPass(identical, recorder))
            return recorder.shown;
    }
    walk.finish(recorder);
    recorder.shown.comparisons = walk.comparisons();
    return recorder.shown;
}

// Every partition of n files into classes (restricted growth strings).
void forEachPartition(int n, const std::function<void(const std::vector<int>&)>& visit) {
    std::vector<int> classOf(std::size_t(n), 0);
    std::function<void(int, int)> fill = [&](int at, int classes) {
        if (at == n) {
            visit(classOf);
            return;
        }
        for (int c = 0; c <= classes; ++c) {
            classOf[std::size_t(at)] = c;
            fill(at + 1, std::max(classes, c + 1));
        }
    };
    fill(0, 0);
}

QString describe(const std::vector<int>& classOf, qint64 stopAfter) {
    QStringList classes;
    for (const int c : classOf)
        classes.append(QString::number(c));
    return QStringLiteral("classes %1, stop after %2").arg(classes.join(' ')).arg(stopAfter);
}

} // namespace

class TestGroupWalk : public QObject {
    Q_OBJECT
private slots:
    // n files in any classes, stopped after any comparison or not at all.
    void everyPartitionEveryStop_data() {
        QTest::addColumn<int>("files");
        for (int n = 1; n <= 7; ++n)
            QTest::addRow("%d files", n) << n;
    }
    void everyPartitionEveryStop() {
        QFETCH(int, files);
        int checked = 0;
        forEachPartition(files, [&](const std::vector<int>& classOf) {
            const Shown whole = pairwiseWalk(classOf, 0);
            for (qint64 stop = 0; stop <= whole.comparisons; ++stop) {
                const Shown expected = pairwiseWalk(classOf, stop);
                const Shown played = playedWalk(classOf, stop);
                if (!(played == expected))
                    QFAIL(qPrintable(describe(classOf, stop)));
                ++checked;
            }
            QCOMPARE(playedWalk(classOf, 0).comparisons, whole.comparisons);
        });
        QVERIFY(checked > 0);
    }

    // Large groups reach deep into the Fenwick tree: random classes, stops
    // spread over the whole walk.
    void largeGroups_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("classes");
        QTest::newRow("mostly different") << 1500 << 1400;
        QTest::newRow("a few large classes") << 1200 << 4;
        QTest::newRow("pairs") << 1000 << 500;
    }
    void largeGroups() {
        QFETCH(int, files);
        QFETCH(int, classes);
        QRandomGenerator random(quint32(files * 31 + classes));
        std::vector<int> classOf(static_cast<std::size_t>(files));
        for (int& c : classOf)
            c = int(random.bounded(classes));
        const Shown whole = pairwiseWalk(classOf, 0);
        QCOMPARE(playedWalk(classOf, 0), whole);
        QCOMPARE(playedWalk(classOf, 0).comparisons, whole.comparisons);
        for (int i = 0; i < 40; ++i) {
            const qint64 stop = 1 + qint64(random.bounded(quint64(whole.comparisons)));
            if (!(playedWalk(classOf, stop) == pairwiseWalk(classOf, stop)))
                QFAIL(qPrintable(QStringLiteral("stop after %1").arg(stop)));
        }
    }
};

KELVASTO_REGISTER_TEST(TestGroupWalk)
#include "test_group_walk.moc"
