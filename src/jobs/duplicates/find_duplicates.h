#pragma once
// The duplicate search: collects the JPEG files of a folder tree, orders them
// by size, drops every size that occurs once, and compares each group of equal
// size byte for byte. The result lines name each group of identical files as
// its first file, then every file identical to it, then one empty line;
// groups in ascending size, within a size in the order the group walk finds
// them (CompareSameSizeGroup).
//
// A file that cannot be opened or read is left out of its group, named to the
// host's reportSkipped and in `skipped`; the search goes on, so the list is
// never silently partial.
//
// The groups are read on worker threads (identical_classes.h); the calling
// thread plays the walk from their classes (group_walk.h) and lets pending
// messages through at least every 20 ms, so the window repaints and the
// abort button works during any group.
//
// The window's handler (DuplicatesController::BitBtnDupSuchenClick) reads the
// folder tree and hands over; the lines found stay however the search ends:
//
//     QStringList lines;
//     ScopeExit show([&] { resultList()->addItems(lines); });
//     SearchDuplicates(window().jobHost(), window().selectedFolder(), lines);

#include <QString>
#include <QStringList>

class JobHost;

struct DuplicateSearchResult {
    int collected = 0;    // Label_Dup02: JPEG files collected
    int candidates = 0;   // Label_Dup04: files sharing their size with another
    int found = 0;        // Label_Dup06: every file found identical to an earlier one
    bool stopped = false; // BatchJobStop ended the search early
    QStringList skipped;  // files left out: they could not be opened or read
};

// The order of a group being compared: paths compared without regard to case,
// paths equal that way in the order of their characters.
bool DuplicatePathLess(const QString& a, const QString& b);

// The length of a file from the file system, or -1 when it cannot be opened
// for reading or is no regular file.
qint64 MeasureFileSize(const QString& path);

// Searches the tree of `folder` and appends the result lines to `lines`
// (cleared when the comparing starts). Phase texts go to DupStatusBar, the
// counters to Label_Dup02, Label_Dup04 and Label_Dup06. Honours BatchJobStop
// after each file while ordering, each record while pruning, each comparison
// while comparing; the lines found until then stay. Shows no message.
DuplicateSearchResult FindDuplicates(JobHost& host, const QString& folder, QStringList& lines);

// Compares one group of files of equal size, `group` in DuplicatePathLess
// order: the first file F with every other from the last to the second; each
// file identical to F is listed after F (so in descending path order) and not
// compared again; then F leaves the group, an empty line follows when F had a
// match, and the rest is walked the same way. False when BatchJobStop ended
// the walk.
bool CompareSameSizeGroup(JobHost& host, const QStringList& group, DuplicateSearchResult& result,
                          QStringList& lines);

// What the search button runs: busy cursor, the window locked for the
// duplicate search, BatchJobStop cleared, progress page 4, `lines` and the
// three counters cleared, FindDuplicates, then progress page 0, unlocked and
// the normal cursor, however the search ends. No closing message: a summary
// line (files checked, duplicates in how many groups) instead.
DuplicateSearchResult SearchDuplicates(JobHost& host, const QString& folder, QStringList& lines);
