#include "jobs/framework/picture_prefetch.h"

#include "i18n/failure_texts.h"
#include "jobs/framework/ordered_work_ahead.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// What tells a file apart from the one that stood at its name before: a result
// written by temporary file and rename is a new inode, an edit in place a new
// change time.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileStamp& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

FileStamp stampOf(const QString& path) {
    struct stat st {};
    FileStamp stamp;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = st.st_mtim;
    stamp.changed = st.st_ctim;
    return stamp;
}

struct Slot {
    LoadedPicture loaded;
    FileStamp stamp;
};

} // namespace

struct PicturePrefetcher::State {
    std::vector<QString> paths;
    PictureLoader load;
    std::size_t lookahead = 0;

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Slot>> ready;
    std::size_t nextToLoad = 0;
    std::size_t nextToTake = 0;
    bool stopping = false;
    std::vector<std::thread> workers;

    LoadedPicture loadSafely(const QString& path) const {
        try {
            return load(path);
        } catch (const std::exception& error) {
            // The loader reports its own failures; this is a last resort for
            // one that throws (memory), so one file never ends the run.
            LoadedPicture failed;
            failed.error = FailureText(error);
            return failed;
        }
    }

    void work() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] {
                return stopping || nextToLoad >= paths.size() ||
                       nextToLoad < nextToTake + lookahead;
            });
            if (stopping || nextToLoad >= paths.size())
                return;
            const std::size_t index = nextToLoad++;
            lock.unlock();
            Slot slot;
            slot.stamp = stampOf(paths[index]);
            slot.loaded = loadSafely(paths[index]);
            lock.lock();
            ready[index] = std::move(slot);
            changed.notify_all();
        }
    }
};

PicturePrefetcher::PicturePrefetcher(const QStringList& paths, PictureLoader load, int threads)
    : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.paths.assign(paths.begin(), paths.end());
    s.load = std::move(load);
    s.ready.resize(s.paths.size());
    const int count = std::max(0, std::min<int>(threads, static_cast<int>(s.paths.size())));
    // Enough waiting pictures that no worker idles while the job draws one.
    s.lookahead = static_cast<std::size_t>(count) * 2;
    for (int i = 0; i < count; ++i) {
        try {
            s.workers.emplace_back([&s] { s.work(); });
        } catch (const std::system_error&) {
            break; // no thread to be had: fewer workers, or loading on take
        }
    }
    if (s.workers.empty())
        s.lookahead = 0;
}

PicturePrefetcher::~PicturePrefetcher() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
    }
    m_state->changed.notify_all();
    for (std::thread& worker : m_state->workers)
        worker.join();
}

LoadedPicture PicturePrefetcher::take(const QString& path) {
    State& s = *m_state;
    std::unique_lock lock(s.mutex);
    const std::size_t index = s.nextToTake;
    if (index >= s.paths.size() || s.paths[index] != path || s.workers.empty()) {
        lock.unlock();
        return s.loadSafely(path);
    }
    if (s.nextToLoad <= index) {
        // Not started by any worker: load it here rather than wait.
        s.nextToLoad = index + 1;
        ++s.nextToTake;
        lock.unlock();
        s.changed.notify_all();
        return s.loadSafely(path);
    }
    s.changed.wait(lock, [&] { return s.ready[index].has_value(); });
    Slot slot = std::move(*s.ready[index]);
    s.ready[index].reset();
    ++s.nextToTake;
    lock.unlock();
    s.changed.notify_all();
    if (!(stampOf(path) == slot.stamp))
        return s.loadSafely(path);
    return std::move(slot.loaded);
}

int PicturePrefetcher::defaultThreads() {
    return WorkerThreadCount(0);
}
