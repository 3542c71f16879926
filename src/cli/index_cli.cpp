#include "cli/index_cli.h"

#include "app/app_settings.h"
#include "base/errors.h"
#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "engine/index_jobs.h"
#include "engine/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <optional>

#include <unistd.h>

namespace {

// In the run's language, as every job of the tool.
QString text(const char* key) {
    return OwnText(key);
}

void printError(const QString& message) {
    WriteStandardError("kelvasto-batch: " + message.toLocal8Bit() + '\n');
}

int usage(const QString& message, const QString& help) {
    printError(message);
    WriteStandardError(help.toLocal8Bit());
    return ExitStatus::Usage;
}

QString shown(const QString& path) {
    return QString::fromLocal8Bit(QFile::encodeName(path));
}

// Every file passed over and every result not written, on stderr.
class ConsoleIndexReporter : public IndexJobReporter {
public:
    explicit ConsoleIndexReporter(ConsoleJobHost& host) : m_host(host) {}
    void noteSkipped(const QString& path, const QString& reason) override {
        m_host.endProgressLine();
        printError(QStringLiteral("skipped: %1: %2").arg(shown(path), reason));
        ++m_skipped;
    }
    int skipped() const { return m_skipped; }

private:
    ConsoleJobHost& m_host;
    int m_skipped = 0;
};

// What both jobs read the same way.
struct CommonOptions {
    QCommandLineOption recursive{QStringList{QStringLiteral("r"), QStringLiteral("recursive")}};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};
    QCommandLineOption dest{QStringLiteral("dest"), QString(), QStringLiteral("DIR")};
    QCommandLineOption sourceFolder{QStringLiteral("source-folder")};
    QCommandLineOption subFolder{QStringLiteral("subfolder"), QString(), QStringLiteral("NAME")};
    QCommandLineOption size{QStringLiteral("size"), QString(), QStringLiteral("S")};
    QCommandLineOption prefix{QStringLiteral("prefix"), QString(), QStringLiteral("P")};
    QCommandLineOption postfix{QStringLiteral("postfix"), QString(), QStringLiteral("Q")};

    void addTo(QCommandLineParser& parser) const {
        parser.addOptions({recursive, help, dest, sourceFolder, subFolder, size, prefix, postfix});
    }
};

// Parses; an exit status when the job is done already (help, usage error).
std::optional<int> parse(QCommandLineParser& parser, const QStringList& arguments,
                         const CommonOptions& common, const QString& help) {
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    if (!parser.parse(QStringList{QStringLiteral("kelvasto-batch")} + arguments))
        return usage(parser.errorText(), help);
    if (parser.isSet(common.help)) {
        WriteStandardOutput(help.toLocal8Bit());
        return ExitStatus::Done;
    }
    return std::nullopt;
}

std::optional<int> readNumber(const QCommandLineParser& parser, const QCommandLineOption& option,
                              int minimum, int maximum, const QString& help, int& value) {
    if (!parser.isSet(option))
        return std::nullopt;
    bool ok = false;
    const int number = parser.value(option).toInt(&ok);
    if (!ok || number < minimum || number > maximum)
        return usage(text("cli.index.out_of_range")
                         .arg(QStringLiteral("--") + option.names().constLast())
                         .arg(minimum)
                         .arg(maximum),
                     help);
    value = number;
    return std::nullopt;
}

std::optional<int> readDestination(const QCommandLineParser& parser, const CommonOptions& common,
                                   const QString& help, DestinationChoice& choice) {
    const int given = int(parser.isSet(common.dest)) + int(parser.isSet(common.sourceFolder)) +
                      int(parser.isSet(common.subFolder));
    if (given > 1)
        return usage(text("cli.index.one_destination"), help);
    if (parser.isSet(common.dest)) {
        const QString folder = parser.value(common.dest);
        if (folder.isEmpty())
            return usage(QStringLiteral("--dest needs a value"), help);
        if (!QFileInfo(folder).isDir()) {
            printError(text("cli.index.bad_dest").arg(shown(folder)));
            return ExitStatus::Error;
        }
        choice.kind = DestinationKind::SetFolder;
        choice.setFolder =
            AddTrailingBackslash(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    } else if (parser.isSet(common.subFolder)) {
        if (parser.value(common.subFolder).isEmpty())
            return usage(QStringLiteral("--subfolder needs a value"), help);
        choice.kind = DestinationKind::SubFolder;
        choice.subFolder = parser.value(common.subFolder);
    } else {
        choice.kind = DestinationKind::SourceFolder;
    }
    return std::nullopt;
}

// Every PATH exists and fits --recursive; made absolute, folders with "/".
std::optional<int> checkPaths(const QStringList& arguments, bool recursive, const QString& help,
                              QStringList& paths) {
    if (arguments.isEmpty())
        return usage(QStringLiteral("no file or folder given"), help);
    for (const QString& path : arguments) {
        const QFileInfo info(path);
        if (!info.exists()) {
            printError(QStringLiteral("no such file or folder: %1").arg(shown(path)));
            return ExitStatus::Error;
        }
        if (recursive != info.isDir())
            return usage(recursive
                             ? QStringLiteral("--recursive needs folders, not files: %1").arg(path)
                             : QStringLiteral("%1 is a folder; add --recursive").arg(path),
                         help);
        const QString absolute = QDir::cleanPath(info.absoluteFilePath());
        paths << (recursive ? AddTrailingBackslash(absolute) : absolute);
    }
    return std::nullopt;
}

using JobCall = std::function<IndexJobResult(ConsoleJobHost&, const QStringList& startFolders,
                                             IndexJobReporter&)>;

// Runs a job on the paths: the count of files written on stdout, every skipped
// entry on stderr, 1 when anything was skipped.
int runOnConsole(bool recursive, const QStringList& paths, bool assumeYes, const char* writtenKey,
                 const JobCall& call) {
    ConsoleOptions console;
    console.assumeYes = assumeYes;
    console.showProgress = ::isatty(STDERR_FILENO) == 1;
    ConsoleJobHost host(LoadBatchSettings(), console);
    // Without a tree, "the source folder" of a stem name is the first file's.
    QStringList startFolders = paths;
    if (recursive) {
        host.setStartFolders(paths);
    } else {
        host.setFiles(paths);
        startFolders = {QFileInfo(paths.first()).absolutePath() + QLatin1Char('/')};
    }
    InstallInterruptHandler(host.stopFlags());
    ConsoleIndexReporter reporter(host);
    IndexJobResult result;
    try {
        result = call(host, startFolders, reporter);
    } catch (...) {
        host.endProgressLine();
        throw;
    }
    host.endProgressLine();
    if (result.refusedWith == 0)
        WriteStandardOutput(
            (text(writtenKey).arg(result.written) + QLatin1Char('\n')).toLocal8Bit());
    if (InterruptRequested())
        return ExitStatus::Interrupted;
    return reporter.skipped() > 0 ? ExitStatus::Error : ExitStatus::Done;
}

// "all-letters" or "first-chars:N".
bool readSeriesRule(const QString& rule, SeriesOptions& series) {
    if (rule == QLatin1String("all-letters")) {
        series.rule = SeriesRule::AllLetters;
        return true;
    }
    const QString prefix = QStringLiteral("first-chars:");
    if (!rule.startsWith(prefix))
        return false;
    bool ok = false;
    const int n = rule.mid(prefix.size()).toInt(&ok);
    if (!ok || n < 1 || n > 255)
        return false;
    series.rule = SeriesRule::FirstChars;
    series.firstChars = n;
    return true;
}

} // namespace

QString IndexHelp() {
    return text("cli.index.help");
}

QString ThumbsHelp() {
    return text("cli.thumbs.help");
}

int RunIndexJob(const QStringList& arguments, bool assumeYes) {
    const QString help = IndexHelp();
    QCommandLineParser parser;
    const CommonOptions common;
    const QCommandLineOption perSheet(QStringLiteral("per-sheet"), QString(), QStringLiteral("C"));
    const QCommandLineOption perRow(QStringLiteral("per-row"), QString(), QStringLiteral("R"));
    const QCommandLineOption stem(QStringLiteral("stem"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption series(QStringLiteral("series"), QString(), QStringLiteral("RULE"));
    common.addTo(parser);
    parser.addOptions({perSheet, perRow, stem, series});
    if (const std::optional<int> done = parse(parser, arguments, common, help))
        return *done;

    IndexJobOptions options;
    options.recursive = parser.isSet(common.recursive);
    for (const auto& [option, minimum, maximum, value] :
         {std::tuple{&perSheet, 1, 32000, &options.layout.perSheet},
          std::tuple{&perRow, 1, 32000, &options.layout.perRow},
          std::tuple{&common.size, 40, 500, &options.layout.side}})
        if (const std::optional<int> fault =
                readNumber(parser, *option, minimum, maximum, help, *value))
            return *fault;
    if (parser.isSet(stem) == parser.isSet(series))
        return usage(text("cli.index.stem_or_series"), help);
    if (parser.isSet(stem)) {
        if (parser.isSet(common.prefix) || parser.isSet(common.postfix))
            return usage(text("cli.index.prefix_needs_series"), help);
        options.stem = parser.value(stem);
    } else {
        options.bySeries = true;
        if (!readSeriesRule(parser.value(series), options.series))
            return usage(text("cli.index.bad_series").arg(parser.value(series)), help);
        options.prefix = parser.value(common.prefix);
        options.postfix = parser.value(common.postfix);
    }
    if (const std::optional<int> fault = readDestination(parser, common, help, options.destination))
        return *fault;
    QStringList paths;
    if (const std::optional<int> fault =
            checkPaths(parser.positionalArguments(), options.recursive, help, paths))
        return *fault;
    return runOnConsole(
        options.recursive, paths, assumeYes, "cli.index.written",
        [&](ConsoleJobHost& host, const QStringList& startFolders, IndexJobReporter& reporter) {
            options.startFolders = startFolders;
            return MakeIndexPictures(host, options, &reporter);
        });
}

int RunThumbsJob(const QStringList& arguments, bool assumeYes) {
    const QString help = ThumbsHelp();
    QCommandLineParser parser;
    const CommonOptions common;
    common.addTo(parser);
    if (const std::optional<int> done = parse(parser, arguments, common, help))
        return *done;

    ThumbnailJobOptions options;
    options.recursive = parser.isSet(common.recursive);
    if (const std::optional<int> fault =
            readNumber(parser, common.size, 10, 300, help, options.side))
        return *fault;
    // The window's default postfix, unless the user names the parts himself.
    if (parser.isSet(common.prefix) || parser.isSet(common.postfix)) {
        options.prefix = parser.value(common.prefix);
        options.postfix = parser.value(common.postfix);
    } else {
        options.postfix = QStringLiteral("_thumb");
    }
    if (options.prefix.isEmpty() && options.postfix.isEmpty())
        return usage(text("cli.thumbs.no_prefix_postfix"), help);
    if (const std::optional<int> fault = readDestination(parser, common, help, options.destination))
        return *fault;
    QStringList paths;
    if (const std::optional<int> fault =
            checkPaths(parser.positionalArguments(), options.recursive, help, paths))
        return *fault;
    return runOnConsole(
        options.recursive, paths, assumeYes, "cli.thumbs.written",
        [&](ConsoleJobHost& host, const QStringList& startFolders, IndexJobReporter& reporter) {
            options.startFolders = startFolders;
            return MakeThumbnails(host, options, &reporter);
        });
}

// The two rows of the job table.
extern const BatchJob kIndexJob = {
    "index", "cli.index.summary", IndexHelp, [](const BatchInvocation& invocation) {
        return RunIndexJob(invocation.arguments, invocation.assumeYes);
    }};
extern const BatchJob kThumbsJob = {
    "thumbs", "cli.thumbs.summary", ThumbsHelp, [](const BatchInvocation& invocation) {
        return RunThumbsJob(invocation.arguments, invocation.assumeYes);
    }};
