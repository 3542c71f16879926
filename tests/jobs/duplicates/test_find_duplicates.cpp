#include "common/duplicate_trees.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "jobs/duplicates/find_duplicates.h"

#include <QTest>

#include <QSet>

#include <algorithm>

#include <sys/stat.h>

namespace {

const QString kStatus = QStringLiteral("DupStatusBar");

struct Search {
    DuplicateSearchResult result;
    QStringList lines; // relative to the tree
    QString counters;  // "Label_Dup02 Label_Dup04 Label_Dup06"
};

Search search(RecordingJobHost& host, const fixtures::Tree& tree) {
    Search run;
    QStringList lines;
    run.result = SearchDuplicates(host, tree.root(), lines);
    run.lines = dupes::relative(tree, lines);
    run.counters =
        host.text("Label_Dup02") + ' ' + host.text("Label_Dup04") + ' ' + host.text("Label_Dup06");
    return run;
}

// Whatever way a search ends, the window is left as it was found.
void checkFrameRestored(const RecordingJobHost& host) {
    QVERIFY(host.lockBalanced());
    QCOMPARE(host.lockCalls().size(), 2);
    QCOMPARE(host.lockCalls().front().kind, JobKind::DuplicateSearch);
    QCOMPARE(host.busyDepth(), 0);
    QCOMPARE(host.progressPage(), 0);
    QVERIFY(host.messages().isEmpty());
}

// The pairwise walk written out plainly: whole files loaded, every pair
// compared, the order of the group by path ignoring case.
QStringList referenceWalk(QStringList group) {
    std::sort(group.begin(), group.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    QStringList out;
    while (group.size() > 1) {
        const QByteArray first = testing::readFile(group.front());
        bool matched = false;
        for (qsizetype k = group.size() - 1; k >= 1; --k) {
            if (testing::readFile(group.at(k)) != first)
                continue;
            if (!matched)
                out.append(group.front());
            out.append(group.at(k));
            matched = true;
            group.removeAt(k);
        }
        group.removeFirst();
        if (matched)
            out.append(QString());
    }
    return out;
}

// Every state the pairwise walk can be stopped in over these groups (given in
// ascending size, each in walk order): after any comparison, and before any
// group. Each state is its lines, then its found count.
QSet<QStringList> walkStopStates(const QList<QStringList>& groups) {
    QSet<QStringList> states;
    QStringList lines;
    int found = 0;
    const auto note = [&] { states.insert(lines + QStringList{QString::number(found)}); };
    for (QStringList group : groups) {
        note();
        while (group.size() > 1) {
            const QByteArray first = testing::readFile(group.front());
            bool matched = false;
            for (qsizetype k = group.size() - 1; k >= 1; --k) {
                if (testing::readFile(group.at(k)) == first) {
                    ++found;
                    if (!matched)
                        lines.append(group.front());
                    lines.append(group.at(k));
                    matched = true;
                    group.removeAt(k);
                }
                note();
            }
            group.removeFirst();
            if (matched)
                lines.append(QString());
        }
    }
    note();
    return states;
}

} // namespace

class TestFindDuplicates : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    void results_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("counters");
        QTest::newRow("a b identical, c same size, d never read")
            << QStringList{"a.jpg 100 A", "b.jpg 100 A", "c.jpg 100 B", "d.jpg 50 A"}
            << QStringList{"a.jpg", "b.jpg", ""} << "4 3 1";
        QTest::newRow("x1 x3 x2") << QStringList{"x1.jpg 80 A", "x2.jpg 80 A", "x3.jpg 80 A"}
                                  << QStringList{"x1.jpg", "x3.jpg", "x2.jpg", ""} << "3 3 2";
        QTest::newRow("10240 before 10241")
            << QStringList{"p.jpg 10241 A", "q.jpg 10241 A", "r.jpg 10240 A", "s.jpg 10240 A"}
            << QStringList{"r.jpg", "s.jpg", "", "p.jpg", "q.jpg", ""} << "4 4 2";
        QTest::newRow("two empty files") << QStringList{"e1.jpg 0 A", "e2.jpg 0 A"}
                                         << QStringList{"e1.jpg", "e2.jpg", ""} << "2 2 1";
        QTest::newRow("no JPEG") << QStringList{"a.png 10 A", "b.txt 10 A"} << QStringList{}
                                 << "0 0 0";
        QTest::newRow("one JPEG") << QStringList{"a.jpg 10 A"} << QStringList{} << "1 0 0";
        QTest::newRow("all sizes different")
            << QStringList{"a.jpg 1 A", "b.jpg 2 A", "c.jpeg 3 A"} << QStringList{} << "3 0 0";
        QTest::newRow("path order ignores case")
            << QStringList{"B.jpg 40 A", "a.jpg 40 A", "c.JPG 40 A"}
            << QStringList{"a.jpg", "c.JPG", "B.jpg", ""} << "3 3 2";
        QTest::newRow("two classes of one size")
            << QStringList{"a.jpg 60 A", "b.jpg 60 B", "c.jpg 60 A", "d.jpg 60 B"}
            << QStringList{"a.jpg", "c.jpg", "", "b.jpg", "d.jpg", ""} << "4 4 2";
        QTest::newRow("whole paths ordered, .jpeg too")
            << QStringList{"sub/a.jpg 30 A", "b.jpg 30 A", "Sub2/c.jpeg 30 A"}
            << QStringList{"b.jpg", "Sub2/c.jpeg", "sub/a.jpg", ""} << "3 3 2";
        QTest::newRow("hidden file found, hidden folder not")
            << QStringList{".cache/a.jpg 30 A", ".b.jpg 30 A", "c.jpg 30 A"}
            << QStringList{".b.jpg", "c.jpg", ""} << "2 2 1";
        QTest::newRow("same start and end, middle differs")
            << QStringList{"big1.jpg 300000 A", "big2.jpg 300000 A 150000", "big3.jpg 300000 A"}
            << QStringList{"big1.jpg", "big3.jpg", ""} << "3 3 1";
        QTest::newRow("only the last byte differs")
            << QStringList{"l1.jpg 5000 A", "l2.jpg 5000 A 4999"} << QStringList{} << "2 2 0";
        QTest::newRow("a file without twin among groups")
            << QStringList{"a.jpg 10 A", "b.jpg 10 A", "c.jpg 11 A", "d.jpg 12 A", "e.jpg 12 A"}
            << QStringList{"a.jpg", "b.jpg", "", "d.jpg", "e.jpg", ""} << "5 4 2";
    }
    void results() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, lines);
        QFETCH(QString, counters);
        fixtures::Tree tree;
        QVERIFY(dupes::write(tree, files));
        RecordingJobHost host;
        const Search run = search(host, tree);
        QCOMPARE(run.lines, lines);
        QCOMPARE(run.counters, counters);
        QVERIFY(run.result.skipped.isEmpty());
        QVERIFY(!run.result.stopped);
        QCOMPARE(host.text(kStatus),
                 run.result.collected == 0 ? QString() : QStringLiteral("Test for identity"));
        checkFrameRestored(host);
    }

    void phaseTexts() {
        fixtures::Tree tree;
        QVERIFY(dupes::write(tree, {"a.jpg 10 A", "b.jpg 10 A", "c.jpg 20 A", "d.jpg 30 A",
                                    "e.jpg 40 A", "f.jpg 40 B", "g.jpg 50 A"}));
        RecordingJobHost host;
        search(host, tree);
        const QStringList expected{"",
                                   "",
                                   "Arrange in order: 2 / 7",
                                   "Arrange in order: 3 / 7",
                                   "Arrange in order: 4 / 7",
                                   "Arrange in order: 5 / 7",
                                   "Arrange in order: 6 / 7",
                                   "Arrange in order: 7 / 7",
                                   "Size comparison: 5 / 7",
                                   "Test for identity"};
        QCOMPARE(host.textHistory(kStatus), expected);
        QCOMPARE(host.textHistory("Label_Dup06"), QStringList({"0", "1"}));
        QCOMPARE(host.textHistory("Label_Dup04"), QStringList({"0", "4"}));
        QCOMPARE(host.watchersStarted(), 1);
        QCOMPARE(host.watchersStopped(), 1);
    }

    // A stop before the comparing leaves no line and no count of candidates.
    void stopBeforeComparing_data() {
        QTest::addColumn<QString>("stopAt");
        QTest::newRow("while ordering") << "Arrange in order: 3 / 6";
        QTest::newRow("while pruning") << "Size comparison: 5 / 6";
    }
    void stopBeforeComparing() {
        QFETCH(QString, stopAt);
        fixtures::Tree tree;
        QVERIFY(dupes::write(tree, {"a.jpg 10 A", "b.jpg 10 A", "c.jpg 20 A", "d.jpg 20 A",
                                    "e.jpg 30 A", "f.jpg 30 A"}));
        RecordingJobHost host;
        host.onProcessPendingMessages([&](int) {
            if (host.text(kStatus) == stopAt)
                host.stopFlags().BatchJobStop = 1;
        });
        const Search run = search(host, tree);
        QVERIFY(run.result.stopped);
        QVERIFY(run.lines.isEmpty());
        QCOMPARE(run.counters, "6 0 0");
        QCOMPARE(host.text(kStatus), stopAt);
        checkFrameRestored(host);
    }

    // The abort button during the collection: cleared at the start, so it
    // counts, and honoured at the first stop test after the collection.
    void stopWhileCollectingEndsAfterSecondFile() {
        fixtures::Tree tree;
        QVERIFY(dupes::write(tree, {"a.jpg 10 A", "b.jpg 10 A", "c.jpg 10 A"}));
        RecordingJobHost host;
        host.stopFlags().BatchJobStop = 1; // left over from an earlier click
        host.onProcessPendingMessages([&](int call) {
            if (call == 1)
                host.stopFlags().BatchJobStop = 1;
        });
        const Search run = search(host, tree);
        QVERIFY(run.result.stopped);
        QCOMPARE(host.text(kStatus), "Arrange in order: 2 / 3");
        QVERIFY(run.lines.isEmpty());
    }

    void stopWhileComparingKeepsFoundGroups() {
        fixtures::Tree tree;
        QVERIFY(dupes::write(tree, {"a.jpg 10 A", "b.jpg 10 A", "c.jpg 20 A", "d.jpg 20 A",
                                    "e.jpg 30 A", "f.jpg 30 A"}));
        RecordingJobHost host;
        host.onProcessPendingMessages([&](int) {
            if (host.text("Label_Dup06") == "2")
                host.stopFlags().BatchJobStop = 1;
        });
        const Search run = search(host, tree);
        QVERIFY(run.result.stopped);
        // Stopped right after the second match: its group has no empty line yet.
        QCOMPARE(run.lines, QStringList({"a.jpg", "b.jpg", "", "c.jpg", "d.jpg"}));
        QCOMPARE(run.counters, "6 6 2");
        checkFrameRestored(host);
    }

    // A file that vanishes or turns into something unreadable after it was
    // measured is left out of its group; the search goes on and names it.
    void unreadableFileLeftOut_data() {
        QTest::addColumn<QString>("victim");
        QTest::addColumn<bool>("fifo");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("a match vanished")
            << "b.jpg" << false << QStringList{"a.jpg", "c.jpg", "", "x.jpg", "y.jpg", ""};
        QTest::newRow("the first file vanished")
            << "a.jpg" << false << QStringList{"b.jpg", "c.jpg", "", "x.jpg", "y.jpg", ""};
        QTest::newRow("a FIFO in its place")
            << "c.jpg" << true << QStringList{"a.jpg", "b.jpg", "", "x.jpg", "y.jpg", ""};
    }
    void unreadableFileLeftOut() {
        QFETCH(QString, victim);
        QFETCH(bool, fifo);
        QFETCH(QStringList, lines);
        fixtures::Tree tree;
        QVERIFY(dupes::write(
            tree, {"a.jpg 100 A", "b.jpg 100 A", "c.jpg 100 A", "x.jpg 200 A", "y.jpg 200 A"}));
        RecordingJobHost host;
        bool done = false;
        host.onProcessPendingMessages([&](int) {
            if (done || host.text(kStatus) != "Test for identity")
                return;
            done = true;
            QFile::remove(tree.path(victim));
            if (fifo)
                ::mkfifo(QFile::encodeName(tree.path(victim)).constData(), 0600);
        });
        const Search run = search(host, tree);
        QCOMPARE(run.lines, lines);
        QCOMPARE(run.counters, "5 5 2");
        QCOMPARE(run.result.skipped, QStringList{tree.path(victim)});
        // Named to the host, so the window lists it at the end (it was
        // dropped without a word), and counted in the summary.
        QCOMPARE(host.skippedPaths(), QStringList{tree.path(victim)});
        QCOMPARE(host.skips().first().reason, "file cannot be read, left out of its group");
        QCOMPARE(host.summaries(),
                 QStringList{"Duplicate search: 5 file(s) checked, 2 duplicate(s) in 2 group(s); "
                             "1 left out or not written"});
        QVERIFY(!run.result.stopped);
    }

    // Files that vanish before their length is taken still count as records,
    // but are never compared.
    void filesVanishedBeforeMeasuringAreReported() {
        fixtures::Tree tree;
        QVERIFY(dupes::write(tree, {"a.jpg 100 A", "b.jpg 100 A", "c.jpg 100 A", "d.jpg 100 A"}));
        RecordingJobHost host;
        host.onProcessPendingMessages([&](int) {
            if (host.text(kStatus) == "Arrange in order: 2 / 4") {
                QFile::remove(tree.path("c.jpg"));
                QFile::remove(tree.path("d.jpg"));
            }
        });
        const Search run = search(host, tree);
        QCOMPARE(run.lines, QStringList({"a.jpg", "b.jpg", ""}));
        QCOMPARE(run.counters, "4 4 1");
        QCOMPARE(run.result.skipped, QStringList({tree.path("c.jpg"), tree.path("d.jpg")}));
        QCOMPARE(host.skippedPaths(), QStringList({tree.path("c.jpg"), tree.path("d.jpg")}));
    }

    void noFolderChosenSearchesNothing() {
        RecordingJobHost host;
        QStringList lines{"old line"};
        const DuplicateSearchResult result = SearchDuplicates(host, QString(), lines);
        QCOMPARE(result.collected, 0);
        QVERIFY(lines.isEmpty());
        checkFrameRestored(host);
    }

    // 200 files of one size: classes of 12, 70 (more than one batch of open
    // files), 5 and 3 (the last byte changed) among unique ones, names in
    // mixed case spread over folders. The result must be the pairwise walk's.
    void largeGroupMatchesPairwiseWalk() {
        fixtures::Tree tree;
        QStringList entries;
        QStringList paths;
        for (int i = 0; i < 200; ++i) {
            const int shuffled = (i * 73) % 200;
            QString seed = QString(QChar(0x100 + i));
            QString flip;
            if (shuffled < 12) {
                seed = "A";
            } else if (shuffled < 82) {
                seed = "B";
            } else if (shuffled < 87) {
                seed = "C";
            } else if (shuffled < 90) {
                seed = "A";
                flip = " 2999";
            }
            const QString name = QStringLiteral("%1/%2%3.%4")
                                     .arg(i % 3 == 0 ? "Folder" : "folder")
                                     .arg(i % 2 == 0 ? "IMG_" : "img_")
                                     .arg(shuffled, 3, 10, QLatin1Char('0'))
                                     .arg(i % 5 == 0 ? "JPG" : "jpg");
            entries.append(name + " 3000 " + seed + flip);
            paths.append(tree.path(name));
        }
        QVERIFY(dupes::write(tree, entries));
        RecordingJobHost host;
        QStringList lines;
        const DuplicateSearchResult result = SearchDuplicates(host, tree.root(), lines);
        const QStringList expected = referenceWalk(paths);
        QCOMPARE(lines, expected);
        QCOMPARE(result.found, 11 + 69 + 4 + 2);
        QCOMPARE(result.candidates, 200);
        QCOMPARE(host.text("Label_Dup06"), QString::number(result.found));
    }

    // Many groups, read ahead on the workers: the lines must still be
    // those of the pairwise walk, group after group in ascending size, and a
    // stop must still leave exactly the lines found before it.
    void readingAheadKeepsResultAndStop() {
        fixtures::Tree tree;
        QStringList entries;
        QList<QStringList> groups;
        for (int g = 0; g < 24; ++g) {
            const int size = 300000 - g * 1000; // written largest first
            QStringList group;
            for (int f = 0; f < 2 + g % 3; ++f) {
                const QString name = QStringLiteral("f%1/p%2.jpg").arg(f).arg(g);
                const QString flip = (f + g) % 4 == 3 ? QStringLiteral(" 150000") : QString();
                entries.append(QStringLiteral("%1 %2 %3%4")
                                   .arg(name)
                                   .arg(size)
                                   .arg(QChar('A' + g % 5))
                                   .arg(flip));
                group.append(tree.path(name));
            }
            groups.prepend(group);
        }
        QVERIFY(dupes::write(tree, entries));
        QStringList expected;
        for (const QStringList& group : groups)
            expected += referenceWalk(group);

        RecordingJobHost whole;
        QStringList lines;
        QVERIFY(!SearchDuplicates(whole, tree.root(), lines).stopped);
        QCOMPARE(lines, expected);

        RecordingJobHost stopped;
        stopped.onProcessPendingMessages([&](int) {
            if (stopped.text("Label_Dup06") == "7")
                stopped.stopFlags().BatchJobStop = 1;
        });
        const DuplicateSearchResult result = SearchDuplicates(stopped, tree.root(), lines);
        QVERIFY(result.stopped);
        QCOMPARE(result.found, 7);
        QCOMPARE(lines, expected.mid(0, lines.size()));
        QVERIFY(!lines.back().isEmpty());
        checkFrameRestored(stopped);
    }

    // A stop at whatever moment the window is let in must leave lines and a
    // count the pairwise walk could be stopped with, never a mix.
    void stopAnywhereLeavesAWalkState_data() {
        QTest::addColumn<QStringList>("files");
        QTest::newRow("three classes in one group") << QStringList{
            "a.jpg 90 A", "b.jpg 90 B", "c.jpg 90 A", "d.jpg 90 C", "e.jpg 90 B", "f.jpg 90 A"};
        QTest::newRow("groups of pairs and strangers")
            << QStringList{"a.jpg 10 A", "b.jpg 10 A", "c.jpg 20 A", "d.jpg 20 B",
                           "e.jpg 20 A", "f.jpg 30 A", "g.jpg 30 A", "h.jpg 30 A"};
        QTest::newRow("same ends, other middles")
            << QStringList{"a.jpg 40000 A", "b.jpg 40000 A 20000", "c.jpg 40000 A",
                           "d.jpg 40000 A 20000", "e.jpg 40000 A 30000"};
    }
    void stopAnywhereLeavesAWalkState() {
        QFETCH(QStringList, files);
        fixtures::Tree tree;
        QVERIFY(dupes::write(tree, files));
        QMap<int, QStringList> bySize;
        for (const QString& file : files)
            bySize[file.section(' ', 1, 1).toInt()].append(tree.path(file.section(' ', 0, 0)));
        QList<QStringList> groups;
        for (QStringList group : bySize) {
            std::sort(group.begin(), group.end(), DuplicatePathLess);
            groups.append(group);
        }
        const QSet<QStringList> states = walkStopStates(groups);

        RecordingJobHost whole;
        QStringList lines;
        SearchDuplicates(whole, tree.root(), lines);
        QSet<QStringList> seen;
        for (int call = 1; call <= whole.pendingMessageCalls(); ++call) {
            RecordingJobHost host;
            host.onProcessPendingMessages([&](int at) {
                if (at == call)
                    host.stopFlags().BatchJobStop = 1;
            });
            const DuplicateSearchResult result = SearchDuplicates(host, tree.root(), lines);
            const QStringList state = lines + QStringList{QString::number(result.found)};
            QVERIFY2(
                states.contains(state),
                qPrintable(QStringLiteral("stop at call %1: %2").arg(call).arg(state.join('|'))));
            seen.insert(state);
        }
        // The stops fell inside the comparing, not only before or after it.
        QVERIFY(seen.size() >= 3);
    }
};

KELVASTO_REGISTER_TEST(TestFindDuplicates)
#include "test_find_duplicates.moc"
