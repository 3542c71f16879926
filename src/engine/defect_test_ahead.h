#pragma once
// Runs the end-of-image test over a work list on a second thread, a bounded
// stretch ahead of the scan, so that the scan's own thread can move the
// current file, write the log and update the counters while the next files
// are read. The scan still takes the results one by one in list order, so
// order, numbering and log stay exactly those of a test done in turn.

#include "engine/defect_test.h"

#include <QStringList>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class DefectTestAhead {
public:
    explicit DefectTestAhead(const QStringList& files);
    // Stops the tester after its current file.
    ~DefectTestAhead();
    DefectTestAhead(const DefectTestAhead&) = delete;
    DefectTestAhead& operator=(const DefectTestAhead&) = delete;

    // The result for files[index], waiting until the tester has it. Indexes
    // are taken in increasing order.
    DefectTestResult take(int index);

private:
    void run();

    const QStringList m_files;
    std::vector<DefectTestResult> m_results;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_tested = 0; // results [0, m_tested) are ready
    int m_taken = 0;  // the scan has taken results [0, m_taken)
    bool m_stop = false;
    std::thread m_thread;
};
