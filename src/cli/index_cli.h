#pragma once
// kelvasto-batch index and thumbs: the index pictures (contact sheets) and
// thumbnails of the window on files or folder trees named on the command line.

#include <QString>

QString IndexHelp();
QString ThumbsHelp();

// `arguments` behind the job's name; return the exit status.
int RunIndexJob(const QStringList& arguments, bool assumeYes);
int RunThumbsJob(const QStringList& arguments, bool assumeYes);
