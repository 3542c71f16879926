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

// Names every file passed over and every result not written on stderr.
class ConsoleIndexReporter : public IndexJobReporter {
public:
    explicit ConsoleIndexReporter(ConsoleJobHost& host) : m_host(host) {}
    void noteSkipped(const QString& path, const QString& reason) override {
        m_host.reportSkipped(path, reason);
    }

private:
    ConsoleJobHost& m_host;
};

// Runs a job of the tab on the resolved PATH arguments and turns its result
// into the exit status: the count of written files on stdout, every skipped
// entry named on stderr, 1 when anything was skipped.
struct IndexRunSetup {
    bool recursive = false;
    PathArguments targets;
    bool assumeYes = false;
    const char* writtenKey = nullptr; // OwnText key of "...: %1"
};
using IndexJobCall = std::function<IndexJobResult(
    ConsoleJobHost& host, const QStringList& startFolders, IndexJobReporter& reporter)>;
int RunIndexJobOnConsole(const IndexRunSetup& setup, const IndexJobCall& call);
