#pragma once
// The order of the file list: folders first, then by name ignoring case,
// names that differ only in case in byte order. A plain function of two
// entries, so the background reader sorts what it hands over and the list
// merges it in.

#include "fs/folder_entries.h"

// Negative, zero or positive as `a`'s name sorts before, with or after `b`'s,
// ignoring case (as QString compares them ignoring case).
int CompareNamesIgnoringCase(const FolderEntry& a, const FolderEntry& b);

bool ListOrderLess(const FolderEntry& a, const FolderEntry& b);
