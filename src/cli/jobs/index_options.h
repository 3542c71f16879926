#pragma once
// What the two jobs of the tab "Indexbilder / Thumbnails" share on the command
// line besides the destination options: the reporter that names every file
// passed over on stderr, their start folders and their end.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/jobs/destination_options.h"
#include "cli/number_options.h"
#include "jobs/index/index_jobs.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <functional>

// One record "source -> result" per file written (the host names on stderr
// every file passed over and every result not written).
class ConsoleIndexReporter : public IndexJobReporter {
public:
    ConsoleIndexReporter(ConsoleJobHost& host, bool nullSeparated)
        : m_host(host), m_nullSeparated(nullSeparated) {}
    void noteWritten(const QString& source, const QString& result) override {
        m_host.endProgressLine();
        PrintPathPair(source, result, m_nullSeparated);
    }

private:
    ConsoleJobHost& m_host;
    bool m_nullSeparated;
};

// The tree walks' start folders, or without a tree the first file's folder:
// there is "the source folder".
QStringList IndexStartFolders(const PathJobRun& run);

// The engine and the end of a job of the tab: `call` runs the engine with a
// reporter that prints a record per result; then the count of results
// (`writtenKey`, on stdout, on stderr with --null) unless the job refused to
// start, every skipped entry counted on stderr, and exit status 1 when
// anything was skipped.
using IndexJobCall = std::function<IndexJobResult(ConsoleJobHost& host, const PathJobRun& run,
                                                  IndexJobReporter& reporter)>;
void SetIndexJobRun(PathJobParts& parts, const QCommandLineOption& nullSeparated,
                    const char* writtenKey, IndexJobCall call);
