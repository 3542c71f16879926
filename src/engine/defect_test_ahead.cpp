#include "engine/defect_test_ahead.h"

#include "engine/folder_access.h"

namespace {

// How far the tester may run ahead: enough to bridge a slow move, little
// enough that a stop wastes no noticeable work.
constexpr int kWindow = 256;
// Each side wakes the other once per batch of files, not per file: a
// hand-over per file would cost more than the test itself.
constexpr int kBatch = 64;

} // namespace

DefectTestAhead::DefectTestAhead(const QStringList& files)
    : m_files(files), m_results(std::size_t(files.size())) {
    m_thread = std::thread([this] { run(); });
}

DefectTestAhead::~DefectTestAhead() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

DefectTestResult DefectTestAhead::take(int index) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_tested > index; });
    m_taken = index + 1;
    DefectTestResult result = std::move(m_results[std::size_t(index)]);
    lock.unlock();
    if ((index + 1) % kBatch == 0)
        m_changed.notify_all(); // room in the window again
    return result;
}

void DefectTestAhead::run() {
    FolderCache folders;
    const int count = int(m_files.size());
    for (int i = 0; i < count; ++i) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stop || i - m_taken < kWindow; });
            if (m_stop)
                return;
        }
        DefectTestResult result = TestDefectiveJpeg(m_files.at(i), folders);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_results[std::size_t(i)] = std::move(result);
            m_tested = i + 1;
        }
        if ((i + 1) % kBatch == 0 || i + 1 == count)
            m_changed.notify_all();
    }
}
