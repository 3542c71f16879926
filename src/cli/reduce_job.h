#pragma once
// kelvasto-batch reduce: the lossless JPEG reduction of the window on files
// or folder trees named on the command line.

#include <QStringList>

extern const char* const kReduceHelp;

// `arguments` behind the job's name; returns the exit status.
int RunReduceJob(const QStringList& arguments, bool assumeYes);
