#pragma once
// What the dupes and empty-folders jobs share: the one FOLDER argument whose
// tree they walk, and their path records on stdout.

#include <QString>
#include <QStringList>

#include <optional>

struct BatchJob;

// The single folder among `positional`, absolute and ending with "/".
// Returns an exit status when there is none, more than one, or it is not a
// folder.
std::optional<int> ResolveFolderTreeArgument(const QStringList& positional, const BatchJob& job,
                                             QString& folder);

// A path as the file system's bytes: one per line, or ended by NUL with
// `nullSeparated` (an empty record then ends a group).
void PrintPathRecord(const QString& path, bool nullSeparated);
