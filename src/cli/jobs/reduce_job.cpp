// kelvasto-batch reduce: the lossless JPEG reduction of the window on files
// or folder trees named on the command line.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "fs/file_ops.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/reduction/reduce_jpegs.h"

#include <QCommandLineParser>

#include <cstdio>

#include <unistd.h>

extern const BatchJob kReduceJob;

namespace {

QString help() {
    return OwnText("cli.reduce.help");
}

// Asks the warning on the terminal (unless --yes), and prints one record for
// every file it made smaller: "path: N bytes saved", or with --null the path
// ended by NUL.
class ConsoleReductionHost : public ConsoleJobHost, public ReductionReporter {
public:
    ConsoleReductionHost(AppSettings settings, const ConsoleOptions& options, bool nullSeparated)
        : ConsoleJobHost(std::move(settings), options), m_ask(!options.assumeYes),
          m_nullSeparated(nullSeparated) {}

    int showMessage(const QString& text, MessageKind kind, DialogButtons buttons) override {
        if (kind != MessageKind::Warning || !m_ask)
            return ConsoleJobHost::showMessage(text, kind, buttons);
        endProgressLine();
        WriteStandardError(text.toUtf8() + "\n\n" + OwnText("cli.reduce.confirm").toUtf8());
        char answer[64] = {};
        if (!std::fgets(answer, sizeof answer, stdin))
            return DialogResult::Abort;
        const QString word = QString::fromLocal8Bit(answer).trimmed().toLower();
        const QStringList yesWords = OwnText("cli.reduce.yes_words").split(QLatin1Char('|'));
        return yesWords.contains(word) ? DialogResult::OK : DialogResult::Abort;
    }

    void noteReducedFile(const QString& path, std::int64_t saved) override {
        endProgressLine();
        if (m_nullSeparated)
            PrintPathRecord(path, true);
        else
            PrintOut(OwnText("cli.reduce.saved").arg(ShownPath(path)).arg(saved) +
                     QLatin1Char('\n'));
    }

private:
    bool m_ask;
    bool m_nullSeparated;
};

// The folder for --copies, created; an exit status when it cannot be.
std::optional<int> prepareCopiesFolder(const QString& argument, ReduceJpegsOptions& options) {
    options.copies = true;
    options.destination = ResolveFolderToCreate(argument);
    if (options.destination.isEmpty() || !MakeFolderPath(options.destination)) {
        PrintError(OwnText("cli.reduce.bad_copies").arg(ShownPath(argument)));
        return ExitStatus::Error;
    }
    return std::nullopt;
}

int run(const BatchInvocation& invocation) {
    const QCommandLineOption app(QStringLiteral("app"));
    const QCommandLineOption comments(QStringLiteral("comments"));
    const QCommandLineOption trailing(QStringLiteral("trailing"));
    const QCommandLineOption copies(QStringLiteral("copies"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    ReduceJpegsOptions options;
    ReduceJpegsResult result;
    ConsoleReductionHost* reporter = nullptr;
    PathJobParts parts;
    parts.options = {app, comments, trailing, copies, nullSeparated};
    parts.readOptions = [&](const QCommandLineParser& parser, QStringList&) -> std::optional<int> {
        options.remove.programSegments = parser.isSet(app);
        options.remove.comment = parser.isSet(comments);
        options.remove.trailingData = parser.isSet(trailing);
        if (parser.isSet(copies) && parser.value(copies).isEmpty())
            return UsageError(OwnText("cli.needs_value").arg(QStringLiteral("--copies")),
                              &kReduceJob);
        if (!options.remove.any())
            return UsageError(CatalogueText(CatalogueId::NothingToRemoveChosen), &kReduceJob);
        return std::nullopt;
    };
    parts.prepare = [&](const PathJobRun& run) -> std::optional<int> {
        // A script must never hang on the question: without a terminal to ask
        // on, the answer has to come with --yes.
        if (!run.assumeYes && ::isatty(STDIN_FILENO) != 1)
            return UsageError(OwnText("cli.reduce.needs_yes"), &kReduceJob);
        if (run.isSet(copies))
            return prepareCopiesFolder(run.parser.value(copies), options);
        return std::nullopt;
    };
    parts.makeHost = [&](const ConsoleOptions& console, const PathJobRun& run) {
        auto host = std::make_unique<ConsoleReductionHost>(LoadBatchSettings(), console,
                                                           run.isSet(nullSeparated));
        reporter = host.get();
        return host;
    };
    parts.engine = [&](ConsoleJobHost& host, const PathJobRun& run) {
        options.recursive = run.recursive;
        options.startFolders = run.startFolders();
        result = ReduceJpegs(host, options, reporter);
    };
    parts.finish = [&](ConsoleJobHost& host, const PathJobRun& run) {
        const int skipped = ReportSkippedCount(run.targets, host);
        if (result.declined)
            return skipped > 0 ? ExitStatus::Error : ExitStatus::Done;
        PrintCount(OwnText("cli.reduce.total")
                       .arg(result.changed)
                       .arg(result.reduced)
                       .arg(result.savingsTotal),
                   run.isSet(nullSeparated));
        if (!result.failedFile.isEmpty()) {
            PrintError(
                OwnText("cli.reduce.failed").arg(ShownPath(result.failedFile), result.error));
            return ExitStatus::Error;
        }
        // Its message stands above: copies into their own folder reduce nothing.
        return FinalStatus(skipped + (result.reducedNothing ? 1 : 0));
    };
    return RunPathJob(kReduceJob, invocation, parts);
}

} // namespace

extern const BatchJob kReduceJob = {"reduce", "cli.reduce.summary", help, run};
