#pragma once
// The command line of kelvasto-batch: the shared options, then a job of the
// table (batch_job.h) with its own arguments. Returns the exit status (see
// ExitStatus in batch_job.h).

#include <QStringList>

// `arguments` without the program name, decoded with DecodeArgument.
int RunBatchCommand(const QStringList& arguments);
