// Duplicate-search benchmark.
//
//   bench_duplicates generate DIR FILES SOURCE.jpg...
//       Builds a tree of about FILES real-photograph JPEGs under DIR: crops
//       of the SOURCE photographs, re-encoded, each original made unique by a
//       comment segment of its own length; about 30 % of the originals get 1
//       to 3 copies elsewhere in the tree, and about 10 % of the files are
//       same-size twins with other bytes (another comment, the last byte
//       changed, or one byte in the middle changed).
//   bench_duplicates small DIR FILES PER_FOLDER SIZES COPY_PERCENT
//       Builds a tree of FILES small JPEG files (a tiny picture with a comment
//       of its own), PER_FOLDER to a folder: the comments take SIZES lengths
//       in turn, so the files fall into SIZES size classes, and COPY_PERCENT
//       of the files repeat an earlier file's bytes. Sidecars, thumbnails and
//       previews look like this: many files of few sizes.
//   bench_duplicates search DIR GROUPS_OUT
//       Runs the duplicate search once, writes its groups (one path per
//       line, a blank line after each group) and prints seconds, counters
//       and the peak resident memory.
//   bench_duplicates latency DIR STOP_MS
//       Runs the duplicate search on DIR (meant: one large group) with a host
//       that notes the longest time between two of the search's calls to
//       let the window in while it compares, sets the stop request STOP_MS
//       after the comparing began, and prints both that gap and how long
//       the search took from the stop request to its return.
//   bench_duplicates readall DIR
//       Reads every byte of every file below DIR once; prints seconds.
//   bench_duplicates canonical GROUPS_FILE
//       Prints the groups of a group file (ours or jdupes') in one order:
//       paths sorted within a group, groups sorted.

#include "common/bench_job_host.h"
#include "common/jpeg_builder.h"
#include "common/timing.h"
#include "i18n/catalogue.h"
#include "imaging/jpeg_codec.h"
#include "jobs/duplicates/find_duplicates.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

Picture crop(const Picture& source, int x, int y, int width, int height) {
    Picture out(width, height);
    for (int row = 0; row < height; ++row)
        std::copy_n(source.pixel(x, y + row), std::size_t(width) * 3, out.row(row));
    return out;
}

QByteArray encode(const Picture& picture) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&buffer, &size);
    EncodeJpeg(picture, 90, out);
    std::fclose(out);
    QByteArray bytes(buffer, qsizetype(size));
    std::free(buffer);
    return bytes;
}

// Crops of several sizes at several places of each photograph: real picture
// content of the sizes a camera or an export gives.
QList<QByteArray> basePhotos(const QStringList& sources) {
    const int sizes[][2] = {{3000, 2000}, {2400, 1600}, {1600, 1200}, {1280, 960}, {1024, 768}};
    QList<QByteArray> photos;
    for (const QString& source : sources) {
        QFile file(source);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const Picture full = DecodeJpeg(file.readAll());
        for (const auto& size : sizes) {
            const int w = std::min(size[0], full.width());
            const int h = std::min(size[1], full.height());
            for (int place = 0; place < 2; ++place) {
                const int x = (full.width() - w) * place;
                const int y = (full.height() - h) * (1 - place);
                photos.append(encode(crop(full, x, y, w, h)));
            }
        }
    }
    return photos;
}

// The photograph with a comment segment of `length` text bytes after SOI.
QByteArray withComment(const QByteArray& photo, const QByteArray& text) {
    const int length = int(text.size()) + 2;
    QByteArray out = photo.left(2);
    out += char(0xFF);
    out += char(0xFE);
    out += char(length >> 8);
    out += char(length & 0xFF);
    out += text;
    out += photo.mid(2);
    return out;
}

QByteArray commentText(QRandomGenerator& random, int length) {
    QByteArray text(length, 'c');
    for (char& c : text)
        c = char('a' + random.bounded(26));
    return text;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

int generate(const QString& root, int files, const QStringList& sources) {
    const QList<QByteArray> photos = basePhotos(sources);
    if (photos.isEmpty()) {
        std::fputs("no source photograph could be read\n", stderr);
        return 1;
    }
    QRandomGenerator random(20261208);
    const int originals = files * 9 / 16;
    int written = 0, copies = 0, twins = 0;
    qint64 bytes = 0;
    auto put = [&](const QString& relative, const QByteArray& content) {
        bytes += content.size();
        ++written;
        return writeFile(root + QLatin1Char('/') + relative, content);
    };
    for (int i = 0; i < originals && written < files; ++i) {
        const QByteArray text = commentText(random, 16 + int(random.bounded(4000)));
        const QByteArray photo = withComment(photos.at(i % photos.size()), text);
        const QString folder = QStringLiteral("album%1/roll%2").arg(i % 12).arg(i % 5);
        if (!put(QStringLiteral("%1/IMG_%2.jpg").arg(folder).arg(i, 5, 10, QLatin1Char('0')),
                 photo))
            return 1;
        const quint32 kind = random.bounded(100);
        if (kind < 30) { // 1 to 3 copies elsewhere
            const int n = 1 + int(random.bounded(3));
            for (int c = 0; c < n; ++c, ++copies)
                if (!put(QStringLiteral("backup%1/copy_%2_%3.jpg").arg(c).arg(i).arg(c), photo))
                    return 1;
        } else if (kind < 48) { // a same-size twin with other bytes
            QByteArray twin = photo;
            if (kind < 36)
                twin = withComment(photos.at(i % photos.size()),
                                   commentText(random, int(text.size())));
            else if (kind < 42)
                twin[twin.size() - 1] = char(twin.at(twin.size() - 1) ^ 1);
            else
                twin[twin.size() / 2] = char(twin.at(twin.size() / 2) ^ 1);
            ++twins;
            if (!put(QStringLiteral("edited/%1/IMG_%2.jpg")
                         .arg(i % 7)
                         .arg(i, 5, 10, QLatin1Char('0')),
                     twin))
                return 1;
        }
    }
    std::printf("%d files (%d copies, %d same-size twins), %.1f MiB, from %lld base photographs\n",
                written, copies, twins, double(bytes) / 1048576.0, (long long)photos.size());
    return 0;
}

// Written with plain system calls: a million files through QFile would
// take longer than the runs they are made for.
int generateSmall(const QString& root, int files, int perFolder, int sizes, int copyPercent) {
    const QByteArray picture = JpegBuilder::picture(8, 8);
    QRandomGenerator random(20260026);
    QList<QByteArray> written;
    for (int i = 0; i < files; ++i) {
        const int folder = i / perFolder;
        const QByteArray dir = QFile::encodeName(root) + QByteArray("/d") +
                               QByteArray::number(folder).rightJustified(5, '0');
        if (i % perFolder == 0 && !QDir().mkpath(QFile::decodeName(dir)))
            return 1;
        QByteArray bytes;
        if (i > 0 && int(random.bounded(100)) < copyPercent) {
            bytes = written.at(int(random.bounded(quint32(written.size()))));
        } else {
            QByteArray text = QByteArray::number(i).rightJustified(10, '0');
            text += QByteArray(i % sizes, '+');
            bytes = withComment(picture, text);
            // Keep a sample to copy from, not a million files' bytes.
            if (written.size() < 4096)
                written.append(bytes);
            else
                written[int(random.bounded(4096))] = bytes;
        }
        const QByteArray path =
            dir + "/IMG_" + QByteArray::number(i).rightJustified(7, '0') + ".jpg";
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size()) {
            std::perror(path.constData());
            return 1;
        }
        ::close(fd);
    }
    std::printf("%d small files in %d folders, %d sizes, %d %% copies\n", files,
                (files + perFolder - 1) / perFolder, sizes, copyPercent);
    return 0;
}

long peakResidentKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int search(const QString& root, const QString& groupsOut) {
    BenchJobHost host;
    QStringList lines;
    DuplicateSearchResult result;
    const double seconds = bestSeconds(1, [&] { result = SearchDuplicates(host, root, lines); });
    QFile out(groupsOut);
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    for (const QString& line : lines)
        out.write(QFile::encodeName(line) + '\n');
    std::printf("%.6f collected %d candidates %d found %d skipped %lld peak_rss_kib %ld\n", seconds,
                result.collected, result.candidates, result.found, (long long)result.skipped.size(),
                peakResidentKiB());
    return 0;
}

// A host that times its message calls as the window would feel them.
class LatencyHost : public BenchJobHost {
public:
    explicit LatencyHost(qint64 stopAfterMs) : m_stopAfterMs(stopAfterMs) {}
    void setText(const QString& control, const QString& text) override {
        if (control == QLatin1String("DupStatusBar") && text.startsWith(QLatin1String("Test")) &&
            !m_comparing.isValid()) {
            m_comparing.start();
            m_sinceCall.start();
        }
    }
    void processPendingMessages() override {
        if (!m_comparing.isValid())
            return;
        longestGapMs = std::max(longestGapMs, m_sinceCall.nsecsElapsed() / 1000000.0);
        m_sinceCall.start();
        if (!sinceStop.isValid() && m_comparing.elapsed() >= m_stopAfterMs) {
            stopFlags().BatchJobStop = 1;
            sinceStop.start();
        }
    }
    double longestGapMs = 0;
    QElapsedTimer sinceStop;

private:
    qint64 m_stopAfterMs;
    QElapsedTimer m_comparing;
    QElapsedTimer m_sinceCall;
};

int latency(const QString& root, int stopAfterMs) {
    SetLanguageOffset(10000);
    LatencyHost host(stopAfterMs);
    QStringList lines;
    const DuplicateSearchResult result = SearchDuplicates(host, root, lines);
    const double stopMs =
        host.sinceStop.isValid() ? host.sinceStop.nsecsElapsed() / 1000000.0 : -1.0;
    std::printf("longest_gap_ms %.1f stop_to_return_ms %.1f stopped %d found %d\n",
                host.longestGapMs, stopMs, int(result.stopped), result.found);
    return 0;
}

int readAll(const QString& root) {
    const auto buffer = std::make_unique<char[]>(1 << 20);
    qint64 total = 0;
    const double seconds = bestSeconds(1, [&] {
        QDirIterator files(root, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const int fd = ::open(QFile::encodeName(files.next()).constData(), O_RDONLY);
            for (ssize_t got; fd >= 0 && (got = ::read(fd, buffer.get(), 1 << 20)) > 0;)
                total += got;
            if (fd >= 0)
                ::close(fd);
        }
    });
    std::printf("%.6f bytes %lld\n", seconds, (long long)total);
    return 0;
}

int canonical(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    QList<QStringList> groups(1);
    for (const QByteArray& raw : file.readAll().split('\n')) {
        if (raw.isEmpty()) {
            if (!groups.back().isEmpty())
                groups.append(QStringList());
            continue;
        }
        groups.back().append(QFile::decodeName(raw));
    }
    QStringList joined;
    for (QStringList& group : groups) {
        if (group.isEmpty())
            continue;
        group.sort();
        joined.append(group.join(QLatin1Char('\n')));
    }
    joined.sort();
    std::fputs(QFile::encodeName(joined.join(QStringLiteral("\n\n")) + '\n').constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("generate"))
        return generate(args[2], args[3].toInt(), args.mid(4));
    if (args.size() == 7 && args[1] == QLatin1String("small"))
        return generateSmall(args[2], args[3].toInt(), qMax(1, args[4].toInt()),
                             qMax(1, args[5].toInt()), args[6].toInt());
    if (args.size() == 4 && args[1] == QLatin1String("search"))
        return search(args[2], args[3]);
    if (args.size() == 4 && args[1] == QLatin1String("latency"))
        return latency(args[2], args[3].toInt());
    if (args.size() == 3 && args[1] == QLatin1String("readall"))
        return readAll(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("canonical"))
        return canonical(args[2]);
    std::fputs("usage: bench_duplicates generate DIR FILES SOURCE... |"
               " small DIR FILES PER_FOLDER SIZES COPY_PERCENT | search DIR GROUPS_OUT |"
               " latency DIR STOP_MS |"
               " readall DIR | canonical GROUPS_FILE\n",
               stderr);
    return 2;
}
