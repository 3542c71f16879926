#pragma once
// Where a job that writes new pictures puts them, as command-line options.

#include "cli/batch_job.h"
#include "fs/result_destination.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <optional>

// --dest DIR | --source-folder | --subfolder NAME
struct DestinationOptions {
    QCommandLineOption dest{QStringLiteral("dest"), QString(), QStringLiteral("DIR")};
    QCommandLineOption sourceFolder{QStringLiteral("source-folder")};
    QCommandLineOption subFolder{QStringLiteral("subfolder"), QString(), QStringLiteral("NAME")};

    QList<QCommandLineOption> all() const { return {dest, sourceFolder, subFolder}; }
    // The choice, or an exit status after a usage error or a folder that
    // cannot be reached.
    std::optional<int> read(const QCommandLineParser& parser, const BatchJob& job,
                            DestinationChoice& choice) const;
};
