// kelvasto-batch: Kelvasto's batch jobs for scripts and servers.

#include "cli/batch_commands.h"
#include "cli/standard_streams.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char** argv) {
    ReserveStandardStreams();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvasto-batch"));
    return RunBatchCommand(QCoreApplication::arguments().mid(1));
}
