#pragma once
// The two jobs of the tab "Indexbilder / Thumbnails": index pictures (contact
// sheets) under one stem name or series by series, and thumbnails. Both check
// their input (9003 no destination folder, 9002 thumbnails without prefix and
// postfix, 9001 nothing to do), lock the window for their kind, run on
// progress page 3 and end on page 0 with the file list refreshed and no
// closing message.
//
// The window's handler reads its controls and hands over:
//
//     void IndexController::IdxBitBtn01Click() {
//         MakeIndexPictures(window().jobHost(), readIndexOptions(), this);
//     }

#include "fs/result_destination.h"
#include "jobs/index/index_series.h"
#include "jobs/index/index_sheets.h"

#include <QString>
#include <QStringList>

class JobHost;

// What the jobs report beyond their counters: every file passed over (it could
// not be read) or result not written, with the reason. The window stays
// silent as the program always did; the command-line tool names each one.
class IndexJobReporter {
public:
    virtual ~IndexJobReporter() = default;
    virtual void noteSkipped(const QString& path, const QString& reason) {
        (void)path;
        (void)reason;
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
    int side = 100;  // ThumbUpDown01
    QString prefix;  // ThumbPraefix
    QString postfix; // ThumbPostfix
    DestinationChoice destination;
};

struct IndexJobResult {
    int refusedWith = 0; // the catalogue entry of a start check that failed
    int collected = 0;
    int written = 0; // sheets or thumbnails
    int skipped = 0; // files passed over and results not written
    bool stopped = false;
};

IndexJobResult MakeIndexPictures(JobHost& host, const IndexJobOptions& options,
                                 IndexJobReporter* reporter = nullptr);
IndexJobResult MakeThumbnails(JobHost& host, const ThumbnailJobOptions& options,
                              IndexJobReporter* reporter = nullptr);
