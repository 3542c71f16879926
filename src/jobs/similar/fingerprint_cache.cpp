#include "jobs/similar/fingerprint_cache.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

#include <array>

namespace {

// "KlvS": names this program's cache among SQLite files.
constexpr qint64 kApplicationId = 0x4B6C7653;
// Stores are committed in batches of this many: a kill loses at most these.
constexpr int kRowsPerCommit = 256;
// Another program writing the file may hold it this long before we give up.
constexpr int kBusyMilliseconds = 2000;
constexpr int kDigestBytes = 32;
// JPEG's own limit for a side.
constexpr qint64 kMaxSide = 65535;

const char* const kSchema =
    "CREATE TABLE pictures ("
    " path BLOB PRIMARY KEY NOT NULL,"
    " size INTEGER NOT NULL, mtime INTEGER NOT NULL, inode INTEGER NOT NULL,"
    " bits INTEGER, centre INTEGER, width INTEGER, height INTEGER, digest BLOB)";

const char* const kColumns[] = {"path",   "size",  "mtime",  "inode", "bits",
                                "centre", "width", "height", "digest"};

QString newConnectionName() {
    static QAtomicInt counter;
    return QStringLiteral("kelvasto-similar-cache-%1").arg(counter.fetchAndAddRelaxed(1));
}

bool isInteger(const QVariant& value) {
    return value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int;
}

// A picture size as a JPEG header can declare it.
bool isSide(const QVariant& value) {
    return isInteger(value) && value.toLongLong() >= 1 && value.toLongLong() <= kMaxSide;
}

} // namespace

struct FingerprintCache::State {
    QString file;
    QString connection = newConnectionName();
    bool open = false;
    bool rebuilt = false;
    bool busy = false;               // another program held the file: leave it alone
    int pending = 0;                 // stores since the last commit
    std::optional<QSqlQuery> lookup; // prepared once: the second run asks per file

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }

    // SQLITE_BUSY and SQLITE_LOCKED say nothing about the file's state.
    bool ran(QSqlQuery& query, bool done) {
        const QString code = query.lastError().nativeErrorCode();
        if (!done && (code == QLatin1String("5") || code == QLatin1String("6")))
            busy = true;
        return done;
    }

    bool exec(const QString& statement) {
        QSqlQuery query(db());
        return ran(query, query.exec(statement));
    }

    std::optional<qint64> pragma(const char* name) {
        QSqlQuery query(db());
        if (!ran(query, query.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(name)))) ||
            !query.next())
            return std::nullopt;
        const QVariant value = query.value(0);
        if (!isInteger(value))
            return std::nullopt;
        return value.toLongLong();
    }

    // The file holds nothing yet: a new file, or one whose creation was
    // killed before its first commit.
    bool isEmpty() {
        QSqlQuery query(db());
        return ran(query, query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) &&
               query.next() && query.value(0).toLongLong() == 0;
    }

    bool hasOurTable() {
        QSqlQuery query(db());
        if (!ran(query, query.exec(QStringLiteral("PRAGMA table_info(pictures)"))))
            return false;
        QStringList names;
        while (query.next())
            names.append(query.value(1).toString());
        QStringList expected;
        for (const char* column : kColumns)
            expected.append(QLatin1String(column));
        return names == expected;
    }

    bool passesCheck() {
        QSqlQuery query(db());
        return ran(query, query.exec(QStringLiteral("PRAGMA quick_check"))) && query.next() &&
               query.value(0).toString() == QLatin1String("ok") && !query.next();
    }

    bool trustworthy() {
        const std::optional<qint64> id = pragma("application_id");
        const std::optional<qint64> version = pragma("user_version");
        return id == kApplicationId && version == kVersion && hasOurTable() && passesCheck();
    }

    bool createSchema() {
        QSqlDatabase database = db();
        if (!database.transaction())
            return false;
        const bool made = exec(QString::fromLatin1(kSchema)) &&
                          exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId)) &&
                          exec(QStringLiteral("PRAGMA user_version = %1").arg(kVersion));
        if (!made) {
            database.rollback();
            return false;
        }
        return database.commit();
    }

    bool connect() {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        database.setDatabaseName(file);
        database.setConnectOptions(
            QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyMilliseconds));
        return database.open();
    }

    void disconnect() {
        lookup.reset();
        {
            QSqlDatabase database = db();
            if (database.isOpen())
                database.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }

    void removeFiles() {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(file + QLatin1String(suffix));
    }

    // Opens the file and decides whether to trust it; false when it cannot
    // be used even after a rebuild.
    bool openTrusted() {
        if (!connect())
            return false;
        // The write-ahead log keeps the file whole through kills and power cuts.
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        if (isEmpty())
            return createSchema();
        return trustworthy();
    }

    void open_() {
        if (file.isEmpty() || !QDir().mkpath(QFileInfo(file).absolutePath()))
            return;
        open = openTrusted();
        if (!open && busy) {
            disconnect();
            return;
        }
        if (!open) {
            disconnect();
            removeFiles();
            rebuilt = true;
            open = connect() && (exec(QStringLiteral("PRAGMA journal_mode=WAL")), true) &&
                   createSchema();
        }
        if (!open) {
            disconnect();
            return;
        }
        // Paths of the user's pictures are nobody else's business.
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // The stored values (bits, centre, width, height, digest) of `path` when
    // its row has exactly `key`.
    std::optional<std::array<QVariant, 5>> findRow(const QString& path, const PictureFileKey& key) {
        if (!lookup) {
            lookup.emplace(db());
            lookup->setForwardOnly(true);
            lookup->prepare(
                QStringLiteral("SELECT size, mtime, inode, bits, centre, width, height, digest"
                               " FROM pictures WHERE path = ?"));
        }
        QSqlQuery& query = *lookup;
        query.bindValue(0, QFile::encodeName(path));
        std::optional<std::array<QVariant, 5>> values;
        if (query.exec() && query.next() && isInteger(query.value(0)) &&
            isInteger(query.value(1)) && isInteger(query.value(2)) &&
            query.value(0).toLongLong() == key.size &&
            query.value(1).toLongLong() == key.modifiedNs &&
            quint64(query.value(2).toLongLong()) == key.inode)
            values = std::array<QVariant, 5>{query.value(3), query.value(4), query.value(5),
                                             query.value(6), query.value(7)};
        // An open statement would keep a read snapshot of the file.
        query.finish();
        return values;
    }

    void beginBatch() {
        if (pending == 0)
            db().transaction();
    }

    void endStore() {
        if (++pending >= kRowsPerCommit)
            commit();
    }

    void commit() {
        if (pending == 0)
            return;
        pending = 0;
        QSqlDatabase database = db();
        if (!database.commit())
            database.rollback();
    }

    void bindKey(QSqlQuery& query, const QString& path, const PictureFileKey& key) {
        query.addBindValue(QFile::encodeName(path));
        query.addBindValue(qint64(key.size));
        query.addBindValue(qint64(key.modifiedNs));
        query.addBindValue(qint64(key.inode));
    }
};

FingerprintCache::FingerprintCache(const QString& file) : m_state(std::make_unique<State>()) {
    m_state->file = file;
    m_state->open_();
}

FingerprintCache::~FingerprintCache() {
    if (!m_state->open)
        return;
    flush();
    m_state->disconnect();
}

QString FingerprintCache::defaultFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/Kelvasto/similar-pictures.sqlite");
}

bool FingerprintCache::isOpen() const {
    return m_state->open;
}

bool FingerprintCache::wasRebuilt() const {
    return m_state->rebuilt;
}

std::optional<PictureFingerprint> FingerprintCache::fingerprint(const QString& path,
                                                                const PictureFileKey& key) {
    if (!m_state->open)
        return std::nullopt;
    const auto row = m_state->findRow(path, key);
    if (!row)
        return std::nullopt;
    const QVariant &bits = (*row)[0], &centre = (*row)[1], &width = (*row)[2], &height = (*row)[3];
    if (!isInteger(bits) || !isInteger(centre) || !isSide(width) || !isSide(height))
        return std::nullopt;
    return PictureFingerprint{quint64(bits.toLongLong()), quint64(centre.toLongLong()),
                              width.toInt(), height.toInt()};
}

QByteArray FingerprintCache::pictureDigest(const QString& path, const PictureFileKey& key,
                                           PictureFingerprint& size) {
    if (!m_state->open)
        return {};
    const auto row = m_state->findRow(path, key);
    if (!row)
        return {};
    const QVariant& digest = (*row)[4];
    if (digest.typeId() != QMetaType::QByteArray || !isSide((*row)[2]) || !isSide((*row)[3]))
        return {};
    const QByteArray bytes = digest.toByteArray();
    if (bytes.size() != kDigestBytes)
        return {};
    size = {0, 0, (*row)[2].toInt(), (*row)[3].toInt()};
    return bytes;
}

void FingerprintCache::storeFingerprint(const QString& path, const PictureFileKey& key,
                                        const PictureFingerprint& fingerprint) {
    if (!m_state->open)
        return;
    m_state->beginBatch();
    QSqlQuery query(m_state->db());
    // A row of the same file keeps its digest; a row of another file loses it.
    query.prepare(QStringLiteral(
        "INSERT INTO pictures (path, size, mtime, inode, bits, centre, width, height)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT(path) DO UPDATE SET"
        " digest = CASE WHEN size = excluded.size AND mtime = excluded.mtime"
        " AND inode = excluded.inode THEN digest END,"
        " size = excluded.size, mtime = excluded.mtime, inode = excluded.inode,"
        " bits = excluded.bits, centre = excluded.centre, width = excluded.width,"
        " height = excluded.height"));
    m_state->bindKey(query, path, key);
    query.addBindValue(qint64(fingerprint.bits));
    query.addBindValue(qint64(fingerprint.centre));
    query.addBindValue(fingerprint.width);
    query.addBindValue(fingerprint.height);
    query.exec();
    m_state->endStore();
}

void FingerprintCache::storeDigest(const QString& path, const PictureFileKey& key,
                                   const QByteArray& digest, int width, int height) {
    if (!m_state->open || digest.size() != kDigestBytes)
        return;
    m_state->beginBatch();
    QSqlQuery query(m_state->db());
    query.prepare(QStringLiteral(
        "INSERT INTO pictures (path, size, mtime, inode, width, height, digest)"
        " VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT(path) DO UPDATE SET"
        " bits = CASE WHEN size = excluded.size AND mtime = excluded.mtime"
        " AND inode = excluded.inode THEN bits END,"
        " centre = CASE WHEN size = excluded.size AND mtime = excluded.mtime"
        " AND inode = excluded.inode THEN centre END,"
        " size = excluded.size, mtime = excluded.mtime, inode = excluded.inode,"
        " width = excluded.width, height = excluded.height, digest = excluded.digest"));
    m_state->bindKey(query, path, key);
    query.addBindValue(width);
    query.addBindValue(height);
    query.addBindValue(digest);
    query.exec();
    m_state->endStore();
}

void FingerprintCache::flush() {
    if (m_state->open)
        m_state->commit();
}
