// Two `kelvasto-batch reduce` runs at once over the same files, with the same
// or different options, round after round: every file they leave is its
// original or a reduction of it that decodes to the original's pixels, and a
// run only ever leaves a file out because the other one was rewriting it.

#include "cli/cli_test_case.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "imaging/jpeg_codec.h"
#include "jobs/reduction/jpeg_reduction.h"
#include "jobs/reduction/reduction_reference.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <set>

namespace {

constexpr int kFiles = 60;
constexpr int kRounds = 12;

// Pictures of their own colours with metadata of many sizes, so that a file
// holding another one's bytes, or a part of them, shows.
QByteArray original(int i) {
    const QByteArray picture =
        JpegBuilder::picture(24 + i % 5 * 8, 16, std::uint8_t(i * 4), std::uint8_t(255 - i), 77);
    const QByteArray metadata =
        JpegBuilder().app(1, 500 + 911 * i % 30000).app(13, 300).com("from the camera").bytes();
    return picture.left(2) + metadata + picture.mid(2) + QByteArray(i % 3 * 200, 'a');
}

ReductionOptions optionsOf(const QStringList& args) {
    return {args.contains("--app"), args.contains("--comments"), args.contains("--trailing")};
}

} // namespace

class TestReduceTwoRuns : public CliTestCase {
    Q_OBJECT
private slots:
    void init() { QVERIFY(openSandbox(QStringLiteral("reduce-two-runs"))); }
    void cleanup() { closeSandbox(); }

    void twoRunsAtOnceNeverDamageAFile() {
        const QStringList all{"--app", "--comments", "--trailing"};
        const QList<QStringList> others{
            all, {"--comments"}, {"--app", "--trailing"}, {"--trailing"}};
        std::vector<QByteArray> originals;
        for (int i = 0; i < kFiles; ++i)
            originals.push_back(original(i));
        int skippedRounds = 0;
        for (int round = 0; round < kRounds; ++round) {
            const QString folder = path(QStringLiteral("round%1").arg(round));
            for (int i = 0; i < kFiles; ++i)
                QVERIFY(testing::writeFile(
                    folder + QStringLiteral("/d%1/f%2.jpg").arg(i % 2).arg(i), originals[i]));
            const QList<QStringList> options{all, others[round % others.size()]};
            QProcess runs[2];
            for (int k = 0; k < 2; ++k) {
                cli::prepare(runs[k], {});
                runs[k].start(cli::toolPath(), QStringList{"--yes", "reduce", "-r"} + options[k] +
                                                   QStringList{folder});
            }
            for (int k = 0; k < 2; ++k) {
                const cli::ToolRun run = cli::finish(runs[k]);
                QVERIFY2(run.exitCode == 0 || run.exitCode == 1, qPrintable(run.err));
                // The only file a run leaves out is one the other was rewriting.
                for (const QString& line : run.err.split('\n'))
                    if (line.startsWith("skipped: "))
                        QVERIFY2(line.endsWith("being changed by another run; left unchanged"),
                                 qPrintable(line));
                QVERIFY2(!run.err.contains("reduction ended"), qPrintable(run.err));
                skippedRounds += run.exitCode == 1 ? 1 : 0;
            }
            const ReductionOptions a = optionsOf(options[0]);
            const ReductionOptions b = optionsOf(options[1]);
            for (int i = 0; i < kFiles; ++i) {
                const QString name = QStringLiteral("d%1/f%2.jpg").arg(i % 2).arg(i);
                const QByteArray now = testing::readFile(folder + "/" + name);
                QVERIFY(DecodeJpeg(now) == DecodeJpeg(originals[i]));
                using reference::reduced;
                const QByteArray& before = originals[i];
                const std::set<QByteArray> whole{before, reduced(before, a), reduced(before, b),
                                                 reduced(reduced(before, a), b),
                                                 reduced(reduced(before, b), a)};
                QVERIFY2(whole.count(now) == 1,
                         qPrintable(QStringLiteral("round %1: %2 is no whole reduction of its "
                                                   "original (%3 bytes)")
                                        .arg(round)
                                        .arg(name)
                                        .arg(now.size())));
            }
            for (int d = 0; d < 2; ++d)
                for (const QString& name : QDir(folder + QStringLiteral("/d%1").arg(d))
                                               .entryList(QDir::Files | QDir::Hidden))
                    QVERIFY2(name.endsWith(".jpg"), qPrintable(name));
        }
        qInfo("%d of %d runs left a file out", skippedRounds, 2 * kRounds);
    }
};

KELVASTO_REGISTER_TEST(TestReduceTwoRuns)
#include "test_reduce_two_runs.moc"
