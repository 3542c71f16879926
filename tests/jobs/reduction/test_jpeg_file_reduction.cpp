#include "base/errors.h"
#include "base/scope_exit.h"
#include "common/file_fixtures.h"
#include "common/jpeg_builder.h"
#include "common/test_registry.h"
#include "fs/file_rewrite.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_samples.h"
#include "jobs/reduction/jpeg_cut_view.h"
#include "jobs/reduction/jpeg_marker_walker.h"
#include "jobs/reduction/jpeg_reduction.h"

#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {

QByteArray segment(uchar code, const QByteArray& payload) {
    QByteArray out;
    out.append(char(0xFF)).append(char(code));
    out.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xFF));
    return out + payload;
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
    // After the JFIF header, as cameras and editors place them, or right
    // behind the start marker where there is none.
    const qsizetype afterApp0 =
        uchar(photo[3]) == 0xE0 ? 2 + 2 + ((uchar(photo[4]) << 8) | uchar(photo[5])) : 2;
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
    // Every reduced file decodes to exactly the pixels of its original,
    // whatever its colour space and coding; Adobe's segment stays where the
    // colours depend on it.
    void reducedFilesDecodeToTheSamePixels_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<bool>("adobeKept");
        using samples::JpegForm;
        QTest::newRow("baseline colour") << int(JpegForm::Colour) << false;
        QTest::newRow("progressive colour") << int(JpegForm::Progressive) << false;
        QTest::newRow("grey") << int(JpegForm::Greyscale) << false;
        QTest::newRow("arithmetic-coded") << int(JpegForm::Arithmetic) << false;
        QTest::newRow("restart markers") << int(JpegForm::Restarts) << false;
        QTest::newRow("CMYK") << int(JpegForm::AdobeCmyk) << true;
        QTest::newRow("progressive CMYK") << int(JpegForm::ProgressiveCmyk) << true;
        QTest::newRow("YCCK") << int(JpegForm::Ycck) << true;
        QTest::newRow("Adobe RGB") << int(JpegForm::AdobeRgb) << true;
        QTest::newRow("Adobe RGB, numbered components") << int(JpegForm::AdobeRgbNumbered) << true;
        QTest::newRow("YCbCr with Adobe's segment") << int(JpegForm::AdobeYCbCr) << false;
        QTest::newRow("grey with Adobe's segment") << int(JpegForm::AdobeGreyscale) << false;
    }
    void reducedFilesDecodeToTheSamePixels() {
        QFETCH(int, form);
        QFETCH(bool, adobeKept);
        const QByteArray encoded =
            samples::encodeJpeg(samples::noise(320, 240, 5, true), samples::JpegForm(form), 90);
        const Decorated photo = decorate(encoded);
        // Adobe's own segment is 16 bytes.
        const qint64 adobeCut = hasMarker(encoded, 0xEE) && !adobeKept ? 16 : 0;
        fixtures::Tree tree;
        QVERIFY(tree.file("photo.jpg", photo.bytes));
        const FileReduction result = ReduceJpegFile(tree.path("photo.jpg"), allOptions());
        const QByteArray after = tree.read("photo.jpg");
        QVERIFY(DecodeJpeg(after) == DecodeJpeg(photo.bytes));
        QCOMPARE(result.saved, photo.removable + adobeCut);
        QVERIFY(result.rewritten);
        QCOMPARE(qint64(after.size()), qint64(photo.bytes.size()) - result.saved);
        for (uchar code : {0xE1, 0xE2, 0xED, 0xFE})
            QVERIFY(!hasMarker(after, code));
        QCOMPARE(hasMarker(after, 0xEE), adobeKept);
        QVERIFY(hasMarker(after, 0xEB));
        QVERIFY(after.endsWith("\xFF\xD9"));
        // Reduced once more: nothing left to cut, the file is not rewritten.
        const FileReduction again = ReduceJpegFile(tree.path("photo.jpg"), allOptions());
        QCOMPARE(again.saved, qint64(0));
        QVERIFY(!again.rewritten);
        QCOMPARE(tree.read("photo.jpg"), after);
    }

    // A file that does not begin like a JPEG is never changed, whatever its
    // name says and whatever looks like a marker inside it; it is named.
    void notAJpegIsNeverChanged_data() {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray png("\x89PNG\r\n\x1a\n", 8);
        png += QByteArray(600, 'p') + "\xFF\xD9" + QByteArray(200, 'q') + "IEND\xAE\x42\x60\x82";
        QTest::newRow("PNG named .jpg, an end-marker pair near its end") << png;
        QTest::newRow("web page") << QByteArray("<html>\xFF\xE1\x00\x10") + QByteArray(500, 'h');
        QTest::newRow("start marker, then no marker")
            << QByteArray("\xFF\xD8\x00", 3) + QByteArray(500, 's') + "\xFF\xD9" + "tail";
        QTest::newRow("empty") << QByteArray();
    }
    void notAJpegIsNeverChanged() {
        QFETCH(QByteArray, bytes);
        fixtures::Tree tree;
        QVERIFY(tree.file("shot.jpg", bytes));
        const FileReduction result = ReduceJpegFile(tree.path("shot.jpg"), allOptions());
        QCOMPARE(result.skipped, ReductionSkip::NotJpeg);
        QCOMPARE(result.saved, qint64(0));
        QCOMPARE(tree.read("shot.jpg"), bytes);
        QCOMPARE(tree.names(""), QStringList{"shot.jpg"});
    }

    // Another program acts between the read and the rename: whatever it
    // left stays as it left it, and the file is named as changed. A file
    // another rewrite holds is not read at all.
    void fileChangedBehindTheRewrite_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("exists");
        QTest::newRow("new version saved over it") << "replace" << true;
        QTest::newRow("written in place") << "write" << true;
        QTest::newRow("deleted") << "delete" << false;
        QTest::newRow("moved away") << "move" << false;
        QTest::newRow("held by another rewrite") << "hold" << true;
    }
    void fileChangedBehindTheRewrite() {
        QFETCH(QString, action);
        QFETCH(bool, exists);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", kWithApp1));
        const QString path = tree.path("a.jpg");
        // Timestamps tick coarsely: a write in the same tick as the read
        // must still show in the modification time.
        setOldTime(path);
        const QByteArray newer = JpegBuilder::decorated();
        FileDescriptor holder;
        if (action == "hold") {
            holder.reset(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
            QVERIFY(::flock(holder.get(), LOCK_EX | LOCK_NB) == 0);
        }
        const BeforeReplaceHook hook([&](const QString& staged) {
            QCOMPARE(staged, path);
            if (action == "replace") {
                QVERIFY(tree.file("new.tmp", newer));
                QVERIFY(::rename(QFile::encodeName(tree.path("new.tmp")).constData(),
                                 QFile::encodeName(path).constData()) == 0);
            } else if (action == "write") {
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.seek(file.size() - 10));
                file.write("0123456789");
            } else if (action == "delete") {
                QVERIFY(QFile::remove(path));
            } else if (action == "move") {
                QVERIFY(QFile::rename(path, tree.path("moved.jpg")));
            }
        });
        const FileReduction result = ReduceJpegFile(path, allOptions());
        QCOMPARE(result.skipped, action == "hold" ? ReductionSkip::Busy : ReductionSkip::Changed);
        QCOMPARE(result.saved, qint64(0));
        QCOMPARE(tree.exists("a.jpg"), exists);
        if (action == "replace")
            QCOMPARE(tree.read("a.jpg"), newer);
        if (action == "hold")
            QCOMPARE(tree.read("a.jpg"), kWithApp1);
        if (action == "write")
            QVERIFY(tree.read("a.jpg").endsWith("0123456789"));
        for (const QString& name : tree.names(""))
            QVERIFY2(!name.startsWith(QLatin1String(kTemporaryPrefix)), qPrintable(name));
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
            QCOMPARE(CommitReducedFiles(staged).size(), std::size_t(1));
            QCOMPARE(tree.read("a.jpg").size(), twoComments.size() - 14);
            QVERIFY(ReduceJpegFile(tree.path("b.jpg"), allOptions(), &staged).rewritten);
            QCOMPARE(staged.size(), std::size_t(1));
        }
        QCOMPARE(tree.read("b.jpg"), kWithApp1);
        QCOMPARE(tree.names(""), (QStringList{"a.jpg", "b.jpg"}));
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
