#pragma once
// kelvasto-batch dupes and empty-folders: the duplicate search and the
// empty-folder removal of the window on one folder tree named on the
// command line.

#include <QStringList>

// `arguments` behind the job's name; each returns the exit status.
int RunDupesJob(const QStringList& arguments);
int RunEmptyFoldersJob(const QStringList& arguments);
