#pragma once
// What the two jobs of the tab "Indexbilder / Thumbnails" share on the command
// line besides the destination options: the reporter that names every file passed
// over on stderr, and reading whole numbers within a range.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/jobs/destination_options.h"
#include "jobs/index/index_jobs.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <functional>
#include <optional>

// A whole number option within minimum..maximum; `value` keeps its default
// when the option is absent.
std::optional<int> ReadNumberOption(const QCommandLineParser& parser,
                                    const QCommandLineOption& option, int minimum, int maximum,
                                    const BatchJob& job, int& value);

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

// Runs a job of the tab on the resolved PATH arguments and turns its result
// into the exit status: a record per file written and their count on stdout
// (the count on stderr with --null), every skipped entry named on stderr, 1
// when anything was skipped.
struct IndexRunSetup {
    bool recursive = false;
    PathArguments targets;
    bool assumeYes = false;
    bool nullSeparated = false;       // -0, --null
    const char* writtenKey = nullptr; // OwnText key of "...: %1"
};
using IndexJobCall = std::function<IndexJobResult(
    ConsoleJobHost& host, const QStringList& startFolders, IndexJobReporter& reporter)>;
int RunIndexJobOnConsole(const IndexRunSetup& setup, const IndexJobCall& call);
