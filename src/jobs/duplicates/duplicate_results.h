#pragma once
// The result list of the duplicate search and what its buttons do with it:
// marking every file but the first of each group, the question before the
// marked files go to the trash, the trash itself, and the question before the
// list is cleared.

#include <QList>
#include <QString>
#include <QStringList>

class JobHost;

// The lines "Duplikate markieren" selects: every line i from 1 on whose line
// i - 1 and itself are both non-empty, so the first file of each group (line
// 0, or a line after an empty one) and the empty separators stay unselected.
QList<qsizetype> DuplicateLinesToMark(const QStringList& lines);

// Asks before `count` marked files go to the trash: NothingMarked (information,
// OK) and false when there is none, else ReallyDeleteMarkedFile for one file or
// ReallyDeleteMarkedFiles for more (Yes/No). True only for Yes.
bool ConfirmDeletingMarked(JobHost& host, qsizetype count);

// Sends each file to the trash, never deleting one permanently; each one that
// could not be trashed goes to the host's reportSkipped. Returns the files
// trashed, in order; empty lines are no files and are passed over.
QStringList TrashFiles(JobHost& host, const QStringList& files);

// Asks ReallyClearList (Yes/No) before the result list is cleared; true only
// for Yes.
bool ConfirmClearingList(JobHost& host);
