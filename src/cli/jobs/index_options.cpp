#include "cli/jobs/index_options.h"

#include "fs/path_utils.h"
#include "i18n/own_texts.h"

QStringList IndexStartFolders(const PathJobRun& run) {
    return run.recursive ? run.targets.paths : QStringList{FileFolder(run.targets.paths.value(0))};
}

int FinishIndexJob(const ConsoleJobHost& host, const PathJobRun& run, const IndexJobResult& result,
                   const char* writtenKey, bool nullSeparated) {
    // An error (e.g. sheets larger than a picture may be) is reported by the
    // tool, below a finished progress line.
    if (result.refusedWith == 0)
        PrintCount(OwnText(writtenKey).arg(result.written), nullSeparated);
    return FinalStatus(ReportSkippedCount(run.targets, host));
}
