#pragma once
// The file-list filter: which items of the listed folder are shown. Folders
// are always shown; files only when their extension equals, ignoring case,
// the extension of one of the masks; "*.*" shows all.

#include <QString>
#include <QStringList>

// The two filters the program sets: shown text and mask, split by "|".
inline const QString kJpegFilter = QStringLiteral("*.jpg;*.jpeg|*.jpg;*.jpeg");
inline const QString kBitmapFilter = QStringLiteral("*.bmp|*.bmp");

// The mask part of a filter text ("*.*" when there is none).
QString FilterMask(const QString& filterText);

// Splits a mask at ";" into ListMasks; "*.*" gives the single entry "*.*".
QStringList ParseListMasks(const QString& mask);

// The extension from the last "." on, empty when there is none.
QString NameExtension(const QString& name);

// ShellListView01AddFolder's decision for one item.
bool ListMasksAdmit(const QStringList& masks, const QString& name, bool isFolder);

// Renames `from` to `newName` in the same folder, never replacing an existing
// entry. False when the name is empty, holds "/", or is taken.
bool RenameWithoutReplacing(const QString& from, const QString& newName);
