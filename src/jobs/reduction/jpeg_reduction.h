#pragma once
// Makes a JPEG file smaller without touching the picture: cuts out the
// segments graphics programs add (APP1, APP2, APP12, APP13, APP14), a comment
// segment, and data appended behind the end of the picture.
//
// Segment search: the window is the first n div 20 bytes of the file as it
// stands (n its current length). The hit is the first marker with a wanted
// code inside the window, where the marker structure from the start-of-image
// marker puts one (see JpegMarkerWalker: a byte pair inside another segment's
// data is not a marker). Its length L is read behind the code; when the
// segment would run past the end of the file, nothing is cut and the search
// stops; otherwise its L + 2 bytes are cut out. Program segments are searched
// again after every cut, with the window of the shorter file; one comment at
// most is cut per call. APP14 stays where it decides the decoded colours
// (jpeg_structure_facts.h). A file whose structure breaks before a hit keeps
// its bytes.
//
// Trailing data: what follows the main picture's end-of-image marker, found
// by the same marker walk over the whole file, so an end marker inside an
// embedded thumbnail or inside the picture data never counts. A file whose
// walk ends without that marker (cut off, or broken) has no trailing data,
// nor has a file of 25 bytes or less.
//
// A file that does not begin with the start-of-image marker and another
// marker is not a JPEG and is never changed.

#include "fs/file_rewrite.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

class JpegCutView;

struct ReductionOptions {
    bool programSegments = false; // APP1, APP2, APP12, APP13, APP14
    bool comment = false;         // one COM segment
    bool trailingData = false;    // what follows the picture's end marker
    bool any() const { return programSegments || comment || trailingData; }
};

// Each cuts on the view and returns the number of bytes cut out.
std::int64_t RemoveProgramSegments(JpegCutView& view);
std::int64_t RemoveComment(JpegCutView& view);

struct TrailingCut {
    bool endFound = false; // the walk met the main picture's end marker
    std::int64_t removed = 0;
};
TrailingCut RemoveTrailingData(JpegCutView& view);

// Why a file was left as it stands, without an error that ends the job.
enum class ReductionSkip {
    None,
    NotJpeg,       // it does not begin like a JPEG file
    Busy,          // another run is rewriting it
    Changed,       // it changed, moved or went between the read and the rename
    CopyNameTaken, // copy mode: the name holds another picture, not this source's copy
};

struct FileReduction {
    std::int64_t saved = 0; // bytes cut out of the file
    bool rewritten = false; // replaced, or staged for replacement
    ReductionSkip skipped = ReductionSkip::None;
};

// One file to reduce, and what must hold for it.
struct ReductionRequest {
    QString path;
    ReductionOptions remove;
    // How long a file another rewrite holds is waited for before it is
    // skipped as busy.
    std::chrono::milliseconds busyWait{0};
    // Copy mode, the name taken already: the picture data the source has
    // (PictureDataDigest); a file there with other picture data is not this
    // source's earlier copy and is left alone.
    std::optional<QByteArray> pictureDigest;
};

// Applies the chosen removals to the file at `path` in the order program
// segments, comment, trailing data, each on the result of the one before, and
// replaces the file once (a new temporary file beside it, renamed over it)
// when anything was cut: it is always either wholly the old file or wholly the
// reduced one, and only replaced while it is still the file that was read. With
// `staged`, the reduced file is staged there and replaces the old one at the
// next commit (a file staged already is committed first, so a path listed
// twice is reduced twice, as the file stands). The reduced file keeps the
// permission bits and, where the system allows, the owner and group; its
// modification time is the time of the reduction, since its content changed.
//
// Throws KelvastoError when the file cannot be opened or read, is not a
// regular file (symbolic links included: replacing one would leave its
// target as it was), or cannot be opened for writing when the reduction
// writes: at a cut, and when the end-marker search found the marker (even
// with nothing behind it), as a rewrite in place would have. A file in a
// folder where no temporary file can be created cannot be reduced either.
FileReduction ReduceJpegFile(const QString& path, const ReductionOptions& options,
                             StagedRewrites* staged = nullptr);

// The part of ReduceJpegFile that reads the file and writes the reduced one
// beside it, through `rewrites.prepare`, without putting it in place and
// without committing a staged file first: a caller that runs it ahead (on
// another thread) adds `staged` to the batch in turn. Never throws: what
// ReduceJpegFile would throw is in `error`.
struct PreparedReduction {
    FileReduction result;
    std::unique_ptr<StagedFile> staged; // when rewritten
    std::exception_ptr error;
};
PreparedReduction PrepareJpegReduction(const ReductionRequest& request, StagedRewrites& rewrites);

// Commits what `staged` holds and tells how each file went; throws
// KelvastoError naming the first file that could not be replaced.
std::vector<CommittedFile> CommitReducedFiles(StagedRewrites& staged);

// The picture data of the file at `path` (PictureDataDigest); empty when it
// cannot be read.
QByteArray PictureDigestOfFile(const QString& path);
