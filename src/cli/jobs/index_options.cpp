#include "cli/jobs/index_options.h"

#include "fs/path_utils.h"
#include "i18n/own_texts.h"

#include <memory>

QStringList IndexStartFolders(const PathJobRun& run) {
    return run.recursive ? run.targets.paths : QStringList{FileFolder(run.targets.paths.value(0))};
}

void SetIndexJobRun(PathJobParts& parts, const QCommandLineOption& nullSeparated,
                    const char* writtenKey, IndexJobCall call) {
    auto result = std::make_shared<IndexJobResult>();
    parts.engine = [=](ConsoleJobHost& host, const PathJobRun& run) {
        ConsoleIndexReporter reporter(host, run.isSet(nullSeparated));
        *result = call(host, run, reporter);
    };
    parts.finish = [=](ConsoleJobHost& host, const PathJobRun& run) {
        // An error (e.g. sheets larger than a picture may be) is reported by
        // the tool, below a finished progress line.
        if (!result->refusedWith)
            PrintCount(OwnText(writtenKey).arg(result->written), run.isSet(nullSeparated));
        return FinalStatus(ReportSkippedCount(run.targets, host));
    };
}
