#include "cli/batch_job.h"

#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "fs/file_name_bytes.h"
#include "i18n/catalogue.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>

#include <unistd.h>

namespace {

constexpr int kJobNameWidth = 9;

} // namespace

QString ParseErrorText(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString& name = unknown.first();
        const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
        return OwnText("cli.unknown_option").arg(dashes + name);
    }
    const QString qtText = parser.errorText();
    const qsizetype open = qtText.indexOf(QLatin1Char('\''));
    const qsizetype close = qtText.lastIndexOf(QLatin1Char('\''));
    if (open < 0 || close <= open)
        return qtText;
    const QString argument = qtText.mid(open + 1, close - open - 1);
    if (qtText.startsWith(QLatin1String("Missing value")))
        return OwnText("cli.needs_value").arg(argument);
    if (qtText.startsWith(QLatin1String("Unexpected value")))
        return OwnText("cli.takes_no_value").arg(argument);
    return qtText;
}

const BatchJob* FindBatchJob(const QString& name) {
    for (const BatchJob* job : BatchJobs())
        if (name == QLatin1String(job->name))
            return job;
    return nullptr;
}

AppSettings LoadBatchSettings() {
    return LoadSettings();
}

std::optional<int> ParseJobArguments(QCommandLineParser& parser, const BatchJob& job,
                                     const BatchInvocation& invocation, bool& assumeYes) {
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption yes(QStringLiteral("yes"));
    parser.addOption(help);
    parser.addOption(yes);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    if (!parser.parse(QStringList{QString::fromLatin1(job.name)} + invocation.arguments))
        return UsageError(ParseErrorText(parser), &job);
    if (parser.isSet(help)) {
        WriteStandardOutput(job.help().toUtf8());
        return ExitStatus::Done;
    }
    assumeYes = invocation.assumeYes || parser.isSet(yes);
    return std::nullopt;
}

namespace {

// Why an argument of this kind is left out; empty when it is taken.
QString skipReason(ArgumentKind kind) {
    switch (kind) {
    case ArgumentKind::SymbolicLink:
        return OwnText("cli.reason_link");
    case ArgumentKind::Other:
        return OwnText("cli.reason_not_regular");
    case ArgumentKind::NotUtf8:
        return OwnText("cli.reason_not_utf8");
    default:
        return {};
    }
}

} // namespace

std::optional<int> ResolvePathArguments(const QStringList& arguments, bool recursive,
                                        const BatchJob& job, PathArguments& resolved) {
    for (const QString& argument : arguments) {
        const ResolvedArgument path = ResolveArgument(argument, recursive);
        switch (path.kind) {
        case ArgumentKind::Missing:
            PrintError(ShownPath(argument) + CatalogueText(CatalogueId::DoesNotExist));
            return ExitStatus::Error;
        case ArgumentKind::Unreachable:
            PrintError(
                OwnText("cli.unreachable").arg(ShownPath(argument), SystemErrorText(path.error)));
            return ExitStatus::Error;
        case ArgumentKind::File:
            if (recursive)
                return UsageError(OwnText("cli.needs_folders").arg(ShownPath(argument)), &job);
            resolved.paths.append(path.path);
            break;
        case ArgumentKind::Folder:
            if (!recursive)
                return UsageError(OwnText("cli.is_folder").arg(ShownPath(argument)), &job);
            resolved.paths.append(path.path);
            break;
        default:
            ++resolved.skipped;
            PrintSkipped(path.path.isEmpty() ? argument : path.path, skipReason(path.kind));
            break;
        }
    }
    resolved.paths = recursive ? OutermostFolders(resolved.paths) : WithoutRepeats(resolved.paths);
    return std::nullopt;
}

bool PathJobRun::isSet(const QCommandLineOption& option) const {
    return parser.isSet(option);
}

int RunPathJob(const BatchJob& job, const BatchInvocation& invocation, const PathJobParts& parts) {
    QCommandLineParser parser;
    const QCommandLineOption recursive(
        QStringList{QStringLiteral("r"), QStringLiteral("recursive")});
    parser.addOption(recursive);
    parser.addOptions(parts.options);
    PathJobRun run(parser);
    if (const std::optional<int> done = ParseJobArguments(parser, job, invocation, run.assumeYes))
        return *done;
    run.recursive = parser.isSet(recursive);
    QStringList words = parser.positionalArguments();
    if (const std::optional<int> fault = parts.readOptions(parser, words))
        return *fault;
    if (words.isEmpty())
        return UsageError(OwnText("cli.no_path"), &job);
    if (const std::optional<int> fault =
            ResolvePathArguments(words, run.recursive, job, run.targets))
        return *fault;
    if (parts.prepare)
        if (const std::optional<int> fault = parts.prepare(run))
            return *fault;
    const ConsoleOptions console = ConsoleOptionsFor(run.assumeYes);
    const std::unique_ptr<ConsoleJobHost> host =
        parts.makeHost ? parts.makeHost(console, run)
                       : std::make_unique<ConsoleJobHost>(LoadBatchSettings(), console);
    GiveTargets(*host, run.targets, run.recursive);
    RunOnConsole(*host, [&] { parts.engine(*host, run); });
    return parts.finish(*host, run);
}

ConsoleOptions ConsoleOptionsFor(bool assumeYes) {
    ConsoleOptions options;
    options.assumeYes = assumeYes;
    options.showProgress = ::isatty(STDERR_FILENO) == 1;
    return options;
}

void GiveTargets(ConsoleJobHost& host, const PathArguments& targets, bool recursive) {
    if (recursive)
        host.setStartFolders(targets.paths);
    else
        host.setFiles(targets.paths);
}

void RunOnConsole(ConsoleJobHost& host, const std::function<void()>& job) {
    InstallInterruptHandler(host.stopFlags());
    try {
        job();
    } catch (...) {
        host.endProgressLine();
        throw;
    }
    host.endProgressLine();
}

int ReportSkippedCount(const PathArguments& targets, const ConsoleJobHost& host) {
    const int skipped = targets.skipped + host.skipped();
    if (skipped > 0)
        PrintError(OwnText("cli.skipped_count").arg(skipped));
    return skipped;
}

int FinalStatus(int problems) {
    if (InterruptRequested())
        return ExitStatus::Interrupted;
    return problems > 0 ? ExitStatus::Error : ExitStatus::Done;
}

QString ShownPath(const QString& path) {
    return ShellQuotedName(path);
}

void PrintOut(const QString& text) {
    WriteStandardOutput(text.toUtf8());
}

void PrintOutBytes(const QByteArray& bytes) {
    WriteStandardOutput(bytes);
}

void PrintPathPair(const QString& from, const QString& to, bool nullSeparated) {
    if (nullSeparated)
        WriteStandardOutput(ArgumentBytes(from) + '\0' + ArgumentBytes(to) + '\0');
    else
        PrintOut(ShownPath(from) + QStringLiteral(" -> ") + ShownPath(to) + QLatin1Char('\n'));
}

void PrintPathRecord(const QString& path, bool nullSeparated) {
    if (nullSeparated)
        WriteStandardOutput(ArgumentBytes(path) + '\0');
    else
        PrintOut((path.isEmpty() ? QString() : ShownPath(path)) + QLatin1Char('\n'));
}

void PrintCount(const QString& line, bool nullSeparated) {
    if (nullSeparated)
        WriteStandardError(line.toUtf8() + '\n');
    else
        PrintOut(line + QLatin1Char('\n'));
}

QCommandLineOption NullSeparatedOption() {
    return QCommandLineOption(QStringList{QStringLiteral("0"), QStringLiteral("null")});
}

void PrintError(const QString& text) {
    WriteStandardError("kelvasto-batch: " + text.toUtf8() + '\n');
}

void PrintSkipped(const QString& path, const QString& reason) {
    PrintError(OwnText("cli.skipped").arg(ShownPath(path), reason));
}

int UsageError(const QString& text, const BatchJob* job) {
    PrintError(text);
    WriteStandardError((job ? job->help() : GeneralHelp()).toUtf8());
    return ExitStatus::Usage;
}

QString GeneralHelp() {
    QString jobs;
    for (const BatchJob* job : BatchJobs())
        jobs += QStringLiteral("  %1 %2\n")
                    .arg(QString::fromLatin1(job->name), -kJobNameWidth)
                    .arg(OwnText(job->summaryKey));
    const AppSettings settings = LoadSettings();
    return OwnText("cli.help")
        .arg(jobs, ShownPath(settings.Arbeitsverzeichnis), ShownPath(ProtocolFilePath(settings)));
}
