#pragma once
// The names of the progress-page controls each job writes to, declared once.
// The window's builders create the controls under these names, the job hosts
// find them by these names, and the jobs and the tests address them through
// these constants: a misspelt counter is a compile error, not a label that
// silently stays "0".

#include "jobs/framework/job_host.h"

#include <QString>

// The controls every file loop advances: the number of files to work on (the
// watcher's label while collecting), the number handled, and the bar.
struct ProgressControls {
    QString total;
    QString done;
    QString bar;
};

// Indexes of the pages of NBStatus01.
enum ProgressPage : int {
    kLogoPage = 0,
    kDefectScanPage = 1,
    kReductionPage = 2,
    kFunctionsPage = 3,
    kDuplicatesPage = 4,
    kSimilarPage = 5,
};

// Page 1 "Defekte JPEGs".
struct DefectScanControls {
    ProgressControls progress;
    QString defectsFound;
};
inline const DefectScanControls kDefectScanControls{
    {QStringLiteral("Label_DDS05"), QStringLiteral("Label_DDS07"),
     QStringLiteral("ProgressBar_DDS01")},
    QStringLiteral("Label_DDS02"),
};

// Page 2 "JPEGs verkleinern".
struct ReductionControls {
    ProgressControls progress;
    QString savings; // bytes saved so far in this run
};
inline const ReductionControls kReductionControls{
    {QStringLiteral("Label_DV06"), QStringLiteral("Label_DV08"),
     QStringLiteral("ProgressBar_DV01")},
    QStringLiteral("Label_DV03"),
};

// Page 3 "FktSonst": index pictures, thumbnails and the batch functions.
struct FunctionsControls {
    ProgressControls progress;
};
inline const FunctionsControls kFunctionsControls{
    {QStringLiteral("FktLabel04"), QStringLiteral("FktLabel05"),
     QStringLiteral("FktProgressBar01")},
};

// Page 4 "Duplikate": no bar; the phase text stands in a status line.
struct DuplicatesControls {
    QString toCheck;
    QString possible;
    QString found;
    QString status;
};
inline const DuplicatesControls kDuplicatesControls{
    QStringLiteral("Label_Dup02"),
    QStringLiteral("Label_Dup04"),
    QStringLiteral("Label_Dup06"),
    QStringLiteral("DupStatusBar"),
};

// Page 5 "Ähnliche Bilder": pictures to check (the watcher's count while
// collecting), pictures checked, the bar, and the groups found so far.
struct SimilarControls {
    ProgressControls progress;
    QString groupsFound;
};
inline const SimilarControls kSimilarControls{
    {QStringLiteral("Label_Sim02"), QStringLiteral("Label_Sim04"),
     QStringLiteral("ProgressBar_Sim01")},
    QStringLiteral("Label_Sim06"),
};

// The label a watcher of this kind keeps up to date while its job collects.
inline QString WatcherLabel(WatcherKind kind) {
    switch (kind) {
    case WatcherKind::DefekteJPEGs:
        return kDefectScanControls.progress.total;
    case WatcherKind::JPEGVerkleinern:
        return kReductionControls.progress.total;
    case WatcherKind::FortschrittDuplikate:
        return kDuplicatesControls.toCheck;
    case WatcherKind::AehnlicheBilder:
        return kSimilarControls.progress.total;
    }
    return {};
}
