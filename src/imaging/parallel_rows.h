#pragma once
// Splits the rows 0..rows-1 into contiguous bands and runs `band(first, last)`
// (last exclusive) on several threads. Only for passes whose rows are
// independent: each band must write only its own rows.

#include <functional>

// Threads worth starting for `work` units (about one per megabyte of pixels).
int ParallelBandCount(long long work);

void ForEachRowBand(int rows, long long work, const std::function<void(int, int)>& band);
