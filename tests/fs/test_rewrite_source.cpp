// What a rewrite holds of the file it replaces, and when it may skip the
// flush before the rename.

#include "common/file_fixtures.h"
#include "common/test_registry.h"
#include "fs/rename_order.h"
#include "fs/rewrite_source.h"

#include <QTest>

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>

using namespace std::chrono_literals;

class TestRewriteSource : public QObject {
    Q_OBJECT
private slots:
    // A power cut after the rename must not leave an empty file: only a
    // journalled ext4 in data=ordered mode with auto_da_alloc puts the data
    // first by itself. ext4 without a journal lists no data= mode.
    void renameOrderFromExt4Options_data() {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<bool>("ordered");
        const QByteArray common = "rw\nbsddf\ndelalloc\nbarrier\n";
        QTest::newRow("journal, data=ordered") << common + "auto_da_alloc\ndata=ordered\n" << true;
        QTest::newRow("no journal") << common + "auto_da_alloc\n" << false;
        QTest::newRow("data=writeback") << common + "auto_da_alloc\ndata=writeback\n" << false;
        QTest::newRow("data=journal") << common + "auto_da_alloc\ndata=journal\n" << false;
        QTest::newRow("noauto_da_alloc") << common + "noauto_da_alloc\ndata=ordered\n" << false;
        QTest::newRow("nothing readable") << QByteArray() << false;
    }
    void renameOrderFromExt4Options() {
        QFETCH(QByteArray, options);
        QFETCH(bool, ordered);
        QCOMPARE(Ext4OptionsOrderRename(options), ordered);
    }

    void renameNotOrderedOnOtherFileSystems() {
        const FileDescriptor shm(::open("/dev/shm", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!shm.valid())
            QSKIP("no /dev/shm here");
        QVERIFY(!OrdersReplacingRename(shm.get()));
    }

    // A file another rewrite holds is busy; waited for, the file that holder
    // put under the name is the one taken, as a run after it would.
    void busyFileWaitedForIsTakenAfresh_data() {
        QTest::addColumn<bool>("released");
        QTest::newRow("held for good: busy after the wait") << false;
        QTest::newRow("released with a new file in place") << true;
    }
    void busyFileWaitedForIsTakenAfresh() {
        QFETCH(bool, released);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "old"));
        const QByteArray name = QFile::encodeName(tree.path("a.jpg"));
        FileDescriptor holder(::open(name.constData(), O_RDONLY | O_CLOEXEC));
        QVERIFY(::flock(holder.get(), LOCK_EX | LOCK_NB) == 0);
        QCOMPARE(RewriteSource(tree.path("a.jpg")).state(), RewriteSource::State::Busy);
        std::thread other([&] {
            if (!released)
                return;
            std::this_thread::sleep_for(50ms);
            tree.file("b.jpg", "new");
            ::rename(QFile::encodeName(tree.path("b.jpg")).constData(), name.constData());
            holder.close();
        });
        const RewriteSource source(tree.path("a.jpg"), released ? 5000ms : 100ms);
        other.join();
        QCOMPARE(source.state(),
                 released ? RewriteSource::State::Ready : RewriteSource::State::Busy);
        if (released) {
            char bytes[4] = {};
            QCOMPARE(::pread(source.fd(), bytes, 3, 0), ssize_t(3));
            QCOMPARE(QByteArray(bytes), QByteArray("new"));
            QVERIFY(source.stillInPlace());
        }
    }
};

KELVASTO_REGISTER_TEST(TestRewriteSource)
#include "test_rewrite_source.moc"
