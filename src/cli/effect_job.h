#pragma once
// kelvasto-batch effect: the batch picture functions of the window on files
// or folder trees named on the command line.

#include <QStringList>

extern const char* const kEffectHelp;

// `arguments` behind the job's name; returns the exit status.
int RunEffectJob(const QStringList& arguments, bool assumeYes);
