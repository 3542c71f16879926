#pragma once
// Filling the work list of a job: every matching file of a folder tree, or the
// files selected in the file list.
//
// The tree walk lists folders at the readdir level (no per-entry QFileInfo),
// sorts each folder's entries by name case-insensitively with ties in byte
// order, collects hidden files, skips folders whose name begins with ".",
// and neither collects nor follows symbolic links, devices, FIFOs or sockets.
// Each folder is opened relative to its parent, so neither depth nor the
// length of the path limits the walk. A folder that cannot be listed
// contributes nothing; names that do not survive decodeName/encodeName are
// skipped so no job works on a mangled path. Both are reported to the host
// (JobHost::reportSkipped) and counted: the collections return that count.

#include <QString>
#include <QStringList>

#include <functional>

class JobHost;

// True for a folder (ending with "/") below the start folder that a walk
// leaves out with everything in it: where the job puts its own results, so
// that the next run does not take them for sources.
using LeftOutFolder = std::function<bool(const QString& folder)>;

// True when `name` matches `mask` ignoring case; "*" stands for any run of
// characters, "?" for exactly one.
bool MaskMatches(QStringView mask, QStringView name);

// Appends every file matching the mask of `maskPath` (a folder followed by a
// mask, such as "/photos/*.jpg") in that folder and all its sub-folders,
// depth-first, a folder's own files before its sub-folders. Processes pending
// messages once per folder.
int CollectFilesRecursive(JobHost& host, QStringList& list, const QString& maskPath);

// The same as one call per mask in turn (all files of the first mask, then
// all of the second, ...), in one walk of the tree.
int CollectFilesRecursive(JobHost& host, QStringList& list, const QString& folder,
                          const QStringList& masks, const LeftOutFolder& leftOut = {});

// The ".jpg" files of a tree, then its ".jpeg" files: what every JPEG job
// collects, in one walk.
int CollectJpegFilesRecursive(JobHost& host, QStringList& list, const QString& folder,
                              const LeftOutFolder& leftOut = {});

// Clears `list` and fills it with the selected files of the file list, in
// display order. What is a folder by now is left out without a word; each
// path is looked at for that unless the host has just checked them
// (JobHost::selectedFilesChecked). Returns how many were left out and
// reported.
int CollectSelectedFiles(JobHost& host, QStringList& list);
