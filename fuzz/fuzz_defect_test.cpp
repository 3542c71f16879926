// The end-of-image test on a file holding the input, checked against the rule
// it implements, evaluated plainly on the bytes in memory: a wrong answer is
// a finding just like a crash.

#include "fuzz_input.h"

#include "base/errors.h"
#include "jobs/defect_scan/defect_test.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace {

bool defectiveByRule(const std::uint8_t* data, std::size_t size) {
    const auto n = static_cast<std::int64_t>(size);
    if (n < 26)
        return true;
    for (std::int64_t p = DefectSearchLimit(n) + 1; p <= n - 2; ++p)
        if (data[p] == 0xFF && data[p + 1] == 0xD9)
            return false;
    return true;
}

// One file for the whole run, rewritten for each input.
class InputFile {
public:
    InputFile() {
        m_name = QFile::encodeName(QDir::tempPath()) + "/kelvasto-fuzz-XXXXXX.jpg";
        m_fd = mkstemps(m_name.data(), 4);
        if (m_fd < 0)
            std::abort();
    }
    ~InputFile() {
        ::close(m_fd);
        ::unlink(m_name.constData());
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    QString write(const std::uint8_t* data, std::size_t size) {
        if (::ftruncate(m_fd, 0) != 0 ||
            (size > 0 && ::pwrite(m_fd, data, size, 0) != static_cast<ssize_t>(size)))
            std::abort();
        return QFile::decodeName(m_name);
    }

private:
    QByteArray m_name;
    int m_fd = -1;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static InputFile file;
    const QString path = file.write(data, size);
    try {
        if (IsDefectiveJpeg(path) != defectiveByRule(data, size))
            __builtin_trap();
    } catch (const KelvastoError&) {
        __builtin_trap(); // a readable regular file must never fail
    }
    return 0;
}
