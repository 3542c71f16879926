#pragma once
// Splits each group of equal-size files into classes of byte-identical
// files on worker threads (one per core), a few groups ahead of the walk
// that reports them on the window's thread, which only waits for answers
// and so keeps the window alive. A group is first put in the walk's order
// (a million paths take seconds to sort), then split in two steps, each
// shared out in pieces among the workers:
//  1. every file's fingerprint (file_fingerprint.h); a file whose
//     fingerprint no other file of its group has is a class of its own;
//  2. every set of files with one fingerprint (a bucket) is split by
//     byte-wise comparison (block_compare.h): its first file against the
//     rest in one streamed pass, then the first file left, and so on.
// Buckets are split in the order of their first file, the order in which
// the walk asks, so its answers come while later buckets are still read.
//
// A file that cannot be opened or read is a class of its own (it matches
// nothing) and is named by failed(). The workers leave off at the next file
// or block once the stop request is set or the object goes. An error in a
// worker (out of memory) is raised on the walk's thread.

#include "base/threads/worker_threads.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// Files of one size.
struct SizeGroup {
    qint64 size = 0;
    QStringList paths;
};

class IdenticalClasses {
public:
    // Groups read ahead of the one the walk is in.
    static constexpr std::size_t kLookahead = 32;
    // How long the walk waits for an answer before it lets the window in.
    static constexpr int kWaitSliceMs = 20;

    // The order of the files of a group in the walk.
    using PathOrder = std::function<bool(const QString&, const QString&)>;

    // `groups` in the walk's order, each of two files or more in any order.
    // Starts the workers at once.
    IdenticalClasses(std::vector<SizeGroup> groups, PathOrder order,
                     const std::atomic<std::uint8_t>& stop);
    // Cancels the workers and waits for them (each leaves after one block).
    ~IdenticalClasses();
    IdenticalClasses(const IdenticalClasses&) = delete;
    IdenticalClasses& operator=(const IdenticalClasses&) = delete;

    // The files of `group` in the walk's order; the indices below refer to
    // it. Waits for the workers, calling `whileWaiting` every kWaitSliceMs;
    // nullopt once that returns false. Groups are asked in order.
    std::optional<QStringList> orderedPaths(std::size_t group,
                                            const std::function<bool()>& whileWaiting);

    // The files identical to file `first` of group `group`, ascending
    // indices above `first`, which must be the smallest file of its class.
    // Waits as orderedPaths() does.
    std::optional<std::vector<qsizetype>> identicalTo(std::size_t group, qsizetype first,
                                                      const std::function<bool()>& whileWaiting);

    // The files of `group` found unreadable so far, in the group's order.
    QStringList failed(std::size_t group);

    // The walk is done with `group`: what was kept for it goes.
    void release(std::size_t group);

private:
    struct Group;
    struct Task;
    struct Progress {
        bool decided = false; // the walk may have its answer
        bool newWork = false; // pieces of work to take
    };

    void run();
    void stopWorkers();
    bool waitFor(std::size_t group, const std::function<bool()>& ready,
                 const std::function<bool()>& whileWaiting);
    void order(Group& group, Task& task);
    bool claim(Task& task);
    void work(Task& task);
    Progress finish(const Task& task);
    void fingerprint(Group& group, std::size_t chunk, Task& task);
    void sortIntoBuckets(Group& group);
    void splitBucket(Group& group, std::size_t bucket, Task& task);
    bool splitByFirst(Group& group, std::vector<qint32>& files, Task& task);
    bool splitByContentHash(Group& group, std::vector<qint32>& files, Task& task);
    void releaseIfIdle(Group& group);
    bool cancelled() const { return m_cancel.load() || m_stop.load() == 1; }

    std::vector<std::unique_ptr<Group>> m_groups;
    const PathOrder m_order;
    const std::atomic<std::uint8_t>& m_stop;
    std::atomic<bool> m_cancel{false};
    std::exception_ptr m_failure; // a worker's error, raised on the walk's thread
    std::size_t m_current = 0;    // the group the walk is in
    std::mutex m_mutex;
    std::condition_variable m_wake;    // work for the workers, or cancel
    std::condition_variable m_decided; // a group's answers moved on
    WorkerThreads m_workers;
};
