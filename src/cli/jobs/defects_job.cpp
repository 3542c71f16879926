// kelvasto-batch defects: the defect scan of the window on files or trees
// named on the command line.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/defect_scan/move_log.h"

#include <QCommandLineParser>
#include <QFileInfo>

extern const BatchJob kDefectsJob;

namespace {

QString help() {
    const AppSettings settings = LoadSettings();
    return OwnText("cli.defects.help")
        .arg(ShownPath(settings.Arbeitsverzeichnis), ShownPath(ProtocolFilePath(settings)));
}

// The scan's report on the console: a record per file copied or moved on
// stdout, and on stderr every defective file left where it is, with why.
class ConsoleDefectReporter : public DefectScanReporter {
public:
    ConsoleDefectReporter(ConsoleJobHost& host, bool nullSeparated, bool why)
        : m_host(host), m_nullSeparated(nullSeparated), m_why(why) {}

    // With --why: "path: reason" before the file's record; on stderr when
    // stdout holds nothing but NUL-separated paths.
    void noteDefectReason(const QString& path, const QString& reason) override {
        if (!m_why)
            return;
        m_host.endProgressLine();
        const QString line = ShownPath(path) + QStringLiteral(": ") + reason + QLatin1Char('\n');
        if (m_nullSeparated)
            WriteStandardError(line.toUtf8());
        else
            PrintOut(line);
    }

    void noteDefectiveFile(const QString& from, const QString& to,
                           DefectTransfer outcome) override {
        m_host.endProgressLine();
        switch (outcome) {
        case DefectTransfer::Done:
            PrintPathPair(from, to, m_nullSeparated);
            break;
        case DefectTransfer::AlreadyThere:
            PrintError(OwnText("cli.already_copied").arg(ShownPath(to), ShownPath(from)));
            break;
        case DefectTransfer::UnsafeName:
            PrintError(OwnText("cli.unsafe_name").arg(ShownPath(from)));
            break;
        case DefectTransfer::Unlogged: // counted and named as a group at the end
        case DefectTransfer::Failed:
            PrintError(OwnText("cli.not_transferred").arg(ShownPath(to), ShownPath(from)));
            break;
        }
    }

    // A stopped run says so instead of "ready"; the counts of what was left
    // in place follow on lines of their own.
    void showClosingMessage(JobHost& host, const DefectScanResult& result) override {
        host.showMessage(result.stopped ? OwnText("cli.defects.stopped")
                                        : CatalogueText(CatalogueId::ScanFinished),
                         MessageKind::Information, ButtonBit(DialogButton::OK));
    }

private:
    ConsoleJobHost& m_host;
    bool m_nullSeparated;
    bool m_why;
};

void printCounters(const DefectScanResult& result, bool nullSeparated) {
    const QString counters =
        QStringLiteral("%1: %2\n%3: %4\n%5: %6\n")
            .arg(CatalogueText(CatalogueId::ScanFilesToTest), QString::number(result.collected),
                 CatalogueText(CatalogueId::ScanTestedFiles), QString::number(result.tested),
                 CatalogueText(CatalogueId::NumberOfInvalidFiles),
                 QString::number(result.defective));
    // NUL-separated stdout holds nothing but paths.
    if (nullSeparated)
        WriteStandardError(counters.toUtf8());
    else
        PrintOut(counters);
}

// Every defective file not copied or moved is counted under exactly one
// reason; returns how many count as failures.
int printProblems(const DefectScanResult& result, int skipped, const QString& logPath) {
    const int failed = qMax(0, result.leftInPlace() - result.unsafeNames - result.unlogged);
    if (result.unsafeNames > 0)
        PrintError(OwnText("cli.defects.unsafe_count").arg(result.unsafeNames));
    if (result.unlogged > 0)
        PrintError(
            OwnText("cli.defects.unlogged_count").arg(result.unlogged).arg(ShownPath(logPath)));
    if (failed > 0)
        PrintError(OwnText("cli.defects.failed_count").arg(failed));
    if (skipped > 0)
        PrintError(OwnText("cli.skipped_count").arg(skipped));
    return failed + result.unsafeNames + result.unlogged + skipped;
}

bool canHoldMoveLog(const AppSettings& settings) {
    const QFileInfo folder(QFileInfo(ProtocolFilePath(settings)).absolutePath());
    return folder.isDir() && folder.isWritable();
}

int run(const BatchInvocation& invocation) {
    const QCommandLineOption move(QStringLiteral("move"));
    const QCommandLineOption destination(QStringLiteral("dest"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    const QCommandLineOption thorough(QStringLiteral("thorough"));
    const QCommandLineOption why(QStringLiteral("why"));
    DefectScanOptions options;
    DefectScanResult result;
    PathJobParts parts;
    parts.options = {move, destination, nullSeparated, thorough, why};
    parts.readOptions = [&](const QCommandLineParser& parser, QStringList&) -> std::optional<int> {
        options.move = parser.isSet(move);
        options.thorough = parser.isSet(thorough);
        if (!parser.isSet(destination))
            return std::nullopt;
        const QString folder = parser.value(destination);
        if (folder.isEmpty())
            return UsageError(OwnText("cli.needs_value").arg(QStringLiteral("--dest")),
                              &kDefectsJob);
        options.destination = ResolveFolderToCreate(folder);
        if (options.destination.isEmpty()) {
            PrintError(OwnText("cli.defects.bad_dest").arg(ShownPath(folder)));
            return ExitStatus::Error;
        }
        return std::nullopt;
    };
    // Moves without a log could not be undone: refuse before moving anything.
    parts.prepare = [&](const PathJobRun&) -> std::optional<int> {
        if (!options.move)
            return std::nullopt;
        const AppSettings settings = LoadBatchSettings();
        if (canHoldMoveLog(settings))
            return std::nullopt;
        PrintError(
            OwnText("cli.defects.no_log_folder").arg(ShownPath(settings.Arbeitsverzeichnis)));
        return ExitStatus::Error;
    };
    parts.engine = [&](ConsoleJobHost& host, const PathJobRun& run) {
        options.recursive = run.recursive;
        options.startFolders = run.startFolders();
        ConsoleDefectReporter reporter(host, run.isSet(nullSeparated), run.isSet(why));
        result = ScanDefectiveJpegs(host, options, &reporter);
    };
    parts.finish = [&](ConsoleJobHost& host, const PathJobRun& run) {
        if (result.busy)
            return ExitStatus::Busy;
        if (result.nothingToTest)
            return ReportSkippedCount(run.targets, host) > 0 ? ExitStatus::Error : ExitStatus::Done;
        const int skipped = run.targets.skipped + host.skipped();
        printCounters(result, run.isSet(nullSeparated));
        const QString logPath = ProtocolFilePath(host.settings());
        const int problems = printProblems(result, skipped, logPath);
        if (!result.logWritten) {
            PrintError(OwnText("cli.defects.log_not_written").arg(ShownPath(logPath)));
            if (options.move)
                return ExitStatus::Error;
        }
        return FinalStatus(problems);
    };
    return RunPathJob(kDefectsJob, invocation, parts);
}

} // namespace

extern const BatchJob kDefectsJob = {"defects", "cli.defects.summary", help, run};
