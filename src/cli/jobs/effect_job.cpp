// kelvasto-batch effect: the batch picture functions of the window on files
// or folder trees named on the command line.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/jobs/destination_options.h"
#include "i18n/own_texts.h"
#include "jobs/framework/job_controls.h"
#include "jobs/functions/batch_functions.h"

#include <QCommandLineParser>

extern const BatchJob kEffectJob;

namespace {

QString help() {
    return OwnText("cli.effect.help");
}

struct Effect {
    const char* name;
    bool conversion; // bitmaps to JPEG, not a function on JPEG files
    BatchFunction function;
};

constexpr Effect kEffects[] = {
    {"aa", false, BatchFunction::AntiAlias},
    {"opt", false, BatchFunction::Optimise},
    {"sw", false, BatchFunction::BlackWhite},
    {"bmp2jpg", true, BatchFunction::AntiAlias},
};

const Effect* findEffect(const QString& name) {
    for (const Effect& effect : kEffects)
        if (name == QLatin1String(effect.name))
            return &effect;
    return nullptr;
}

// A record per result written (the host names each one left out on stderr);
// the conversion has no progress page, so its bar is drawn from here.
class ConsoleEffectReporter : public BatchFunctionReporter {
public:
    ConsoleEffectReporter(ConsoleJobHost& host, bool nullSeparated)
        : m_host(host), m_nullSeparated(nullSeparated) {}

    void noteResult(const QString& source, const QString& result) override {
        m_host.endProgressLine();
        PrintPathPair(source, result, m_nullSeparated);
    }
    void noteConverted(int done, int total) override {
        const QString& bar = kFunctionsControls.progress.bar;
        if (done == 1)
            m_host.setProgressMaximum(bar, total);
        m_host.setProgressValue(bar, done);
    }

private:
    ConsoleJobHost& m_host;
    bool m_nullSeparated;
};

int run(const BatchInvocation& invocation) {
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    const DestinationOptions destination;
    const Effect* effect = nullptr;
    BatchFunctionOptions options;
    BatchFunctionResult result;
    PathJobParts parts;
    parts.options = QList{nullSeparated} + destination.all();
    // The effect's name comes first, the PATHs behind it.
    parts.readOptions = [&](const QCommandLineParser& parser,
                            QStringList& words) -> std::optional<int> {
        if (words.isEmpty())
            return UsageError(OwnText("cli.effect.no_effect"), &kEffectJob);
        const QString name = words.takeFirst();
        effect = findEffect(name);
        if (!effect)
            return UsageError(OwnText("cli.effect.unknown").arg(ShownPath(name)), &kEffectJob);
        if (words.isEmpty())
            return UsageError(OwnText("cli.no_path"), &kEffectJob);
        return destination.read(parser, kEffectJob, options.destination);
    };
    parts.engine = [&](ConsoleJobHost& host, const PathJobRun& run) {
        options.recursive = run.recursive;
        options.startFolders = run.startFolders();
        ConsoleEffectReporter reporter(host, run.isSet(nullSeparated));
        result = effect->conversion ? ConvertBitmapsToJpeg(host, options, &reporter)
                                    : RunJpegFunction(host, effect->function, options, &reporter);
    };
    parts.finish = [&](ConsoleJobHost& host, const PathJobRun& run) {
        const int skipped = ReportSkippedCount(run.targets, host);
        if (result.nothingToDo)
            return skipped > 0 ? ExitStatus::Error : ExitStatus::Done;
        PrintCount(OwnText("cli.effect.written").arg(result.written).arg(result.collected),
                   run.isSet(nullSeparated));
        return FinalStatus(skipped);
    };
    return RunPathJob(kEffectJob, invocation, parts);
}

} // namespace

extern const BatchJob kEffectJob = {"effect", "cli.effect.summary", help, run};
