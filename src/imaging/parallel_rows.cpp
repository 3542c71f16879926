#include "imaging/parallel_rows.h"

#include "base/threads/worker_threads.h"

#include <algorithm>

int ParallelBandCount(long long work) {
    constexpr long long kWorkPerThread = 1 << 20;
    const int cores = WorkerThreadCount();
    const long long wanted = std::max(1LL, work / kWorkPerThread);
    return static_cast<int>(std::min<long long>({wanted, cores, 16}));
}

void ForEachRowBand(int rows, long long work, const std::function<void(int, int)>& band) {
    const int threads = std::min(ParallelBandCount(work), std::max(rows, 1));
    if (threads <= 1) {
        band(0, rows);
        return;
    }
    RunOnWorkers(threads, [&](int i) {
        const int first = static_cast<int>(static_cast<long long>(rows) * i / threads);
        const int last = static_cast<int>(static_cast<long long>(rows) * (i + 1) / threads);
        band(first, last);
    });
}
