#include "base/threads/worker_threads.h"

#include <algorithm>
#include <exception>
#include <system_error>

int WorkerThreadCount(int requested) {
    if (requested > 0)
        return requested;
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

bool WorkerThreads::start(std::function<void()> work) {
    try {
        m_threads.emplace_back(std::move(work));
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void WorkerThreads::join() {
    for (std::thread& thread : m_threads)
        if (thread.joinable())
            thread.join();
    m_threads.clear();
}

void RunOnWorkers(int parts, const std::function<void(int part)>& work) {
    if (parts <= 1) {
        if (parts == 1)
            work(0);
        return;
    }
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(parts));
    auto runPart = [&](int part) {
        try {
            work(part);
        } catch (...) {
            errors[std::size_t(part)] = std::current_exception();
        }
    };
    {
        WorkerThreads workers;
        for (int part = 1; part < parts; ++part)
            if (!workers.start([&runPart, part] { runPart(part); }))
                runPart(part);
        runPart(0);
    }
    for (const std::exception_ptr& error : errors)
        if (error)
            std::rethrow_exception(error);
}
