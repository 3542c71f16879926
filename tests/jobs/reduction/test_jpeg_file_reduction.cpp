#include "base/errors.h"
#include "base/scope_exit.h"
#include "common/file_fixtures.h"
#include "common/jpeg_builder.h"
#include "common/test_registry.h"
#include "fs/file_rewrite.h"
#include "fs/recycled_temporaries.h"
#include "imaging/jpeg_codec.h"
#include "jobs/reduction/jpeg_cut_view.h"
#include "jobs/reduction/jpeg_marker_walker.h"
#include "jobs/reduction/jpeg_reduction.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <memory>
#include <set>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utime.h>

namespace {

QByteArray segment(uchar code, const QByteArray& payload) {
    QByteArray out;
    out.append(char(0xFF)).append(char(code));
    out.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xFF));
    return out + payload;
}

// A photograph-like picture (smooth gradients with noise), as a camera or a
// graphics program would write it.
QByteArray photograph(bool progressive, bool grey) {
    QImage image(480, 360, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    QRandomGenerator random(5);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y,
                           grey ? qRgb(int(x + y + random.bounded(30)) % 256, 0, 0)
                                : qRgb((x + int(random.bounded(30))) % 256, (y * 2) % 256,
                                       (x * y / 300 + int(random.bounded(30))) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

struct Decorated {
    QByteArray bytes;
    qint64 removable = 0; // what all three options cut
};

// The metadata real photographs carry, behind the start marker: EXIF with a
// thumbnail, an ICC profile, Photoshop data, a content-credential box whose
// thumbnail has its own EXIF (kept: APP11 is not removed), a comment; and
// data appended behind the picture.
Decorated decorate(const QByteArray& photo) {
    const QByteArray thumbnail = JpegBuilder().soi().app(1, 60).dqt().eoi().bytes();
    QByteArray exif("Exif\0\0MM\0*", 10);
    exif += QByteArray(200, '\x11') + thumbnail + QByteArray(40, '\xFF');
    const QByteArray icc = QByteArray("ICC_PROFILE\0\x01\x01", 14) + QByteArray(500, '\xE2');
    const QByteArray photoshop = QByteArray("Photoshop 3.0\0", 14) + QByteArray(100, '\xFF');
    const QByteArray box = "JP" + QByteArray(30, 'j') + thumbnail;
    const QByteArray metadata = segment(0xE1, exif) + segment(0xE2, icc) + segment(0xED, photoshop);
    const QByteArray kept = segment(0xEB, box);
    const QByteArray comment = segment(0xFE, "made by a camera");
    const QByteArray appended = QByteArray(3000, 'm');
    // After the JFIF header, as cameras and editors place them.
    const qsizetype afterApp0 = 2 + 2 + ((uchar(photo[4]) << 8) | uchar(photo[5]));
    Decorated out;
    out.bytes = photo.left(afterApp0) + metadata + kept + comment + photo.mid(afterApp0) + appended;
    out.removable = metadata.size() + comment.size() + appended.size();
    return out;
}

bool hasMarker(const QByteArray& bytes, uchar code) {
    JpegCutView view(bytes);
    JpegMarkerWalker walker(view);
    while (const auto marker = walker.next(bytes.size()))
        if (marker->code == code)
            return true;
    return false;
}

struct stat statOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

void setOldTime(const QString& path) {
    struct utimbuf times {};
    times.actime = 1000000000;
    times.modtime = 1000000000;
    ::utime(QFile::encodeName(path).constData(), &times);
}

// Makes a file or folder unwritable for this process while it lives: the
// permission bits for a normal user; the immutable flag for root, whom the
// bits do not stop.
class WriteProtection {
public:
    explicit WriteProtection(const QString& path) : m_path(QFile::encodeName(path)) {
        if (::geteuid() != 0) {
            m_mode = statOf(path).st_mode & 07777;
            m_active = ::chmod(m_path.constData(), m_mode & ~0222) == 0;
            return;
        }
        m_active = setImmutable(true);
    }
    ~WriteProtection() {
        if (!m_active)
            return;
        if (::geteuid() != 0)
            ::chmod(m_path.constData(), m_mode);
        else
            setImmutable(false);
    }
    bool active() const { return m_active; }

private:
    bool setImmutable(bool on) {
        const int fd = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QByteArray m_path;
    mode_t m_mode = 0;
    bool m_active = false;
};

ReductionOptions allOptions() {
    return {true, true, true};
}

const QByteArray kWithApp1 =
    JpegBuilder().soi().app(0, 16).app(1, 60).segment(0xDA, 6).scanData(2000).eoi().bytes();
const QByteArray kPlain =
    JpegBuilder().soi().app(0, 16).segment(0xDA, 6).scanData(2000).eoi().bytes();

} // namespace

class TestJpegFileReduction : public QObject {
    Q_OBJECT
private slots:
    void photographsDecodeToTheSamePixels_data() {
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<bool>("grey");
        QTest::newRow("baseline colour") << false << false;
        QTest::newRow("progressive colour") << true << false;
        QTest::newRow("baseline grey") << false << true;
        QTest::newRow("progressive grey") << true << true;
    }
    void photographsDecodeToTheSamePixels() {
        QFETCH(bool, progressive);
        QFETCH(bool, grey);
        const Decorated photo = decorate(photograph(progressive, grey));
        fixtures::Tree tree;
        QVERIFY(tree.file("photo.jpg", photo.bytes));
        const FileReduction result = ReduceJpegFile(tree.path("photo.jpg"), allOptions());
        QCOMPARE(result.saved, photo.removable);
        QVERIFY(result.rewritten);
        const QByteArray after = tree.read("photo.jpg");
        QCOMPARE(qint64(after.size()), qint64(photo.bytes.size()) - photo.removable);
        QVERIFY(DecodeJpeg(after) == DecodeJpeg(photo.bytes));
        for (uchar code : {0xE1, 0xE2, 0xED, 0xFE})
            QVERIFY(!hasMarker(after, code));
        QVERIFY(hasMarker(after, 0xEB));
        QVERIFY(after.endsWith("\xFF\xD9"));
        // Reduced once more: nothing left to cut, the file is not rewritten.
        const FileReduction again = ReduceJpegFile(tree.path("photo.jpg"), allOptions());
        QCOMPARE(again.saved, qint64(0));
        QVERIFY(!again.rewritten);
        QCOMPARE(tree.read("photo.jpg"), after);
    }

    // The reduced file replaces the old one whole; its permission bits stay,
    // its time becomes the time of the change; an unchanged file is left
    // alone, time and all; nothing else is left in the folder.
    void rewriteKeepsModeAndTouchesOnlyChangedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("changes");
        QTest::newRow("cut, 0640") << kWithApp1 << 0640 << true;
        QTest::newRow("cut, 0604") << kWithApp1 << 0604 << true;
        QTest::newRow("cut, 0755") << kWithApp1 << 0755 << true;
        QTest::newRow("nothing to cut") << kPlain << 0640 << false;
    }
    void rewriteKeepsModeAndTouchesOnlyChangedFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, mode);
        QFETCH(bool, changes);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", bytes));
        const QString path = tree.path("a.jpg");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
        setOldTime(path);
        const FileReduction result = ReduceJpegFile(path, allOptions());
        QCOMPARE(result.rewritten, changes);
        QCOMPARE(statOf(path).st_mode & 07777, mode_t(mode));
        QCOMPARE(statOf(path).st_mtime > 1000000000, changes);
        QCOMPARE(tree.read("a.jpg").size(), bytes.size() - (changes ? 62 : 0));
        QCOMPARE(tree.names(""), QStringList{"a.jpg"});
    }

    void ownerAndGroupKept() {
        if (::geteuid() != 0)
            QSKIP("only root can give a file to another owner");
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", kWithApp1));
        QVERIFY(::chown(QFile::encodeName(tree.path("a.jpg")).constData(), 4321, 4322) == 0);
        QVERIFY(ReduceJpegFile(tree.path("a.jpg"), allOptions()).rewritten);
        QCOMPARE(statOf(tree.path("a.jpg")).st_uid, uid_t(4321));
        QCOMPARE(statOf(tree.path("a.jpg")).st_gid, gid_t(4322));
    }

    // A file the user protected is not replaced behind its back (the rename
    // would need only the folder); where the reduction would write, the
    // error ends the job, as the rewrite in place would have failed to open
    // it. A folder that takes no temporary file ends it the same way.
    void writeProtection_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("protectFolder");
        QTest::addColumn<int>("options");
        QTest::addColumn<bool>("raises");
        QTest::newRow("protected file with a cut") << kWithApp1 << false << 1 << true;
        QTest::newRow("protected file, end marker found, nothing behind it")
            << kPlain << false << 4 << true;
        QTest::newRow("protected file, nothing found") << kPlain << false << 3 << false;
        QTest::newRow("protected folder with a cut") << kWithApp1 << true << 7 << true;
        QTest::newRow("protected folder, nothing to cut") << kPlain << true << 3 << false;
    }
    void writeProtection() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, protectFolder);
        QFETCH(int, options);
        QFETCH(bool, raises);
        fixtures::Tree tree;
        QVERIFY(tree.file("in/a.jpg", bytes));
        const QString path = tree.path("in/a.jpg");
        const ReductionOptions chosen{bool(options & 1), bool(options & 2), bool(options & 4)};
        {
            WriteProtection protection(protectFolder ? tree.path("in") : path);
            if (!protection.active())
                QSKIP("cannot protect files here");
            bool raised = false;
            try {
                ReduceJpegFile(path, chosen);
            } catch (const KelvastoError&) {
                raised = true;
            }
            QCOMPARE(raised, raises);
        }
        QCOMPARE(tree.read("in/a.jpg"), bytes);
        QCOMPARE(tree.names("in"), QStringList{"a.jpg"});
    }

    // A disk that fills up half-way: the old file stays whole, no temporary
    // file remains.
    void fullDiskLeavesTheFile() {
        fixtures::Tree tree;
        const QByteArray big =
            JpegBuilder().soi().app(1, 100).segment(0xDA, 6).scanData(400000).eoi().bytes();
        QVERIFY(tree.file("a.jpg", big));
        {
            fixtures::FileSizeLimit limit(100000);
            QVERIFY_THROWS_EXCEPTION(KelvastoError,
                                     ReduceJpegFile(tree.path("a.jpg"), allOptions()));
        }
        QCOMPARE(tree.read("a.jpg"), big);
        QCOMPARE(tree.names(""), QStringList{"a.jpg"});
    }

    // A job stages its files and commits them in batches: until the commit
    // the old files stand; a file met twice is reduced twice, each time as
    // it stands; what was never committed leaves nothing behind.
    void stagedFilesReplaceAtCommit() {
        fixtures::Tree tree;
        const QByteArray twoComments =
            JpegBuilder().soi().com("one").com("two").segment(0xDA, 6).scanData(2000).eoi().bytes();
        QVERIFY(tree.file("a.jpg", twoComments));
        QVERIFY(tree.file("b.jpg", kWithApp1));
        const ReductionOptions comments{false, true, false};
        {
            StagedRewrites staged;
            QCOMPARE(ReduceJpegFile(tree.path("a.jpg"), comments, &staged).saved, qint64(7));
            QCOMPARE(tree.read("a.jpg"), twoComments);
            QCOMPARE(ReduceJpegFile(tree.path("a.jpg"), comments, &staged).saved, qint64(7));
            QCOMPARE(tree.read("a.jpg").size(), twoComments.size() - 7);
            CommitReducedFiles(staged);
            QCOMPARE(tree.read("a.jpg").size(), twoComments.size() - 14);
            QVERIFY(ReduceJpegFile(tree.path("b.jpg"), allOptions(), &staged).rewritten);
            QCOMPARE(staged.size(), std::size_t(1));
        }
        QCOMPARE(tree.read("b.jpg"), kWithApp1);
        QCOMPARE(tree.names(""), (QStringList{"a.jpg", "b.jpg"}));
    }

    // A long job reuses the files it replaced as its next temporary files:
    // each file gets exactly its own reduced bytes and permission bits, even
    // after a larger one; a replaced file that another name still links, or
    // that carries extended attributes, is never reused (and so never
    // emptied or handed on); nothing but the pictures is left afterwards.
    void replacedFilesReusedOnlyWhenSafe_data() {
        QTest::addColumn<QString>("extra"); // "", "hard link", "attribute"
        QTest::addColumn<int>("folders");
        QTest::addColumn<int>("files");
        QTest::newRow("one folder") << "" << 1 << 24;
        QTest::newRow("three folders") << "" << 3 << 24;
        QTest::newRow("an earlier file hard-linked") << "hard link" << 2 << 24;
        QTest::newRow("an earlier file with an attribute") << "attribute" << 2 << 24;
        // More replaced files than are kept: some are given up on the way.
        QTest::newRow("more files than are kept") << "" << 2 << 400;
    }
    void replacedFilesReusedOnlyWhenSafe() {
        QFETCH(QString, extra);
        QFETCH(int, folders);
        QFETCH(int, files);
        const int kFiles = files;
        fixtures::Tree tree;
        std::vector<QString> names;
        std::vector<QByteArray> originals;
        std::vector<QByteArray> expected;
        std::set<ino_t> inodes;
        for (int i = 0; i < kFiles; ++i) {
            // Sizes fall and rise, so a reused file must lose its old tail.
            JpegBuilder builder;
            builder.soi().app(1, 100 + 50 * i).com("c").segment(0xDA, 6);
            originals.push_back(
                builder.scanData(i % 2 ? 900 : 30000 - 1000 * (i % 28)).eoi().bytes());
            JpegCutView view(originals.back());
            RemoveProgramSegments(view);
            RemoveComment(view);
            expected.push_back(view.bytes());
            names.push_back(QStringLiteral("d%1/f%2.jpg").arg(i % folders).arg(i));
            QVERIFY(tree.file(names.back(), originals.back()));
            const QByteArray path = QFile::encodeName(tree.path(names.back()));
            QVERIFY(::chmod(path.constData(), i % 3 ? 0640 : 0604) == 0);
            inodes.insert(statOf(tree.path(names.back())).st_ino);
        }
        const QString kept = tree.path("d0/kept.jpg");
        if (extra == "hard link")
            QVERIFY(::link(QFile::encodeName(tree.path(names[0])).constData(),
                           QFile::encodeName(kept).constData()) == 0);
        if (extra == "attribute" && ::setxattr(QFile::encodeName(tree.path(names[0])).constData(),
                                               "user.kelvasto", "x", 1, 0) != 0)
            QSKIP("no extended attributes here");
        {
            StagedRewrites staged;
            for (int i = 0; i < kFiles; ++i) {
                QVERIFY(ReduceJpegFile(tree.path(names[i]), allOptions(), &staged).rewritten);
                if (i % 4 == 3)
                    CommitReducedFiles(staged);
            }
        }
        int reused = 0;
        for (int i = 0; i < kFiles; ++i) {
            const struct stat info = statOf(tree.path(names[i]));
            QCOMPARE(tree.read(names[i]), expected[i]);
            QCOMPARE(info.st_mode & 0777, mode_t(i % 3 ? 0640 : 0604));
            QCOMPARE(::getxattr(QFile::encodeName(tree.path(names[i])).constData(), "user.kelvasto",
                                nullptr, 0),
                     ssize_t(-1));
            reused += inodes.count(info.st_ino) ? 1 : 0;
        }
        QVERIFY2(reused > 0, "no replaced file was reused");
        if (extra == "hard link") {
            QCOMPARE(tree.read("d0/kept.jpg"), originals[0]);
            QCOMPARE(statOf(kept).st_nlink, nlink_t(1));
        }
        for (int folder = 0; folder < folders; ++folder)
            for (const QString& name : tree.names(QStringLiteral("d%1").arg(folder)))
                QVERIFY2(name.endsWith(".jpg"), qPrintable(name));
    }

    // In a run of falling sizes no replaced file is short enough to take
    // the next one's bytes, so one is given up per file, faster than the
    // disk lets them be removed. Each is open until removed: they must not
    // pile up until the job runs out of descriptors.
    void givenUpFilesStayWithinTheDescriptorLimit() {
        constexpr int kFiles = 1000;
        constexpr rlim_t kLimit = 300;
        fixtures::Tree tree;
        const QByteArray folder = QFile::encodeName(tree.root());
        struct rlimit before {};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &before) == 0);
        struct rlimit tight = before;
        tight.rlim_cur = std::min(before.rlim_cur, kLimit);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &tight) == 0);
        const ScopeExit restore([&] { ::setrlimit(RLIMIT_NOFILE, &before); });
        // On disk, as replaced pictures are: removing one frees blocks.
        const QByteArray bytes(64 * 1024, 'x');
        std::vector<QByteArray> names;
        for (int i = 0; i < kFiles; ++i) {
            names.push_back(folder + QByteArray::number(i));
            QVERIFY(tree.file(QString::number(i), bytes));
        }
        {
            const FileDescriptor any(::open(names[0].constData(), O_RDONLY | O_CLOEXEC));
            QVERIFY(any.valid() && ::syncfs(any.get()) == 0);
        }
        {
            RecycledTemporaries kept;
            for (int i = 0; i < kFiles; ++i) {
                FileDescriptor fd(::open(names[i].constData(), O_WRONLY | O_CLOEXEC));
                QVERIFY2(fd.valid(), qPrintable(QStringLiteral("file %1").arg(i)));
                struct stat info {};
                QVERIFY(::fstat(fd.get(), &info) == 0);
                kept.give(names[i], std::move(fd), info.st_dev, info.st_size);
            }
        }
        QCOMPARE(tree.names(""), QStringList());
    }

    void notARegularFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("symbolic link") << "link";
    }
    void notARegularFile() {
        QFETCH(QString, kind);
        fixtures::Tree tree;
        const QString path = tree.path("x.jpg");
        if (kind == QLatin1String("folder"))
            QVERIFY(tree.folder("x.jpg"));
        if (kind == QLatin1String("fifo"))
            QVERIFY(tree.fifo("x.jpg"));
        if (kind == QLatin1String("link")) {
            QVERIFY(tree.file("target.jpg", kWithApp1));
            QVERIFY(QFile::link(tree.path("target.jpg"), path));
        }
        QVERIFY_THROWS_EXCEPTION(KelvastoError, ReduceJpegFile(path, allOptions()));
        if (kind == QLatin1String("link")) {
            QCOMPARE(tree.read("target.jpg"), kWithApp1);
            QVERIFY(S_ISLNK(statOf(path).st_mode));
        }
    }
};

KELVASTO_REGISTER_TEST(TestJpegFileReduction)
#include "test_jpeg_file_reduction.moc"
