// The reduction killed at random moments: a child process runs the job over a
// folder and is killed with SIGKILL; every file must then hold either its
// original bytes or its completely reduced bytes, over many rounds.

#include "common/file_fixtures.h"
#include "common/jpeg_builder.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "fs/file_ops.h"
#include "jobs/reduction/reduce_jpegs.h"
#include "reduction_reference.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// More than one batch of staged files, so runs also end between two commits.
constexpr int kFiles = 100;
constexpr int kRounds = 40;
// The files read ahead (two per worker, at most four workers) and the one in hand.
constexpr int kMostLeftBehind = 9;

QByteArray variant(int i) {
    JpegBuilder builder;
    builder.soi().app(0, 16).app(1, 200 + 17 * i).com("kill test");
    if (i % 3 == 0)
        builder.app(13, 500);
    builder.segment(0xDA, 6).scanData(40000 + 477 * i).eoi();
    if (i % 2 == 0)
        builder.trailing(1000 + i);
    return builder.bytes();
}

// Runs the job in a child process; returns its pid.
pid_t startJob(const QString& folder) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    RecordingJobHost host;
    host.setSelectedFolder(folder);
    host.queueAnswer(DialogResult::OK);
    ReduceJpegsOptions options;
    options.recursive = true;
    options.remove = {true, true, true};
    const ReduceJpegsResult result = ReduceJpegs(host, options);
    ::_exit(result.failedFile.isEmpty() ? 0 : 1);
}

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

} // namespace

class TestReductionKill : public QObject {
    Q_OBJECT
private slots:
    void everyFileWholeAfterKills() {
        std::vector<QByteArray> originals;
        std::vector<QByteArray> reduced;
        for (int i = 0; i < kFiles; ++i) {
            originals.push_back(variant(i));
            reduced.push_back(reference::reduced(originals.back(), {true, true, true}));
            QVERIFY(reduced.back().size() < originals.back().size());
        }
        const auto fill = [&](fixtures::Tree& tree) {
            for (int i = 0; i < kFiles; ++i)
                if (!tree.file(QStringLiteral("d%1/f%2.jpg").arg(i % 3).arg(i), originals[i]))
                    return false;
            return true;
        };

        // One run to the end tells how long a run takes here.
        qint64 fullRun = 0;
        {
            fixtures::Tree tree;
            QVERIFY(fill(tree));
            QElapsedTimer timer;
            timer.start();
            const int status = waitFor(startJob(tree.root()));
            fullRun = timer.nsecsElapsed() / 1000;
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            for (int i = 0; i < kFiles; ++i)
                QCOMPARE(tree.read(QStringLiteral("d%1/f%2.jpg").arg(i % 3).arg(i)), reduced[i]);
        }

        QRandomGenerator random(1208);
        int killedRounds = 0;
        int mixedRounds = 0;
        for (int round = 0; round < kRounds; ++round) {
            fixtures::Tree tree;
            QVERIFY(fill(tree));
            const pid_t pid = startJob(tree.root());
            ::usleep(useconds_t(random.bounded(qMax<qint64>(1, fullRun))));
            ::kill(pid, SIGKILL);
            if (WIFSIGNALED(waitFor(pid)))
                ++killedRounds;
            int done = 0;
            for (int i = 0; i < kFiles; ++i) {
                const QByteArray now = tree.read(QStringLiteral("d%1/f%2.jpg").arg(i % 3).arg(i));
                if (now == reduced[i])
                    ++done;
                else
                    QVERIFY2(now == originals[i],
                             qPrintable(QStringLiteral("round %1: file %2 is neither whole "
                                                       "original nor whole reduced")
                                            .arg(round)
                                            .arg(i)));
            }
            if (done > 0 && done < kFiles)
                ++mixedRounds;
            // Only hidden temporaries may be left beside the pictures, and
            // only those of the few files read ahead of the job.
            int temporaries = 0;
            for (int folder = 0; folder < 3; ++folder)
                for (const QString& name : tree.names(QStringLiteral("d%1").arg(folder))) {
                    const bool temporary = name.startsWith(QLatin1String(kTemporaryPrefix));
                    QVERIFY(name.endsWith(QLatin1String(".jpg")) || temporary);
                    temporaries += temporary ? 1 : 0;
                }
            QVERIFY2(temporaries <= kMostLeftBehind, qPrintable(QString::number(temporaries)));
        }
        // The kills did land in the middle of runs.
        qInfo("%d of %d runs killed, %d of them half done", killedRounds, kRounds, mixedRounds);
        QVERIFY2(killedRounds >= kRounds / 4, qPrintable(QString::number(killedRounds)));
    }
};

KELVASTO_REGISTER_TEST(TestReductionKill)
#include "test_reduction_kill.moc"
