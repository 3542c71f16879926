// The fingerprint cache through the search, as a user meets it: a second run
// decodes nothing, a changed picture is fingerprinted anew, and a cache file
// that is damaged, foreign or of another version is made anew, never read.

#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/similar_scenes.h"
#include "common/test_registry.h"
#include "group_names.h"

#include "jobs/similar/find_similar.h"
#include "jobs/similar/fingerprint_cache.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using fixtures::Tree;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 224;

// a.jpg, its half-size copy b.jpg, and c.jpg of another scene.
struct CachedTree {
    Tree tree;
    QString cache = tree.path(QStringLiteral("cache/similar.sqlite"));

    CachedTree() {
        const Picture a = testing::scene(kWidth, kHeight, 5);
        tree.file(QStringLiteral("pics/a.jpg"), testing::jpegAt(a, 90));
        tree.file(QStringLiteral("pics/b.jpg"), testing::variantFile(a, testing::Variant::Half));
        tree.file(QStringLiteral("pics/c.jpg"),
                  testing::jpegAt(testing::scene(kWidth, kHeight, 6), 90));
    }

    SimilarSearchResult search() {
        RecordingJobHost host;
        SimilarSearchOptions options;
        options.startFolders = {tree.path(QStringLiteral("pics"))};
        options.cacheFile = cache;
        return SearchSimilarPictures(host, options);
    }
};

// An SQLite file with the cache's table but another application id or version.
bool writeSqlite(const QString& file, qint64 applicationId, int version) {
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("t"));
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery query(db);
            done = query.exec(QStringLiteral(
                       "CREATE TABLE pictures (path BLOB PRIMARY KEY NOT NULL, size INTEGER NOT "
                       "NULL, mtime INTEGER NOT NULL, inode INTEGER NOT NULL, bits INTEGER, width "
                       "INTEGER, height INTEGER, digest BLOB)")) &&
                   query.exec(QStringLiteral("PRAGMA application_id = %1").arg(applicationId)) &&
                   query.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("t"));
    return done;
}

} // namespace

class TestFingerprintCache : public QObject {
    Q_OBJECT
private slots:
    void secondRunDecodesNothing() {
        CachedTree t;
        const SimilarSearchResult first = t.search();
        QCOMPARE(first.fromCache, 0);
        const SimilarSearchResult second = t.search();
        QCOMPARE(second.checked, 3);
        QCOMPARE(second.fromCache, 3);
        QCOMPARE(GroupNames(second), GroupNames(first));
        QCOMPARE(GroupNames(second), (QStringList{"a.jpg", "b.jpg", ""}));
    }

    // A stale fingerprint would keep grouping a picture that was replaced.
    void changedPictureIsFingerprintedAnew() {
        CachedTree t;
        t.search();
        QVERIFY(t.tree.file(QStringLiteral("pics/b.jpg"),
                            testing::jpegAt(testing::scene(kWidth / 2, kHeight / 2, 77), 90)));
        const SimilarSearchResult again = t.search();
        QCOMPARE(again.fromCache, 2);
        QVERIFY(again.groups.isEmpty());
    }

    void untrustedCacheIsRebuilt_data() {
        QTest::addColumn<int>("damage");
        QTest::newRow("garbage bytes") << 0;
        QTest::newRow("cut in half") << 1;
        QTest::newRow("another program's SQLite file") << 2;
        QTest::newRow("a newer version of the cache") << 3;
        QTest::newRow("a folder in its place") << 4;
    }

    void untrustedCacheIsRebuilt() {
        QFETCH(int, damage);
        CachedTree t;
        t.search();
        QFile::remove(t.cache + QStringLiteral("-wal"));
        QFile::remove(t.cache + QStringLiteral("-shm"));
        const QByteArray whole = t.tree.read(QStringLiteral("cache/similar.sqlite"));
        QVERIFY(!whole.isEmpty());
        QFile::remove(t.cache);
        switch (damage) {
        case 0:
            QVERIFY(t.tree.file(QStringLiteral("cache/similar.sqlite"), QByteArray(5000, 'x')));
            break;
        case 1:
            QVERIFY(
                t.tree.file(QStringLiteral("cache/similar.sqlite"), whole.left(whole.size() / 2)));
            break;
        case 2:
            QVERIFY(writeSqlite(t.cache, 0x12345678, FingerprintCache::kVersion));
            break;
        case 3:
            QVERIFY(writeSqlite(t.cache, 0x4B6C7653, FingerprintCache::kVersion + 1));
            break;
        case 4:
            QVERIFY(t.tree.folder(QStringLiteral("cache/similar.sqlite/inside")));
            break;
        }
        const SimilarSearchResult rebuilt = t.search();
        QCOMPARE(rebuilt.fromCache, 0);
        QCOMPARE(GroupNames(rebuilt), (QStringList{"a.jpg", "b.jpg", ""}));
        if (damage == 4)
            return; // nothing can be kept there; the search still works
        QCOMPARE(t.search().fromCache, 3);
    }

    // The same-picture mode keeps its digests beside the fingerprints.
    void modesShareOneRowPerFile() {
        CachedTree t;
        t.search();
        RecordingJobHost host;
        SimilarSearchOptions options;
        options.startFolders = {t.tree.path(QStringLiteral("pics"))};
        options.cacheFile = t.cache;
        options.samePicture = true;
        QCOMPARE(SearchSimilarPictures(host, options).fromCache, 0);
        QCOMPARE(SearchSimilarPictures(host, options).fromCache, 3);
        QCOMPARE(t.search().fromCache, 3);
    }
};

KELVASTO_REGISTER_TEST(TestFingerprintCache)
#include "test_fingerprint_cache.moc"
