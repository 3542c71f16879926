#pragma once
// The one way benchmarks time their work inside the process: best of several
// rounds on a monotonic clock, so a stray scheduler hiccup does not count.

#include <QElapsedTimer>

#include <algorithm>

// Best of `rounds` runs of `work`, in seconds.
template <class Work> double bestSeconds(int rounds, Work&& work) {
    double best = 1e100;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}
