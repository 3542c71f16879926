#include "engine/thorough_check.h"

#include "base/errors.h"
#include "engine/defect_test.h"
#include "i18n/own_texts.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_files.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// How far the workers may run ahead of the scan: enough to bridge a slow move,
// little enough that a stop wastes no noticeable work.
constexpr int kWindow = 32;

constexpr std::int64_t kShortestSoundFile = 26;

// The end-of-image test on bytes already read: the pair 0xFF 0xD9 starts at
// some p with R < p <= n - 2.
bool endMarkerMissing(const QByteArray& data) {
    const std::int64_t n = data.size();
    if (n < kShortestSoundFile)
        return true;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const std::int64_t lowest = DefectSearchLimit(n) + 1;
    for (std::int64_t p = n - 2; p >= lowest; --p) {
        const void* found = ::memrchr(bytes + lowest, 0xFF, std::size_t(p - lowest + 1));
        if (!found)
            return true;
        p = static_cast<const unsigned char*>(found) - bytes;
        if (bytes[p + 1] == 0xD9)
            return false;
    }
    return true;
}

DefectVerdict unreadable(const KelvastoError& error) {
    DefectVerdict verdict;
    verdict.message = QString::fromUtf8(error.what());
    return verdict;
}

DefectVerdict defective(DefectCause cause, const QString& message = {}) {
    return {true, true, cause, message};
}

} // namespace

DefectVerdict CheckJpegEndMarker(const QString& path) {
    try {
        return IsDefectiveJpeg(path) ? defective(DefectCause::CutOff)
                                     : DefectVerdict{true, false, DefectCause::None, {}};
    } catch (const KelvastoError& error) {
        return unreadable(error);
    }
}

DefectVerdict CheckJpegThoroughly(const QString& path) {
    try {
        const QByteArray data = ReadPictureFile(path);
        if (endMarkerMissing(data))
            return defective(DefectCause::CutOff);
        const JpegDataCheck check = CheckJpegData(data);
        if (!check.sound)
            return defective(DefectCause::DamagedData, QString::fromStdString(check.problem));
        return {true, false, DefectCause::None, {}};
    } catch (const KelvastoError& error) {
        return unreadable(error);
    } catch (const std::bad_alloc&) {
        // On a worker thread nothing else may escape; the scan goes on.
        DefectVerdict verdict;
        verdict.message = QStringLiteral("out of memory");
        return verdict;
    }
}

QString DefectReasonText(const DefectVerdict& verdict) {
    switch (verdict.cause) {
    case DefectCause::CutOff:
        return OwnText("thorough.reason.cutoff");
    case DefectCause::DamagedData:
        return OwnText("thorough.reason.damaged").arg(verdict.message);
    case DefectCause::None:
        break;
    }
    return {};
}

int ThoroughCheckAhead::threadsFor(int requested) {
    if (requested > 0)
        return requested;
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

ThoroughCheckAhead::ThoroughCheckAhead(const QStringList& files, int threads)
    : m_files(files), m_verdicts(std::size_t(files.size())), m_ready(std::size_t(files.size())) {
    const int count = std::min(threadsFor(threads), int(std::max<qsizetype>(1, files.size())));
    for (int i = 0; i < count; ++i)
        m_threads.emplace_back([this] { work(); });
}

ThoroughCheckAhead::~ThoroughCheckAhead() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_workerWake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

DefectVerdict ThoroughCheckAhead::take(int index) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_verdictReady.wait(lock, [&] { return m_ready[std::size_t(index)] != 0; });
    m_taken = index + 1;
    DefectVerdict verdict = std::move(m_verdicts[std::size_t(index)]);
    lock.unlock();
    m_workerWake.notify_all(); // room in the window again
    return verdict;
}

void ThoroughCheckAhead::work() {
    const int count = int(m_files.size());
    for (;;) {
        int index = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_workerWake.wait(lock, [&] { return m_stop || m_next - m_taken < kWindow; });
            if (m_stop || m_next >= count)
                return;
            index = m_next++;
        }
        DefectVerdict verdict = CheckJpegThoroughly(m_files.at(index));
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_verdicts[std::size_t(index)] = std::move(verdict);
            m_ready[std::size_t(index)] = 1;
        }
        m_verdictReady.notify_all();
    }
}
