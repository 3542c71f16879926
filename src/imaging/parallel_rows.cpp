#include "imaging/parallel_rows.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

int ParallelBandCount(long long work) {
    constexpr long long kWorkPerThread = 1 << 20;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const long long wanted = std::max(1LL, work / kWorkPerThread);
    return static_cast<int>(std::min<long long>({wanted, cores, 16}));
}

void ForEachRowBand(int rows, long long work, const std::function<void(int, int)>& band) {
    const int threads = std::min(ParallelBandCount(work), std::max(rows, 1));
    if (threads <= 1) {
        band(0, rows);
        return;
    }
    std::vector<std::exception_ptr> errors(threads);
    std::vector<std::thread> workers;
    workers.reserve(threads - 1);
    auto runBand = [&](int i) {
        const int first = static_cast<int>(static_cast<long long>(rows) * i / threads);
        const int last = static_cast<int>(static_cast<long long>(rows) * (i + 1) / threads);
        try {
            band(first, last);
        } catch (...) {
            errors[i] = std::current_exception();
        }
    };
    for (int i = 1; i < threads; ++i) {
        try {
            workers.emplace_back(runBand, i);
        } catch (const std::system_error&) {
            runBand(i); // no thread to be had: this one does the band
        }
    }
    runBand(0);
    for (auto& w : workers)
        w.join();
    for (const auto& e : errors)
        if (e)
            std::rethrow_exception(e);
}
