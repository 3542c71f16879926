#pragma once
// What the dupes and empty-folders jobs share: the one FOLDER argument whose
// tree they walk.

#include <QString>
#include <QStringList>

#include <optional>

struct BatchJob;

// The single folder among `positional`, absolute and ending with "/".
// Returns an exit status when there is none, more than one, or it is not a
// folder.
std::optional<int> ResolveFolderTreeArgument(const QStringList& positional, const BatchJob& job,
                                             QString& folder);
