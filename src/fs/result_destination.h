#pragma once
// Where index sheets and thumbnails go: a folder the user set, the source
// folder, or a sub-folder of it that is created when needed (creating one that
// exists, or one that cannot be created, is not an error: the write then
// fails and is reported).

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
