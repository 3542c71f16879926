#include "common/file_fixtures.h"
#include "common/picture_files_for_tests.h"
#include "common/test_registry.h"
#include "imaging/thumbnail_cache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QImageWriter>
#include <QTest>

#include <sys/stat.h>

namespace {

QString mtimeOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return QString::number(static_cast<long long>(info.st_mtime));
}

void setMTime(const QString& path, const QDateTime& when) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
}

QRgb middlePixel(const QImage& image) {
    return image.pixel(image.width() / 2, image.height() / 2);
}

} // namespace

class TestThumbnailCache : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir(ThumbnailCacheRoot()).removeRecursively(); }

    // Name, place, attributes and size as file managers expect them.
    void entryFollowsTheSharedRules_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("flavour");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("thumbnail");
        QTest::addColumn<QByteArray>("uriTail");
        QTest::newRow("normal, wide")
            << "IMG 1.jpg" << int(ThumbnailFlavour::Normal) << QSize(640, 480) << QSize(128, 96)
            << QByteArray("/IMG%201.jpg");
        QTest::newRow("large, tall")
            << "Bäume.jpg" << int(ThumbnailFlavour::Large) << QSize(300, 600) << QSize(128, 256)
            << QByteArray("/B%C3%A4ume.jpg");
        QTest::newRow("small is not enlarged")
            << "klein.bmp" << int(ThumbnailFlavour::Normal) << QSize(60, 40) << QSize(60, 40)
            << QByteArray("/klein.bmp");
    }
    void entryFollowsTheSharedRules() {
        QFETCH(QString, name);
        QFETCH(int, flavour);
        QFETCH(QSize, picture);
        QFETCH(QSize, thumbnail);
        QFETCH(QByteArray, uriTail);
        fixtures::Tree tree;
        const QString path = tree.path(name);
        testing::writePictureFile(path, testing::photoLike(picture.width(), picture.height()));

        const QImage image = ThumbnailFor(path, ThumbnailFlavour(flavour));
        QCOMPARE(image.size(), thumbnail);

        const QByteArray uri = ThumbnailUri(path);
        QVERIFY(uri.startsWith("file:///"));
        QVERIFY2(uri.endsWith(uriTail), uri.constData());
        const QString folder =
            ThumbnailCacheRoot() + (flavour == int(ThumbnailFlavour::Large) ? "large/" : "normal/");
        const QString entry =
            folder + QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
        QCOMPARE(ThumbnailCachePath(path, ThumbnailFlavour(flavour)), entry);
        const QImage stored(entry, "png");
        QCOMPARE(stored.text("Thumb::URI").toUtf8(), uri);
        QCOMPARE(stored.text("Thumb::MTime"), mtimeOf(path));
        QCOMPARE(stored.size(), thumbnail);
        QCOMPARE(QFileInfo(entry).permissions() & 0x0777,
                 QFileDevice::ReadUser | QFileDevice::WriteUser); // 0600
        // Written under a temporary name and renamed: nothing else is left.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void changedFileGetsANewThumbnail() {
        fixtures::Tree tree;
        const QString path = tree.path("a.jpg");
        testing::writePictureFile(path, testing::photoLike(400, 300, 1));
        setMTime(path, QDateTime::currentDateTime().addSecs(-100));
        const QImage first = ThumbnailFor(path, ThumbnailFlavour::Normal);
        QVERIFY(!first.isNull());

        QImage black(400, 300, QImage::Format_RGB32);
        black.fill(Qt::black);
        QVERIFY(black.save(path, "JPEG"));
        setMTime(path, QDateTime::currentDateTime());
        QVERIFY(FindCachedThumbnail(path, ThumbnailFlavour::Normal).image.isNull()); // stale
        const QImage second = ThumbnailFor(path, ThumbnailFlavour::Normal);
        QVERIFY(qGray(middlePixel(second)) < 10);
        const QImage stored(ThumbnailCachePath(path, ThumbnailFlavour::Normal), "png");
        QCOMPARE(stored.text("Thumb::MTime"), mtimeOf(path));
    }

    void brokenPictureLandsInTheFailFolder() {
        fixtures::Tree tree;
        const QString path = tree.path("broken.jpg");
        QVERIFY(tree.file("broken.jpg", "not a picture at all"));
        setMTime(path, QDateTime::currentDateTime().addSecs(-100));
        QVERIFY(ThumbnailFor(path, ThumbnailFlavour::Normal).isNull());
        const QString fail = ThumbnailFailPath(path);
        QVERIFY(fail.startsWith(ThumbnailCacheRoot() + "fail/kelvasto-"));
        const QImage mark(fail, "png");
        QCOMPARE(mark.text("Thumb::URI").toUtf8(), ThumbnailUri(path));
        QCOMPARE(mark.text("Thumb::MTime"), mtimeOf(path));
        QVERIFY(!QFile::exists(ThumbnailCachePath(path, ThumbnailFlavour::Normal)));
        QVERIFY(FindCachedThumbnail(path, ThumbnailFlavour::Normal).failed);

        // Mended, it is tried again.
        testing::writePictureFile(path, testing::photoLike(200, 100));
        setMTime(path, QDateTime::currentDateTime());
        QVERIFY(!FindCachedThumbnail(path, ThumbnailFlavour::Normal).failed);
        QCOMPARE(ThumbnailFor(path, ThumbnailFlavour::Normal).size(), QSize(128, 64));
    }

    // A current thumbnail another program made is used as it is.
    void anotherProgramsThumbnailIsUsed() {
        fixtures::Tree tree;
        const QString path = tree.path("b.jpg");
        testing::writePictureFile(path, testing::photoLike(400, 300));
        const QString entry = ThumbnailCachePath(path, ThumbnailFlavour::Normal);
        QVERIFY(QDir().mkpath(QFileInfo(entry).path()));
        QImage red(128, 96, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.setText("Thumb::URI", QString::fromUtf8(ThumbnailUri(path)));
        red.setText("Thumb::MTime", mtimeOf(path));
        QVERIFY(QImageWriter(entry, "png").write(red));
        QCOMPARE(middlePixel(ThumbnailFor(path, ThumbnailFlavour::Normal)), qRgb(255, 0, 0));
    }
};

KELVASTO_REGISTER_TEST(TestThumbnailCache)
#include "test_thumbnail_cache.moc"
