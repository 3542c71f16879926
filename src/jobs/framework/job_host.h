#pragma once
// What a job needs from the window that runs it. A job never touches a widget:
// the main window implements JobHost on its real controls, the command-line
// tool on the console, and tests with a recorder that answers as scripted.
//
// Members added later get a default implementation so that every host keeps
// compiling. What one job alone reports (the defect scan's per-file lines, its
// undo) goes through that job's own reporter, not through this interface, so
// a new job needs no change here. Control names come from job_controls.h.

#include "jobs/framework/dialog_types.h"
#include "settings/app_settings.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

// Names the job for the window locking.
enum class JobKind : int {
    DefectScan = 1,
    Reduction = 2,
    IndexPictures = 3,
    Thumbnails = 4,
    JpegFunctions = 5,
    BmpToJpeg = 6,
    DuplicateSearch = 7,
    SimilarSearch = 8,
};

// The watcher threads that refresh the count of collected files (each
// its job's label, WatcherLabel in job_controls.h).
enum class WatcherKind {
    DefekteJPEGs,         // defect scan
    JPEGVerkleinern,      // reduction
    FortschrittDuplikate, // duplicate search
    AehnlicheBilder,      // similar-picture search
};

// The hidden lists of the main window.
struct BatchLists {
    QStringList AlteDateinamen;   // work list of every job: insertion order, duplicates allowed
    QStringList NeueDateinamen;   // index pictures
    QStringList ProtokollListBox; // move log: former path, new path, ...
    QStringList ListBox_Dup01;    // duplicate search, kept sorted case-insensitively
};

// Stop requests, set by abort buttons (or a signal in the command-line tool)
// and read by the jobs after they processed pending messages.
struct StopFlags {
    std::atomic<std::uint8_t> JpegJobStop{0};
    std::atomic<std::uint8_t> BatchJobStop{0};
};

class JobHost {
public:
    virtual ~JobHost() = default;

    // --- shared state --------------------------------------------------------
    virtual AppSettings& settings() = 0;
    virtual BatchLists& lists() = 0;
    virtual StopFlags& stopFlags() = 0;

    // --- the file browser ----------------------------------------------------
    // The folder selected in the folder tree, with a trailing "/".
    virtual QString selectedFolder() const = 0;
    // Full paths of the selected items of the file list that are not folders,
    // in display order.
    virtual QStringList selectedFiles() const = 0;
    // True when selectedFiles() told files from folders by a look of its own
    // that is still up to date (the window's list, read whole and watched,
    // no change waiting): the collection then takes the paths as they are
    // instead of looking at each one again.
    virtual bool selectedFilesChecked() const { return false; }
    virtual void refreshFileList() = 0;

    // --- window --------------------------------------------------------------
    // Lets repaints, watcher updates and abort clicks through.
    virtual void processPendingMessages() = 0;
    virtual void setBusyCursor(bool busy) = 0;
    virtual void lockUi(JobKind kind) = 0;
    virtual void unlockUi(JobKind kind) = 0;
    // Sets a label (counter) by its control name; a window may show it a few
    // milliseconds later, and shows the last value at the latest when it is unlocked.
    virtual void setText(const QString& control, const QString& text) = 0;
    virtual void setProgressMaximum(const QString& bar, int maximum) = 0;
    virtual void setProgressValue(const QString& bar, int value) = 0;
    // Shows a progress page of NBStatus01 (0 Logo .. 5 Ähnliche Bilder).
    virtual void showProgressPage(int page) { (void)page; }
    virtual void startWatcher(WatcherKind kind) = 0;
    // Asks the running watcher to stop; does not wait for it.
    virtual void stopWatcher() = 0;

    // --- dialogs -------------------------------------------------------------
    // Shows a message in the current language; returns the modal result.
    virtual int showMessage(const QString& text, MessageKind kind, DialogButtons buttons) = 0;

    // --- what a job left out, and how it ended --------------------------------
    // The one channel for every entry a job leaves out or cannot write: a
    // folder that cannot be listed, a name that does not survive decoding, a
    // file that cannot be read, a result not written, a name taken. `reason`
    // is in the current language (own texts, FailureText).
    virtual void reportSkipped(const QString& path, const QString& reason) {
        (void)path;
        (void)reason;
    }
    // The span of one job (JobReport in job_run.h): the window gathers what
    // is reported skipped in between and lists it all in one dialog at the
    // end. Spans may nest; the outermost one counts.
    virtual void beginJobReport() {}
    virtual void endJobReport() {}
    // One line summing up a job that ends without a closing message: what
    // was written where and how many, or where it stopped. The window shows
    // it in its status bar; the command line prints its own records.
    virtual void showSummary(const QString& line) { (void)line; }
};
