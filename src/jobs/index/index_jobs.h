#pragma once
// The two jobs of the tab "Indexbilder / Thumbnails": index pictures (contact
// sheets) under one stem name or series by series, and thumbnails. Both check
// their input (NoDestination, NoPrefixOrPostfix for thumbnails without prefix
// and postfix, NoFilesMarked when there is nothing to do), lock the window for
// their kind, run on progress page 3 and end on page 0 with the file list
// refreshed, no closing message and a summary line. A recursive run leaves out
// the folders its destination writes into (ResultFoldersOf), so its results
// never become the next run's sources.
//
// The window's handler reads its controls and hands over:
//
//     void IndexController::IdxBitBtn01Click() {
//         MakeIndexPictures(window().jobHost(), readIndexOptions(), this);
//     }

#include "fs/result_destination.h"
#include "i18n/catalogue_ids.h"
#include "jobs/index/index_series.h"
#include "jobs/index/index_sheets.h"

#include <QString>
#include <QStringList>

#include <optional>

class JobHost;

// What the jobs report beyond their counters: each result written, with its
// source (the first picture drawn on a sheet). The command-line tool prints
// one line per result. What is passed over or not written goes to the host's
// reportSkipped; the summary line to its showSummary.
class IndexJobReporter {
public:
    virtual ~IndexJobReporter() = default;
    virtual void noteWritten(const QString& source, const QString& result) {
        (void)source;
        (void)result;
    }
};

struct IndexJobOptions {
    bool recursive = false;   // IdxRekursiv: whole tree, else the selected files
    QStringList startFolders; // of a recursive run; empty: the folder tree's selection
    SheetLayout layout;       // IdxUpDown01, IdxUpDown02, IdxUpDown03
    bool bySeries = false;    // IdxRadioButton01 "Serienname", else "Stammname"
    QString stem;             // IdxStammname
    QString prefix;           // IdxPraefix
    QString postfix;          // IdxPostfix
    SeriesOptions series;     // IdxSRadioButton01/02, IdxUpDown04
    DestinationChoice destination;
};

struct ThumbnailJobOptions {
    bool recursive = false;
    QStringList startFolders;
    int side = kThumbnailSide.fallback; // ThumbUpDown01
    QString prefix;                     // ThumbPraefix
    QString postfix;                    // ThumbPostfix
    DestinationChoice destination;
};

struct IndexJobResult {
    std::optional<CatalogueId> refusedWith; // the message of a start check that failed
    int collected = 0;
    int written = 0; // sheets or thumbnails
    int skipped = 0; // files passed over and results not written
    bool stopped = false;
    int done = 0; // files handled when the run ended
};

IndexJobResult MakeIndexPictures(JobHost& host, const IndexJobOptions& options,
                                 IndexJobReporter* reporter = nullptr);
IndexJobResult MakeThumbnails(JobHost& host, const ThumbnailJobOptions& options,
                              IndexJobReporter* reporter = nullptr);
