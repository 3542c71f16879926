#include "jobs/defect_scan/thorough_check.h"

#include "base/errors.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_files.h"
#include "jobs/defect_scan/defect_test.h"

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
    verdict.message = FailureText(error);
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
        verdict.message = OwnText("reason.errno.memory");
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

ThoroughCheckAhead::ThoroughCheckAhead(const QStringList& files, int threads)
    : m_checks(int(files.size()), kWindow, threads,
               [files](int index) { return CheckJpegThoroughly(files.at(index)); }) {}
