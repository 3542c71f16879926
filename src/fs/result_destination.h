#pragma once
// Where index sheets and thumbnails go: a folder the user set, the source
// folder, or a sub-folder of it that is created when needed (creating one that
// exists, or one that cannot be created, is not an error: the write then
// fails and is reported).

#include "fs/file_collection.h"

#include <QString>

enum class DestinationKind {
    SetFolder,    // IdxZielRadioButton01: IdxZielverzeichnis
    SourceFolder, // IdxZielRadioButton02
    SubFolder,    // IdxZielRadioButton03: the source folder + IdxUnterverzeichnis
};

struct DestinationChoice {
    DestinationKind kind = DestinationKind::SourceFolder;
    QString setFolder; // for SetFolder
    QString subFolder; // for SubFolder; empty means the source folder itself
};

// The destination folder, ending with "/", for results of files in
// `sourceFolder`; creates the sub-folder of a SubFolder choice.
QString ResultFolder(const DestinationChoice& choice, const QString& sourceFolder);

// A result named as if it lay beside its source, moved into the chosen
// destination (the same path for SourceFolder).
QString ResultPath(const DestinationChoice& choice, const QString& besideSource);

// "Eingestelltes Verzeichnis" without a folder: the job cannot start.
bool DestinationMissing(const DestinationChoice& choice);

// The folders a recursive run with this destination leaves out: every
// sub-folder of that name (each source folder gets its own), or the set
// folder when it lies in the tree. The source folder itself is never left
// out. Without this, each run would take the last one's results for sources
// and nest a level deeper (Thumbnails/Thumbnails/x_thumb_thumb.jpg).
LeftOutFolder ResultFoldersOf(const DestinationChoice& choice);
