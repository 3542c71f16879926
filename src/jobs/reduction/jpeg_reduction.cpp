#include "jobs/reduction/jpeg_reduction.h"

#include "base/errors.h"
#include "base/file_descriptor.h"
#include "fs/file_rewrite.h"
#include "fs/rewrite_source.h"
#include "jobs/reduction/jpeg_cut_view.h"
#include "jobs/reduction/jpeg_marker_walker.h"
#include "jobs/reduction/jpeg_structure_facts.h"

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
using namespace jpeg_code;

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
    // Decided before the first cut, on the file as the decoder would read it.
    const bool keepAdobe = AdobeSegmentDecidesColours(view);
    return removeSegments(
        view,
        [keepAdobe](std::uint8_t code) {
            return isProgramSegment(code) && !(keepAdobe && code == kAdobe);
        },
        std::numeric_limits<int>::max());
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
    // The walk skips segments by their length and picture data by its
    // stuffing rule: the first end marker it meets ends the main picture,
    // not one inside an EXIF thumbnail.
    JpegMarkerWalker walker(view);
    while (const auto marker = walker.next(n)) {
        if (marker->code != kEndOfImage)
            continue;
        result.endFound = true;
        result.removed = n - marker->end();
        view.cut(marker->end(), n);
        break;
    }
    return result;
}

std::vector<CommittedFile> CommitReducedFiles(StagedRewrites& staged) {
    std::vector<CommittedFile> done = staged.commit();
    for (const CommittedFile& file : done)
        if (file.outcome == RewriteOutcome::Failed)
            fail(Failure::WriteFile, "cannot replace", file.path);
    return done;
}

QByteArray PictureDigestOfFile(const QString& path) {
    const FileDescriptor file(::open(QFile::encodeName(path).constData(),
                                     O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return QByteArray();
    try {
        JpegCutView view(file.get(), info.st_size);
        return PictureDataDigest(view);
    } catch (const KelvastoError&) {
        return QByteArray(); // shrank while read
    }
}

namespace {

PreparedReduction skipped(ReductionSkip why) {
    PreparedReduction prepared;
    prepared.result.skipped = why;
    return prepared;
}

PreparedReduction prepareOrThrow(const ReductionRequest& request, StagedRewrites& rewrites) {
    const QString& path = request.path;
    RewriteSource source(path, request.busyWait);
    switch (source.state()) {
    case RewriteSource::State::Ready:
        break;
    case RewriteSource::State::Busy:
        return skipped(ReductionSkip::Busy);
    case RewriteSource::State::NotRegular:
        fail(Failure::NotRegularFile, "not a regular file", path);
    case RewriteSource::State::Unreadable:
        fail(Failure::OpenFile, "cannot open", path, source.error());
    }

    JpegCutView view(source.fd(), source.info().st_size);
    // A name taken by another picture first: whatever that file is, it is
    // not this source's copy.
    if (request.pictureDigest &&
        (request.pictureDigest->isEmpty() || PictureDataDigest(view) != *request.pictureDigest))
        return skipped(ReductionSkip::CopyNameTaken);
    if (!StartsLikeJpeg(view))
        return skipped(ReductionSkip::NotJpeg);
    PreparedReduction prepared;
    FileReduction& result = prepared.result;
    const ReductionOptions& options = request.remove;
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
            requireWritable(source.fd(), path);
        return prepared;
    }
    requireWritable(source.fd(), path);
    prepared.staged = rewrites.prepare(std::move(source), view.keptRanges());
    if (!prepared.staged)
        fail(Failure::WriteFile, "cannot write", path);
    result.rewritten = true;
    return prepared;
}

} // namespace

PreparedReduction PrepareJpegReduction(const ReductionRequest& request, StagedRewrites& rewrites) {
    try {
        return prepareOrThrow(request, rewrites);
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
        FileReduction result = ReduceJpegFile(path, options, &single);
        for (const CommittedFile& file : single.commit()) {
            if (file.outcome == RewriteOutcome::Failed)
                fail(Failure::WriteFile, "cannot write", path);
            if (file.outcome == RewriteOutcome::Changed)
                result = {0, false, ReductionSkip::Changed};
        }
        return result;
    }
    if (staged->contains(path))
        CommitReducedFiles(*staged);
    PreparedReduction prepared = PrepareJpegReduction({path, options, {}, {}}, *staged);
    if (prepared.error)
        std::rethrow_exception(prepared.error);
    if (prepared.staged)
        staged->add(std::move(prepared.staged));
    return prepared.result;
}
