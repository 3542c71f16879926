#include "i18n/failure_texts.h"

#include "base/errors.h"
#include "i18n/own_texts.h"

#include <cerrno>
#include <new>

namespace {

struct SystemError {
    int error;
    const char* key;
};

// The errors a file job meets; the rest are named by number.
constexpr SystemError kSystemErrors[] = {
    {EACCES, "reason.errno.access"},
    {EPERM, "reason.errno.permission"},
    {ENOENT, "reason.errno.missing"},
    {ENOTDIR, "reason.errno.not_folder"},
    {EISDIR, "reason.errno.is_folder"},
    {EIO, "reason.errno.io"},
    {ENOSPC, "reason.errno.disk_full"},
    {EDQUOT, "reason.errno.quota"},
    {EROFS, "reason.errno.read_only_fs"},
    {ELOOP, "reason.errno.loop"},
    {ENAMETOOLONG, "reason.errno.name_too_long"},
    {EMFILE, "reason.errno.too_many_open"},
    {ENFILE, "reason.errno.too_many_open"},
    {ENOMEM, "reason.errno.memory"},
    {EEXIST, "reason.errno.exists"},
    {EBUSY, "reason.errno.busy"},
    {ESTALE, "reason.errno.stale"},
    {ENXIO, "reason.errno.missing"},
};

const char* failureKey(Failure failure) {
    switch (failure) {
    case Failure::OpenFile:
        return "reason.failure.open";
    case Failure::ReadFile:
        return "reason.failure.read";
    case Failure::WriteFile:
        return "reason.failure.write";
    case Failure::NotRegularFile:
        return "reason.failure.not_regular";
    case Failure::FileTooLarge:
        return "reason.failure.file_too_large";
    case Failure::PictureTooLarge:
        return "reason.failure.picture_too_large";
    case Failure::DamagedJpeg:
        return "reason.failure.damaged_jpeg";
    case Failure::DamagedBitmap:
        return "reason.failure.damaged_bitmap";
    case Failure::Unspecified:
        break;
    }
    return "reason.failure.unspecified";
}

} // namespace

QString SystemErrorText(int error) {
    for (const SystemError& known : kSystemErrors)
        if (known.error == error)
            return OwnText(known.key);
    return OwnText("reason.errno.other").arg(error);
}

QString FailureText(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return OwnText("reason.errno.memory");
    const auto* own = dynamic_cast<const KelvastoError*>(&error);
    if (!own)
        return OwnText("reason.failure.unspecified");
    const QString text = OwnText(failureKey(own->failure()));
    if (own->systemError() == 0)
        return text;
    return OwnText("reason.with_cause").arg(text, SystemErrorText(own->systemError()));
}

QString FailureText(const std::exception_ptr& error) {
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const std::exception& caught) {
        return FailureText(caught);
    } catch (...) {
    }
    return OwnText("reason.failure.unspecified");
}
