// kelvasto-batch: Kelvasto's batch jobs for scripts and servers.

#include "cli/argument_paths.h"
#include "cli/batch_commands.h"
#include "cli/standard_streams.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char** argv) {
    ReserveStandardStreams();
    // Taken from argv before Qt decodes it: a name that is not UTF-8 must
    // keep its bytes.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(DecodeArgument(QByteArray(argv[i])));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvasto-batch"));
    return RunBatchCommand(arguments);
}
