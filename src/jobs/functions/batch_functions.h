#pragma once
// The batch picture functions: anti-aliasing, optimising or black-and-white
// applied to every JPEG file of the selection or of a folder tree, and the
// conversion of bitmap files to JPEG. Each result is a new JPEG file in the
// chosen destination (beside its source unless the user chose otherwise);
// the source is never changed.
//
// A result name that is already taken (an older result, or the user's own
// photo.jpg beside photo.bmp) is replaced, but the file there goes to the
// trash first; a file that cannot be trashed keeps its place and that result
// is not written. Results are written to a temporary name and renamed into
// place, so a killed run never leaves a half-written picture.
//
// While one picture is worked on and saved the next is decoded on another
// core; the files written are the same bytes as those of a run that loads
// each file when it comes to it.

#include "fs/result_destination.h"

#include <QString>
#include <QStringList>

class JobHost;
class Picture;
struct ImagingContext;

enum class BatchFunction {
    AntiAlias,  // FktBB_AntiAlising: over the whole picture, percentage 100
    Optimise,   // FktBB_Optimieren
    BlackWhite, // FktBB_SW
};

// What the click handlers read from the controls.
struct BatchFunctionOptions {
    bool recursive = false; // FktRekursiv: whole tree, else the selected files
    // FktZielRadioButton01..03 with FktZielverzeichnis and FktUnterverzeichnis.
    DestinationChoice destination;
    // Start folders of a recursive run; empty means the folder tree's selection.
    QStringList startFolders;
    // Threads decoding ahead; 0 loads each file when its turn comes.
    int decodeThreads = 1;
};

struct BatchFunctionResult {
    bool noDestination = false; // NoDestination shown, nothing done
    bool nothingToDo = false;   // the work list was empty (NoFilesMarked shown)
    bool stopped = false;       // BatchJobStop ended the loop early
    int collected = 0;
    int done = 0; // files handled
    int written = 0;
    int skipped = 0; // results not written (the name could not be freed, a failed write)
    // The file that could not be read and ended the run there, and how many
    // files (itself included) were not processed.
    QString endedAt;
    int notProcessed = 0;
};

// What the functions report beyond the progress page: the command-line tool
// prints a line per result. What is left out goes to the host's
// reportSkipped, the summary line to its showSummary.
class BatchFunctionReporter {
public:
    virtual ~BatchFunctionReporter() = default;
    virtual void noteResult(const QString& source, const QString& result) {
        (void)source;
        (void)result;
    }
    // After each file of a conversion, which has no progress page.
    virtual void noteConverted(int done, int total) {
        (void)done;
        (void)total;
    }
};

// Folder + base name + "_aa", "_opt" or "_sw" + the source's own extension;
// the job puts that name into the chosen destination.
QString BatchResultName(const QString& source, BatchFunction function);
// Folder + base name + ".jpg".
QString BitmapResultName(const QString& source);

// The function on one picture, as the batch run applies it.
void ApplyBatchFunction(ImagingContext& context, Picture& picture, BatchFunction function);

// FktJpgBitBtnClick's job. A file that cannot be read or decoded ends the run
// there: it is reported skipped with how many files were not processed, and
// the results written so far stay. A recursive run leaves out the folders its
// destination writes into (ResultFoldersOf).
BatchFunctionResult RunJpegFunction(JobHost& host, BatchFunction function,
                                    const BatchFunctionOptions& options,
                                    BatchFunctionReporter* reporter = nullptr);

// FktBmpBitBtnClick's job: no progress page, no stop; it runs to the end or to
// a file it cannot read, as the JPEG functions do. A bitmap whose data is cut
// off is such a file: it is never converted into a partly black JPEG.
BatchFunctionResult ConvertBitmapsToJpeg(JobHost& host, const BatchFunctionOptions& options,
                                         BatchFunctionReporter* reporter = nullptr);
