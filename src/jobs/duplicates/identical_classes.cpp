#include "jobs/duplicates/identical_classes.h"

#include "jobs/duplicates/block_compare.h"
#include "jobs/duplicates/file_fingerprint.h"
#include "base/threads/worker_threads.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace {

// Files fingerprinted per piece of work: the hand-over stays cheap next to
// the reading, and both cores still share a group of a few hundred files.
constexpr std::size_t kChunkFiles = 64;

// Thrown out of a sort that is to be given up.
struct SortCancelled {};

} // namespace

struct IdenticalClasses::Group {
    struct Bucket {
        qint32 begin; // into order
        qint32 end;
    };

    qint64 size = 0;
    QStringList paths;
    // Allocated when a worker first takes the group, freed by release().
    std::vector<quint64> fingerprints;
    std::vector<unsigned char> unreadable;
    std::vector<qint32> next;    // the next file identical to this one, or -1
    std::vector<qint32> order;   // readable files by fingerprint, then index
    std::vector<Bucket> buckets; // runs of order of two files or more, by first file
    std::vector<unsigned char> bucketDone;
    std::vector<qint32> failed;
    std::size_t chunks = 0;
    std::size_t chunksClaimed = 0;
    std::size_t chunksDone = 0;
    std::size_t splitsClaimed = 0;
    std::size_t bucketsDone = 0; // the leading buckets that are done
    int busy = 0;                // pieces being worked on outside the lock
    bool started = false;
    bool bucketsClaimed = false;
    bool bucketed = false;
    bool released = false;
    // Read by the walk unlocked: the paths are in the walk's order, and
    // every file below decidedBelow has its class.
    std::atomic<bool> ordered{false};
    std::atomic<qint64> decidedBelow{0};
};

struct IdenticalClasses::Task {
    enum class Kind { Order, Fingerprints, Buckets, Split };
    Kind kind = Kind::Order;
    std::size_t group = 0;
    std::size_t piece = 0;
    bool complete = true; // false when left off
    std::vector<qint32> failed;
};

IdenticalClasses::IdenticalClasses(std::vector<SizeGroup> groups, PathOrder order,
                                   const std::atomic<std::uint8_t>& stop)
    : m_order(std::move(order)), m_stop(stop) {
    m_groups.reserve(groups.size());
    for (SizeGroup& group : groups) {
        auto state = std::make_unique<Group>();
        state->size = group.size;
        state->paths = std::move(group.paths);
        m_groups.push_back(std::move(state));
    }
    const int workers = WorkerThreadCount(0);
    for (int i = 0; i < workers; ++i)
        if (!m_workers.start([this] { run(); }))
            break; // fewer workers will do
    if (m_workers.count() == 0)
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
}

IdenticalClasses::~IdenticalClasses() {
    stopWorkers();
}

void IdenticalClasses::stopWorkers() {
    {
        const std::lock_guard lock(m_mutex);
        m_cancel = true;
    }
    m_wake.notify_all();
    m_workers.join();
}

void IdenticalClasses::run() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_cancel.load() || claim(task); });
            if (m_cancel.load())
                return;
        }
        try {
            work(task);
        } catch (...) {
            // Out of memory, most likely: the walk raises it on its thread,
            // where the job's error handling is.
            const std::lock_guard lock(m_mutex);
            if (!m_failure)
                m_failure = std::current_exception();
            task.complete = false;
        }
        Progress progress;
        {
            const std::lock_guard lock(m_mutex);
            progress = finish(task);
        }
        // Only what someone may wait for: each wake-up is a system call.
        if (progress.decided)
            m_decided.notify_all();
        if (progress.newWork)
            m_wake.notify_all();
    }
}

// With m_mutex held.
bool IdenticalClasses::claim(Task& task) {
    if (m_stop.load() == 1 || m_failure)
        return false;
    const std::size_t end = std::min(m_groups.size(), m_current + kLookahead);
    for (std::size_t g = m_current; g < end; ++g) {
        Group& group = *m_groups[g];
        if (group.released)
            continue;
        task.group = g;
        if (!group.started) {
            const std::size_t n = std::size_t(group.paths.size());
            group.started = true;
            group.fingerprints.assign(n, 0);
            group.unreadable.assign(n, 0);
            group.next.assign(n, -1);
            group.chunks = (n + kChunkFiles - 1) / kChunkFiles;
            task.kind = Task::Kind::Order;
        } else if (!group.ordered.load()) {
            continue;
        } else if (group.chunksClaimed < group.chunks) {
            task.kind = Task::Kind::Fingerprints;
            task.piece = group.chunksClaimed++;
        } else if (group.chunksDone == group.chunks && !group.bucketsClaimed) {
            task.kind = Task::Kind::Buckets;
            group.bucketsClaimed = true;
        } else if (group.bucketed && group.splitsClaimed < group.buckets.size()) {
            task.kind = Task::Kind::Split;
            task.piece = group.splitsClaimed++;
        } else {
            continue;
        }
        ++group.busy;
        return true;
    }
    return false;
}

void IdenticalClasses::work(Task& task) {
    Group& group = *m_groups[task.group];
    switch (task.kind) {
    case Task::Kind::Order:
        order(group, task);
        break;
    case Task::Kind::Fingerprints:
        fingerprint(group, task.piece, task);
        break;
    case Task::Kind::Buckets:
        sortIntoBuckets(group);
        break;
    case Task::Kind::Split:
        splitBucket(group, task.piece, task);
        break;
    }
}

// With m_mutex held.
IdenticalClasses::Progress IdenticalClasses::finish(const Task& task) {
    Group& group = *m_groups[task.group];
    --group.busy;
    group.failed.insert(group.failed.end(), task.failed.begin(), task.failed.end());
    Progress progress;
    if (task.complete) {
        switch (task.kind) {
        case Task::Kind::Order:
            group.ordered.store(true, std::memory_order_release);
            progress.newWork = true;
            progress.decided = true;
            break;
        case Task::Kind::Fingerprints:
            progress.newWork = ++group.chunksDone == group.chunks;
            break;
        case Task::Kind::Buckets:
            group.bucketed = true;
            group.bucketDone.assign(group.buckets.size(), 0);
            progress.newWork = !group.buckets.empty();
            break;
        case Task::Kind::Split:
            group.bucketDone[task.piece] = 1;
            break;
        }
        if (group.bucketed) {
            while (group.bucketsDone < group.buckets.size() && group.bucketDone[group.bucketsDone])
                ++group.bucketsDone;
            const qint64 below = group.bucketsDone < group.buckets.size()
                                     ? group.order[group.buckets[group.bucketsDone].begin]
                                     : group.paths.size();
            progress.decided = progress.decided || below != group.decidedBelow.load();
            group.decidedBelow.store(below, std::memory_order_release);
        }
    }
    releaseIfIdle(group);
    return progress;
}

// Sorts the group's paths into the walk's order; a stop gives the sort up
// (the group is then never used).
void IdenticalClasses::order(Group& group, Task& task) {
    std::size_t compared = 0;
    try {
        std::sort(group.paths.begin(), group.paths.end(), [&](const QString& a, const QString& b) {
            if (++compared % 4096 == 0 && cancelled())
                throw SortCancelled();
            return m_order(a, b);
        });
    } catch (const SortCancelled&) {
        task.complete = false;
    }
}

void IdenticalClasses::fingerprint(Group& group, std::size_t chunk, Task& task) {
    const std::size_t begin = chunk * kChunkFiles;
    const std::size_t end = std::min(begin + kChunkFiles, std::size_t(group.paths.size()));
    for (std::size_t i = begin; i < end; ++i) {
        if (cancelled()) {
            task.complete = false;
            return;
        }
        const std::optional<quint64> print = FileFingerprint(group.paths.at(qsizetype(i)));
        if (print) {
            group.fingerprints[i] = *print;
        } else {
            group.unreadable[i] = 1;
            task.failed.push_back(qint32(i));
        }
    }
}

void IdenticalClasses::sortIntoBuckets(Group& group) {
    const qint32 n = qint32(group.paths.size());
    group.order.reserve(std::size_t(n));
    for (qint32 i = 0; i < n; ++i)
        if (!group.unreadable[std::size_t(i)])
            group.order.push_back(i);
    std::sort(group.order.begin(), group.order.end(), [&](qint32 a, qint32 b) {
        const quint64 fa = group.fingerprints[std::size_t(a)];
        const quint64 fb = group.fingerprints[std::size_t(b)];
        return fa != fb ? fa < fb : a < b;
    });
    for (std::size_t begin = 0; begin < group.order.size();) {
        std::size_t end = begin + 1;
        while (end < group.order.size() && group.fingerprints[std::size_t(group.order[end])] ==
                                               group.fingerprints[std::size_t(group.order[begin])])
            ++end;
        if (end - begin >= 2)
            group.buckets.push_back({qint32(begin), qint32(end)});
        begin = end;
    }
    std::sort(group.buckets.begin(), group.buckets.end(),
              [&](const Group::Bucket& a, const Group::Bucket& b) {
                  return group.order[std::size_t(a.begin)] < group.order[std::size_t(b.begin)];
              });
    // The fingerprints have done their part.
    std::vector<quint64>().swap(group.fingerprints);
}

void IdenticalClasses::splitBucket(Group& group, std::size_t bucket, Task& task) {
    const Group::Bucket range = group.buckets[bucket];
    std::vector<qint32> files(group.order.begin() + range.begin, group.order.begin() + range.end);
    // Nearly always one pass decides a bucket: its files are one class.
    // What is left after it has the same start and end but other bytes in
    // between (or a fingerprint that collided): hashing the rest whole
    // costs one more read of each instead of one per pair.
    if (!splitByFirst(group, files, task))
        return;
    if (files.size() >= 2 && group.size > 2 * kFingerprintSpan &&
        !splitByContentHash(group, files, task))
        return;
    while (files.size() >= 2)
        if (!splitByFirst(group, files, task))
            return;
}

// One pass of the byte-wise split: the first of `files` against the rest;
// its class leaves `files` with it. False when cancelled.
bool IdenticalClasses::splitByFirst(Group& group, std::vector<qint32>& files, Task& task) {
    const qint32 first = files.front();
    QStringList candidates;
    for (std::size_t k = 1; k < files.size(); ++k)
        candidates.append(group.paths.at(files[k]));
    const MatchOutcome outcome =
        MatchFirstAgainst(group.paths.at(first), candidates, false, [this] { return cancelled(); });
    if (outcome.cancelled) {
        task.complete = false;
        return false;
    }
    std::vector<qint32> left;
    qint32 last = first;
    for (std::size_t k = 1; k < files.size(); ++k) {
        const qint32 file = files[k];
        if (outcome.failed[k - 1]) {
            group.unreadable[std::size_t(file)] = 1;
            task.failed.push_back(file);
        } else if (outcome.identical[k - 1]) {
            group.next[std::size_t(last)] = file;
            last = file;
        } else {
            left.push_back(file);
        }
    }
    if (outcome.firstFailed) {
        group.unreadable[std::size_t(first)] = 1;
        task.failed.push_back(first);
    }
    files.swap(left);
    return true;
}

// Splits `files` by the hash of their whole content, each part in turn by
// byte-wise comparison. False when cancelled.
bool IdenticalClasses::splitByContentHash(Group& group, std::vector<qint32>& files, Task& task) {
    std::vector<std::pair<quint64, qint32>> hashed;
    for (const qint32 file : files) {
        if (cancelled()) {
            task.complete = false;
            return false;
        }
        const std::optional<quint64> hash =
            ContentHash(group.paths.at(file), group.size, [this] { return cancelled(); });
        if (hash) {
            hashed.emplace_back(*hash, file);
        } else if (cancelled()) {
            task.complete = false;
            return false;
        } else {
            group.unreadable[std::size_t(file)] = 1;
            task.failed.push_back(file);
        }
    }
    std::sort(hashed.begin(), hashed.end());
    for (std::size_t begin = 0; begin < hashed.size();) {
        std::size_t end = begin + 1;
        while (end < hashed.size() && hashed[end].first == hashed[begin].first)
            ++end;
        std::vector<qint32> part;
        for (std::size_t k = begin; k < end; ++k)
            part.push_back(hashed[k].second);
        while (part.size() >= 2)
            if (!splitByFirst(group, part, task))
                return false;
        begin = end;
    }
    files.clear();
    return true;
}

bool IdenticalClasses::waitFor(std::size_t group, const std::function<bool()>& ready,
                               const std::function<bool()>& whileWaiting) {
    if (!ready()) {
        {
            const std::lock_guard lock(m_mutex);
            m_current = group;
        }
        m_wake.notify_all();
    }
    while (!ready()) {
        bool now = false;
        {
            std::unique_lock lock(m_mutex);
            now = m_decided.wait_for(lock, std::chrono::milliseconds(kWaitSliceMs), ready);
            if (!now && m_failure)
                std::rethrow_exception(m_failure);
        }
        if (!now && !whileWaiting())
            return false;
    }
    return true;
}

std::optional<QStringList>
IdenticalClasses::orderedPaths(std::size_t group, const std::function<bool()>& whileWaiting) {
    Group& state = *m_groups[group];
    if (!waitFor(
            group, [&] { return state.ordered.load(std::memory_order_acquire); }, whileWaiting))
        return std::nullopt;
    return state.paths;
}

std::optional<std::vector<qsizetype>>
IdenticalClasses::identicalTo(std::size_t group, qsizetype first,
                              const std::function<bool()>& whileWaiting) {
    Group& state = *m_groups[group];
    const auto decided = [&] { return state.decidedBelow.load(std::memory_order_acquire) > first; };
    if (!waitFor(group, decided, whileWaiting))
        return std::nullopt;
    std::vector<qsizetype> identical;
    for (qint32 i = state.next[std::size_t(first)]; i >= 0; i = state.next[std::size_t(i)])
        identical.push_back(i);
    return identical;
}

QStringList IdenticalClasses::failed(std::size_t group) {
    const std::lock_guard lock(m_mutex);
    std::vector<qint32> failed = m_groups[group]->failed;
    std::sort(failed.begin(), failed.end());
    QStringList paths;
    for (const qint32 file : failed)
        paths.append(m_groups[group]->paths.at(file));
    return paths;
}

void IdenticalClasses::release(std::size_t group) {
    {
        const std::lock_guard lock(m_mutex);
        m_groups[group]->released = true;
        releaseIfIdle(*m_groups[group]);
        m_current = std::max(m_current, group + 1);
    }
    m_wake.notify_all();
}

// With m_mutex held: a released group's state goes once no worker is on it.
void IdenticalClasses::releaseIfIdle(Group& group) {
    if (!group.released || group.busy > 0)
        return;
    group.paths = QStringList();
    std::vector<quint64>().swap(group.fingerprints);
    std::vector<unsigned char>().swap(group.unreadable);
    std::vector<qint32>().swap(group.next);
    std::vector<qint32>().swap(group.order);
    std::vector<Group::Bucket>().swap(group.buckets);
    std::vector<unsigned char>().swap(group.bucketDone);
    std::vector<qint32>().swap(group.failed);
}
