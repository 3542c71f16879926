#pragma once
// The reduction job: collects the JPEG files of a tree or of the selection,
// warns that some programs may not show reduced files, then reduces each file
// (or its copy in the destination folder) with the chosen removals, showing
// the running total of bytes saved. Nothing is written to the move log and
// the file list is not refreshed.
//
// In copy mode an existing file under a copy's name is reduced again only
// when it holds the source's picture (its earlier copy); any other file
// there is left alone and named. Every file left as it stands goes to
// JobHost::reportSkipped with its reason.
//
// The window's handler reads its controls and hands over:
//
//     void ReductionController::BitBtn_DV01Click() {
//         ReduceJpegs(window().jobHost(), {GrafikRekursiv->isChecked(),
//                                          RadioGroup_DV01->itemIndex() == 1,
//                                          GrafikZielverzeichnis->text(), {DV02, DV03, DV04}, {}});
//     }

#include "jobs/reduction/jpeg_reduction.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class JobHost;

struct ReduceJpegsOptions {
    bool recursive = false;  // GrafikRekursiv: whole tree, else the selected files
    bool copies = false;     // RadioGroup_DV01 item 1 ("Kopien verkleinern")
    QString destination;     // GrafikZielverzeichnis: the folder of the copies
    ReductionOptions remove; // CheckBox_DV02, CheckBox_DV03, CheckBox_DV04
    // Start folders of a recursive run; empty means the folder tree's selection.
    QStringList startFolders;
};

struct ReduceJpegsResult {
    bool nothingChosen = false; // no removal ticked (NothingToRemoveChosen)
    bool noDestination = false; // copy mode without a destination (NoDestination)
    bool declined = false;      // the warning was not answered with OK
    bool stopped = false;       // JpegJobStop ended the run (ReductionAborted)
    int collected = 0;
    int reduced = 0; // files worked on
    int changed = 0; // files that became smaller
    // Copy mode: files whose copy would be the original itself (the
    // destination is their own folder); they are left as they are. When
    // that is every file, the run reduced nothing and says so instead of
    // its closing message; otherwise each is reported skipped.
    int originalsKept = 0;
    bool reducedNothing = false;
    // Files left as they stand and named to JobHost::reportSkipped: not a
    // JPEG, rewritten by another run, changed behind the job, or (copy mode)
    // a copy name that holds another picture.
    int skipped = 0;
    std::int64_t savingsTotal = 0;
    // The file at which an error ended the job, and the error; the job then
    // ends without a closing message, the files before it stay reduced.
    QString failedFile;
    QString error;
};

// What the reduction reports beyond its counters: the command-line tool prints
// one line per file it made smaller.
class ReductionReporter {
public:
    virtual ~ReductionReporter() = default;
    // For every file that became smaller, once it is in place.
    virtual void noteReducedFile(const QString& path, std::int64_t saved) {
        (void)path;
        (void)saved;
    }
};

// Runs the whole job on `host`. However it ends, the window is unlocked, the
// cursor restored and every file reduced so far is in place. Without a
// `reporter` nobody hears of each file reduced.
ReduceJpegsResult ReduceJpegs(JobHost& host, const ReduceJpegsOptions& options,
                              ReductionReporter* reporter = nullptr);
