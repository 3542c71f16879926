// The similar-picture search's fingerprint cache read from any bytes: the
// file a user's cache folder holds may be damaged, cut off, another
// program's, or made by hand. Whatever it holds, opening it either trusts a
// file of this cache's own kind or makes it anew, and every fingerprint read
// back is one a picture can have.

#include "fuzz_input.h"

#include "jobs/similar/fingerprint_cache.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

// Qt loads the SQLite driver as a plugin, which wants an application object.
void needApplication() {
    static int argc = 1;
    static char name[] = "fuzz_fingerprint_cache";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

void removeCache(const QString& file) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(file + QLatin1String(suffix));
}

// Keys the seeds' rows are written with (make_corpus.cpp).
const PictureFileKey kKeys[] = {{1000, 1700000000000000000, 42}, {2000, 5, 7}, {0, 0, 0}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    needApplication();
    const QString file = QDir::tempPath() + QStringLiteral("/fuzz-cache-%1.sqlite").arg(getpid());
    removeCache(file);
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return 0;
    }
    {
        FingerprintCache cache(file);
        for (const char* path : {"/pictures/a.jpg", "/pictures/b.jpg", "/c.jpg"})
            for (const PictureFileKey& key : kKeys) {
                const auto fingerprint = cache.fingerprint(QString::fromLatin1(path), key);
                if (fingerprint && (fingerprint->width < 1 || fingerprint->height < 1 ||
                                    fingerprint->width > 65535 || fingerprint->height > 65535))
                    __builtin_trap();
                PictureFingerprint size;
                const QByteArray digest = cache.pictureDigest(QString::fromLatin1(path), key, size);
                if (!digest.isEmpty() && (digest.size() != 32 || size.width < 1))
                    __builtin_trap();
            }
        // Writing into what was read must work too (or do nothing).
        cache.storeFingerprint(QStringLiteral("/pictures/new.jpg"), kKeys[0], {7, 8, 10, 10});
        cache.flush();
        if (cache.isOpen() && !cache.fingerprint(QStringLiteral("/pictures/new.jpg"), kKeys[0]))
            __builtin_trap();
    }
    removeCache(file);
    return 0;
}
