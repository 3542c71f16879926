// Reading a folder for the file list: what each kind of entry reads as, in
// pieces of any size.

#include "common/file_fixtures.h"
#include "common/test_registry.h"
#include "fs/folder_entries.h"

#include <QTest>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::vector<FolderEntry> readAll(const QString& folder, FolderEntryReader::Detail detail,
                                 int piece) {
    FolderEntryReader reader(folder, detail);
    std::vector<FolderEntry> entries;
    while (reader.read(entries, piece)) {
    }
    return entries;
}

const FolderEntry* find(const std::vector<FolderEntry>& entries, const QString& name) {
    const auto at = std::find_if(entries.begin(), entries.end(),
                                 [&](const FolderEntry& e) { return e.name == name; });
    return at == entries.end() ? nullptr : &*at;
}

} // namespace

Q_DECLARE_METATYPE(FolderEntryKind)
Q_DECLARE_METATYPE(FolderEntryReader::Detail)

class TestFolderEntries : public QObject {
    Q_OBJECT
private slots:
    void kindsSizesAndNames_data() {
        QTest::addColumn<FolderEntryReader::Detail>("detail");
        QTest::addColumn<int>("piece");
        QTest::newRow("full, one at a time") << FolderEntryReader::Detail::Full << 1;
        QTest::newRow("full, all at once") << FolderEntryReader::Detail::Full << 1000;
        QTest::newRow("kinds only") << FolderEntryReader::Detail::KindOnly << 3;
    }
    void kindsSizesAndNames() {
        QFETCH(FolderEntryReader::Detail, detail);
        QFETCH(int, piece);
        fixtures::Tree tree;
        QVERIFY(tree.file("bild.jpg", QByteArray(1234, 'x')));
        QVERIFY(tree.folder("Ordner"));
        QVERIFY(tree.fifo("pipe.jpg"));
        auto link = [&](const char* target, const char* name) {
            return ::symlink(target, QFile::encodeName(tree.path(name)).constData()) == 0;
        };
        QVERIFY(link("Ordner", "zum Ordner"));
        QVERIFY(link("bild.jpg", "zum Bild.jpg"));
        QVERIFY(link("nirgends", "ins Leere.jpg"));
        // A name that is no UTF-8: it reads, but not faithfully.
        const QByteArray odd = QFile::encodeName(tree.root()) + QByteArray("caf\xe9.jpg");
        QVERIFY(::close(::creat(odd.constData(), 0600)) == 0);

        const std::vector<FolderEntry> entries = readAll(tree.root(), detail, piece);
        QCOMPARE(entries.size(), std::size_t(7));
        const bool full = detail == FolderEntryReader::Detail::Full;
        struct Expected {
            const char* name;
            FolderEntryKind kind;
        };
        for (const Expected& e : {Expected{"bild.jpg", FolderEntryKind::File},
                                  Expected{"Ordner", FolderEntryKind::Folder},
                                  Expected{"pipe.jpg", FolderEntryKind::System},
                                  Expected{"zum Ordner", FolderEntryKind::Folder},
                                  Expected{"zum Bild.jpg", FolderEntryKind::File},
                                  Expected{"ins Leere.jpg", FolderEntryKind::System}}) {
            const FolderEntry* entry = find(entries, QString::fromUtf8(e.name));
            QVERIFY2(entry, e.name);
            QCOMPARE(entry->kind, e.kind);
            QVERIFY(entry->faithful);
            QCOMPARE(entry->ascii, true);
        }
        const FolderEntry* picture = find(entries, "bild.jpg");
        QCOMPARE(picture->size, full ? 1234 : 0);
        // A link is always looked at, to know what it leads to.
        QCOMPARE(find(entries, "zum Bild.jpg")->size, 1234);
        QCOMPARE(picture->modifiedMs != 0, full);
        const auto mangled = std::find_if(entries.begin(), entries.end(),
                                          [](const FolderEntry& e) { return !e.faithful; });
        QVERIFY(mangled != entries.end());
        QVERIFY(!mangled->ascii);
        // The temporary folder cannot remove a name it cannot decode.
        QCOMPARE(::unlink(odd.constData()), 0);
    }

    void unreadableFolderReadsNothing() {
        fixtures::Tree tree;
        FolderEntryReader reader(tree.path("fehlt"));
        QVERIFY(!reader.isOpen());
        QCOMPARE(reader.error(), ENOENT);
        std::vector<FolderEntry> entries;
        QVERIFY(!reader.read(entries, 10));
        QVERIFY(entries.empty());
    }
};

KELVASTO_REGISTER_TEST(TestFolderEntries)
#include "test_folder_entries.moc"
