#include "jobs/framework/picture_prefetch.h"

#include "base/threads/ordered_work_ahead.h"
#include "i18n/failure_texts.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>
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
    FileStamp stamp; // taken before the load
};

LoadedPicture loadSafely(const PictureLoader& load, const QString& path) {
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

} // namespace

struct PicturePrefetcher::State {
    std::vector<QString> paths;
    PictureLoader load;
    int nextToTake = 0;
    std::unique_ptr<OrderedWorkAhead<Slot>> ahead; // none: each load on take
};

PicturePrefetcher::PicturePrefetcher(const QStringList& paths, PictureLoader load, int threads)
    : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.paths.assign(paths.begin(), paths.end());
    s.load = std::move(load);
    const int count = static_cast<int>(s.paths.size());
    const int workers = std::max(0, std::min(threads, count));
    if (workers == 0)
        return;
    // Enough waiting pictures that no worker idles while the job draws one.
    s.ahead =
        std::make_unique<OrderedWorkAhead<Slot>>(count, workers * 2, workers, [&s](int index) {
            Slot slot;
            slot.stamp = stampOf(s.paths[std::size_t(index)]);
            slot.loaded = loadSafely(s.load, s.paths[std::size_t(index)]);
            return slot;
        });
    // A file replaced since it was loaded ahead (a sheet of this very run,
    // say) is loaded again.
    s.ahead->recheckOnTake([&s](int index, const Slot& slot) {
        return stampOf(s.paths[std::size_t(index)]) == slot.stamp;
    });
    s.ahead->workUnstartedOnTake();
}

PicturePrefetcher::~PicturePrefetcher() = default;

LoadedPicture PicturePrefetcher::take(const QString& path) {
    State& s = *m_state;
    const int index = s.nextToTake;
    if (!s.ahead || index >= static_cast<int>(s.paths.size()) ||
        s.paths[std::size_t(index)] != path)
        return loadSafely(s.load, path);
    ++s.nextToTake;
    return std::move(s.ahead->take(index).loaded);
}

int PicturePrefetcher::defaultThreads() {
    return WorkerThreadCount(0);
}
