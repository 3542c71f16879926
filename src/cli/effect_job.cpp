#include "cli/effect_job.h"

#include "app/app_settings.h"
#include "cli/batch_commands.h"
#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "engine/batch_functions.h"
#include "engine/job_controls.h"
#include "engine/path_utils.h"
#include "i18n/catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#include <unistd.h>

const char* const kEffectHelp =
    "Usage: kelvasto-batch effect aa|opt|sw|bmp2jpg [--recursive] PATH...\n"
    "\n"
    "Writes a new JPEG file beside each source; the sources stay as they are.\n"
    "\n"
    "  aa       anti-aliasing: NAME_aa.EXT\n"
    "  opt      optimising (edge-preserving smoothing): NAME_opt.EXT\n"
    "  sw       black-and-white: NAME_sw.EXT\n"
    "  bmp2jpg  bitmap files to JPEG: NAME.jpg\n"
    "\n"
    "  --recursive  PATHs are folders: every .jpg and .jpeg file of their trees\n"
    "               (.bmp for bmp2jpg); without it PATHs are the files\n"
    "\n"
    "A file already standing under a result's name goes to the trash first;\n"
    "one that cannot be trashed stays, and that result is not written.\n"
    "Prints \"source -> result\" per file written. Exits with 1 when a result\n"
    "was not written or a file could not be read (the run ends there).\n";

namespace {

struct EffectCommandLine {
    bool conversion = false;
    BatchFunction function = BatchFunction::AntiAlias;
    bool recursive = false;
    QStringList paths;
};

int usage(const QString& text) {
    WriteStandardError("kelvasto-batch: " + text.toLocal8Bit() + '\n');
    WriteStandardError(kEffectHelp);
    return ExitStatus::Usage;
}

void printError(const QString& text) {
    WriteStandardError("kelvasto-batch: " + text.toLocal8Bit() + '\n');
}

QString shown(const QString& path) {
    return QString::fromLocal8Bit(QFile::encodeName(path));
}

std::optional<EffectCommandLine> parse(const QStringList& args, int& status) {
    EffectCommandLine line;
    QStringList words;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            words << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            WriteStandardOutput(kEffectHelp);
            status = ExitStatus::Done;
            return std::nullopt;
        } else if (arg == QLatin1String("--recursive") || arg == QLatin1String("-r")) {
            line.recursive = true;
        } else {
            status = usage(QStringLiteral("unknown option %1").arg(arg));
            return std::nullopt;
        }
    }
    if (words.isEmpty()) {
        status = usage(QStringLiteral("no effect given"));
        return std::nullopt;
    }
    const QString effect = words.takeFirst();
    if (effect == QLatin1String("aa"))
        line.function = BatchFunction::AntiAlias;
    else if (effect == QLatin1String("opt"))
        line.function = BatchFunction::Optimise;
    else if (effect == QLatin1String("sw"))
        line.function = BatchFunction::BlackWhite;
    else if (effect == QLatin1String("bmp2jpg"))
        line.conversion = true;
    else {
        status = usage(QStringLiteral("unknown effect %1").arg(effect));
        return std::nullopt;
    }
    if (words.isEmpty()) {
        status = usage(QStringLiteral("no file or folder given"));
        return std::nullopt;
    }
    line.paths = words;
    return line;
}

// Checks every PATH against --recursive; returns an exit status on a fault.
std::optional<int> checkPaths(EffectCommandLine& line) {
    QStringList checked;
    for (const QString& path : std::as_const(line.paths)) {
        const QFileInfo info(path);
        if (!info.exists()) {
            printError(QStringLiteral("no such file or folder: %1").arg(path));
            return ExitStatus::Error;
        }
        if (line.recursive != info.isDir())
            return usage(line.recursive
                             ? QStringLiteral("--recursive needs folders, not files: %1").arg(path)
                             : QStringLiteral("%1 is a folder; add --recursive").arg(path));
        const QString absolute = QDir::cleanPath(info.absoluteFilePath());
        checked << (line.recursive ? AddTrailingBackslash(absolute) : absolute);
    }
    line.paths = checked;
    return std::nullopt;
}

// A line per result written, one per result left out; the conversion has
// no progress page, so its bar is drawn from here.
class ConsoleEffectReporter : public BatchFunctionReporter {
public:
    explicit ConsoleEffectReporter(ConsoleJobHost& host) : m_host(host) {}
    void noteResult(const QString& source, const QString& result) override {
        m_host.endProgressLine();
        WriteStandardOutput((shown(source) + QStringLiteral(" -> ") + shown(result)).toLocal8Bit() +
                            '\n');
    }
    void noteSkippedFile(const QString& path, const QString& reason) override {
        m_host.endProgressLine();
        printError(QStringLiteral("not written: %1: %2").arg(shown(path), reason));
        ++m_skipped;
    }
    void noteConverted(int done, int total) override {
        const QString& bar = kFunctionsControls.progress.bar;
        if (done == 1)
            m_host.setProgressMaximum(bar, total);
        m_host.setProgressValue(bar, done);
    }
    int skipped() const { return m_skipped; }

private:
    ConsoleJobHost& m_host;
    int m_skipped = 0;
};

} // namespace

int RunEffectJob(const QStringList& arguments, bool assumeYes) {
    int status = ExitStatus::Done;
    std::optional<EffectCommandLine> line = parse(arguments, status);
    if (!line)
        return status;
    if (const std::optional<int> fault = checkPaths(*line))
        return *fault;

    AppSettings settings = LoadSettings();
    SetLanguageOffset(settings.Sprache);
    SetLanguageIndex(LanguageIndexForOffset(settings.Sprache));
    ConsoleJobHost host(settings, assumeYes, ::isatty(STDERR_FILENO) == 1);
    BatchFunctionOptions options;
    options.recursive = line->recursive;
    if (line->recursive) {
        options.startFolders = line->paths;
        host.setStartFolders(line->paths);
    } else {
        host.setFiles(line->paths);
    }
    InstallInterruptHandler(host.stopFlags());
    ConsoleEffectReporter reporter(host);
    BatchFunctionResult result;
    try {
        result = line->conversion ? ConvertBitmapsToJpeg(host, options, &reporter)
                                  : RunJpegFunction(host, line->function, options, &reporter);
    } catch (...) {
        host.endProgressLine();
        throw;
    }
    host.endProgressLine();
    if (result.nothingToDo)
        return ExitStatus::Done;
    WriteStandardOutput(QStringLiteral("%1 of %2 file(s) written\n")
                            .arg(result.written)
                            .arg(result.collected)
                            .toLocal8Bit());
    if (InterruptRequested())
        return ExitStatus::Interrupted;
    return reporter.skipped() > 0 ? ExitStatus::Error : ExitStatus::Done;
}
