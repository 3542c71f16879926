#pragma once
// The defective-JPEG scan: collects the JPEG files of a tree or of the
// selection, tests each with IsDefectiveJpeg, and copies or moves every
// defective one into the defect folder under a numbered name. Move runs keep
// a move log for the undo.
//
// The window's handler (DefectScanController, which is also the reporter)
// reads its controls and hands over:
//
//     DefectScanOptions options;
//     options.recursive = control<QCheckBox>("GrafikRekursiv")->isChecked();
//     options.move = control<RadioGroup>("RadioGroup_DDS01")->itemIndex() == 1;
//     ...
//     window().setDefectFolder(
//         ScanDefectiveJpegs(window().jobHost(), options, this).defectFolder);

#include "jobs/defect_scan/defect_test.h"

#include <QString>
#include <QStringList>

class JobHost;
struct AppSettings;

// What the click handler reads from the controls.
struct DefectScanOptions {
    bool recursive = false; // GrafikRekursiv: whole tree, else the selected files
    bool move = false;      // RadioGroup_DDS01 item 1 ("verschieben"), else copy
    QString destination;    // GrafikZielverzeichnis; empty means the working folder
    // Start folders of a recursive run; empty means the folder tree's selection.
    QStringList startFolders;
    // Also decode each file's data and count libjpeg's complaints as defects.
    bool thorough = false;
    // Threads of the thorough check; 0 takes one per core.
    int checkThreads = 0;
};

struct DefectScanResult {
    QString defectFolder;       // DefectFolder used by this run, ends with "/"
    bool busy = false;          // a move run refused: another mover held the working folder
    bool nothingToTest = false; // the work list was empty (NoFileMarked shown)
    bool stopped = false;       // JpegJobStop ended the loop early
    int collected = 0;
    int tested = 0;
    int defective = 0;
    int transferred = 0;     // defective files copied or moved successfully
    int alreadyThere = 0;    // copy runs: an earlier copy holds exactly the file's bytes
    int skipped = 0;         // entries the collection left out (reported to the host)
    int unreadable = 0;      // files that could not be read: tested, not defective, reported
    int unsafeNames = 0;     // defective files not moved: a line break in the path
    int unlogged = 0;        // defective files not moved: the move log could not take them
    bool logWritten = false; // the protocol file was replaced
    // Defective files neither copied or moved nor found copied already.
    int leftInPlace() const { return defective - transferred - alreadyThere; }
};

// What became of one defective file.
enum class DefectTransfer {
    Done,         // copied or moved to its new name
    AlreadyThere, // copy run: an earlier run's copy holds exactly its bytes (named as `to`)
    UnsafeName,   // not moved: a line break in its path or the new one
    Unlogged,     // not moved: the move log or its kept run could not take the pair
    Failed,       // the copy or move failed
};

// What the scan reports beyond its counters: the window offers the undo of a
// move run, the command-line tool prints one line per defective file.
class DefectScanReporter {
public:
    virtual ~DefectScanReporter() = default;
    // At the end of a run that collected files: whether the undo may act on
    // the move log (a move run that moved files and whose log is this run's).
    virtual void prepareMoveUndo(bool moveMode) { (void)moveMode; }
    // For every defective file the scan copied or moved, or failed to.
    virtual void noteDefectiveFile(const QString& from, const QString& to, DefectTransfer outcome) {
        (void)from;
        (void)to;
        (void)outcome;
    }
    // Before a defective file is handled: why it is defective, in words.
    virtual void noteDefectReason(const QString& path, const QString& reason) {
        (void)path;
        (void)reason;
    }
    // At the end of a run that collected files, after the window is
    // unlocked: ScanFinished, and how many defective files were left in
    // place when there were any.
    virtual void showClosingMessage(JobHost& host, const DefectScanResult& result);
};

// Destination (or the working folder when it is empty) + "/" + "Defekt/".
QString DefectFolderFor(const AppSettings& settings, const QString& destination);

// "Defekt" + number padded with "0" to `width` digits + "_" + the file name of
// `formerPath` (without its folder). A run's first number follows the highest
// one already in its defect folder (defect_numbers.h).
QString DefectFileName(qint64 number, int width, const QString& formerPath);

// Runs the whole scan on `host`. A move run holds the working folder's mover
// lock throughout; when another mover holds it, the scan shows why and does
// nothing else (`busy`). Whatever way the run ends after collecting, the
// protocol file and the run's kept file hold this run's moves and the undo
// state is prepared; the window is unlocked and the cursor restored. Without a
// `reporter` the per-file notes go nowhere and the closing message is the
// interface's own.
DefectScanResult ScanDefectiveJpegs(JobHost& host, const DefectScanOptions& options,
                                    DefectScanReporter* reporter = nullptr);
