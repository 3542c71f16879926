#include "jobs/reduction/jpeg_reduction.h"

#include "base/errors.h"
#include "base/file_descriptor.h"
#include "fs/file_rewrite.h"
#include "jobs/defect_scan/defect_test.h"
#include "jobs/reduction/jpeg_cut_view.h"
#include "jobs/reduction/jpeg_marker_walker.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <initializer_list>
#include <limits>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kWindowDivisor = 20;
constexpr std::int64_t kLongestUntouchedFile = 25;
constexpr std::uint8_t kComment = 0xFE;

bool isProgramSegment(std::uint8_t code) {
    for (std::uint8_t wanted : {0xE1, 0xE2, 0xEC, 0xED, 0xEE})
        if (code == wanted)
            return true;
    return false;
}

// Cuts the first segment with a wanted code in the window, again and again
// with the window of the shorter file, up to `maxCuts` times.
template <class Wanted> std::int64_t removeSegments(JpegCutView& view, Wanted wanted, int maxCuts) {
    JpegMarkerWalker walker(view);
    std::int64_t removed = 0;
    int cuts = 0;
    while (cuts < maxCuts) {
        const auto marker = walker.next(view.size() / kWindowDivisor);
        if (!marker)
            break;
        if (!wanted(marker->code) || marker->length < 0)
            continue;
        if (marker->end() > view.size())
            break; // the segment would run past the end: leave the file alone
        view.cut(marker->position, marker->end());
        walker.markerCut();
        removed += marker->length + 2;
        ++cuts;
    }
    return removed;
}

[[noreturn]] void fail(Failure failure, const char* what, const QString& path, int error = 0) {
    throw KelvastoError(std::string(what) + ": " + QFile::encodeName(path).toStdString(), failure,
                        error);
}

// Whether the file may be written: its bits, ACLs, flags and a read-only
// mount. The rename would replace a write-protected file, so ask the file
// itself, open as `fd`; where the system cannot ask a descriptor, open it.
void requireWritable(int fd, const QString& path) {
    if (::faccessat(fd, "", W_OK, AT_EMPTY_PATH | AT_EACCESS) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOENT)
        fail(Failure::WriteFile, "cannot open for writing", path, errno);
    const FileDescriptor probe(::open(QFile::encodeName(path).constData(),
                                      O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (!probe.valid())
        fail(Failure::WriteFile, "cannot open for writing", path, errno);
}

} // namespace

std::int64_t RemoveProgramSegments(JpegCutView& view) {
    return removeSegments(view, isProgramSegment, std::numeric_limits<int>::max());
}

std::int64_t RemoveComment(JpegCutView& view) {
    return removeSegments(
        view, [](std::uint8_t code) { return code == kComment; }, 1);
}

TrailingCut RemoveTrailingData(JpegCutView& view) {
    TrailingCut result;
    const std::int64_t n = view.size();
    if (n <= kLongestUntouchedFile)
        return result;
    const std::int64_t lowest = DefectSearchLimit(n);
    // From the end, so the last end marker counts, a block in memory at a
    // time; byte p + 1 stays in hand for the pair that starts at p.
    std::uint8_t next = view.at(n - 1);
    for (std::int64_t p = n - 2; p >= lowest;) {
        std::int64_t count = 0;
        const std::uint8_t* byte = view.spanBefore(p, count);
        for (const std::int64_t stop = std::max(lowest, p - count + 1); p >= stop; --p, --byte) {
            if (*byte == 0xFF && next == 0xD9) {
                result.endFound = true;
                result.removed = n - p - 2;
                view.cut(p + 2, n);
                return result;
            }
            next = *byte;
        }
    }
    return result;
}

void CommitReducedFiles(StagedRewrites& staged) {
    const QStringList failed = staged.commit();
    if (!failed.isEmpty())
        fail(Failure::WriteFile, "cannot replace", failed.first());
}

namespace {

PreparedReduction prepareOrThrow(const QString& path, const ReductionOptions& options,
                                 StagedRewrites& rewrites) {
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: a FIFO handed in by name must not hang the job.
    const FileDescriptor file(
        ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (!file.valid())
        fail(Failure::OpenFile, "cannot open", path, errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        fail(Failure::ReadFile, "cannot read", path, errno);
    if (!S_ISREG(info.st_mode))
        fail(Failure::NotRegularFile, "not a regular file", path);

    JpegCutView view(file.get(), info.st_size);
    PreparedReduction prepared;
    FileReduction& result = prepared.result;
    bool writes = false;
    if (options.programSegments)
        result.saved += RemoveProgramSegments(view);
    if (options.comment)
        result.saved += RemoveComment(view);
    if (options.trailingData) {
        const TrailingCut trailing = RemoveTrailingData(view);
        result.saved += trailing.removed;
        writes = trailing.endFound;
    }
    if (result.saved == 0) {
        if (writes)
            requireWritable(file.get(), path);
        return prepared;
    }
    requireWritable(file.get(), path);
    prepared.staged = rewrites.prepare(path, file.get(), info, view.keptRanges());
    if (!prepared.staged)
        fail(Failure::WriteFile, "cannot write", path);
    result.rewritten = true;
    return prepared;
}

} // namespace

PreparedReduction PrepareJpegReduction(const QString& path, const ReductionOptions& options,
                                       StagedRewrites& rewrites) {
    try {
        return prepareOrThrow(path, options, rewrites);
    } catch (...) {
        PreparedReduction failed;
        failed.error = std::current_exception();
        return failed;
    }
}

FileReduction ReduceJpegFile(const QString& path, const ReductionOptions& options,
                             StagedRewrites* staged) {
    if (!staged) {
        StagedRewrites single;
        const FileReduction result = ReduceJpegFile(path, options, &single);
        if (!single.commit().isEmpty())
            fail(Failure::WriteFile, "cannot write", path);
        return result;
    }
    if (staged->contains(path))
        CommitReducedFiles(*staged);
    PreparedReduction prepared = PrepareJpegReduction(path, options, *staged);
    if (prepared.error)
        std::rethrow_exception(prepared.error);
    if (prepared.staged)
        staged->add(std::move(prepared.staged));
    return prepared.result;
}
