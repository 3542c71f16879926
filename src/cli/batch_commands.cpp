#include "cli/batch_commands.h"

#include "cli/batch_job.h"
#include "cli/cli_language.h"
#include "cli/standard_streams.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>

#include <exception>

namespace {

int runJob(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption yes(QStringLiteral("yes"));
    parser.addOption(help);
    parser.addOption(yes);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    // Everything from the job's name on belongs to the job.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(QStringList{QStringLiteral("kelvasto-batch")} + arguments))
        return UsageError(ParseErrorText(parser), nullptr);
    QStringList rest = parser.positionalArguments();
    const bool helpJob = rest.value(0) == QLatin1String("help");
    if (parser.isSet(help) || helpJob) {
        const BatchJob* job = helpJob ? FindBatchJob(rest.value(1)) : nullptr;
        WriteStandardOutput((job ? job->help() : GeneralHelp()).toUtf8());
        return ExitStatus::Done;
    }
    if (rest.isEmpty())
        return UsageError(OwnText("cli.no_job"), nullptr);
    const QString name = rest.takeFirst();
    const BatchJob* job = FindBatchJob(name);
    if (!job)
        return UsageError(OwnText("cli.unknown_job").arg(ShownPath(name)), nullptr);
    try {
        return job->run({rest, parser.isSet(yes)});
    } catch (const std::exception& error) {
        PrintError(FailureText(error));
        return ExitStatus::Error;
    }
}

} // namespace

int RunBatchCommand(const QStringList& arguments) {
    ApplyLocaleLanguage();
    const int status = runJob(arguments);
    // The job itself is done either way; the status tells a script that its
    // report (the list of moved files, the counters) did not arrive.
    if (StandardOutputFailed() && status != ExitStatus::Usage) {
        PrintError(OwnText("cli.stdout_failed"));
        return ExitStatus::Error;
    }
    return status;
}
