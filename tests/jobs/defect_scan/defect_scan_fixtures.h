#pragma once
// What the defect scan tests share: a working folder inside the test tree,
// the options of a recursive run, and the move log's path.

#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/defect_scan/move_log.h"

#include <QTest>

namespace defect_scan_fixtures {

// A host whose working folder lies in the tree.
inline void useWorkingFolder(RecordingJobHost& host, fixtures::Tree& tree) {
    QVERIFY(tree.folder("work"));
    host.settings().Arbeitsverzeichnis = tree.path("work/");
}

inline DefectScanOptions recursive(bool move = false) {
    DefectScanOptions options;
    options.recursive = true;
    options.move = move;
    return options;
}

inline QString logPath(RecordingJobHost& host) {
    return ProtocolFilePath(host.settings());
}

} // namespace defect_scan_fixtures
