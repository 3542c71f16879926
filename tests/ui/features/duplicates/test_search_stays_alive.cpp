// The window during the duplicate search of one large group: it repaints and
// its abort button works while the group is read, not only once it is done.

#include "common/main_window_fixture.h"

#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

using namespace mwtest;

namespace {

// `count` identical files of `megabytes` MB each: sparse, so they cost no
// disk, but every byte is read and compared like any other.
bool WriteSparseTwins(const QString& root, int count, int megabytes) {
    QDir(root).removeRecursively();
    if (!QDir().mkpath(root))
        return false;
    for (int i = 0; i < count; ++i) {
        const QByteArray path = QFile::encodeName(root + QStringLiteral("/big%1.jpg").arg(i));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool sized = fd >= 0 && ::ftruncate(fd, off_t(megabytes) * 1024 * 1024) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!sized)
            return false;
    }
    return true;
}

} // namespace

class TestSearchStaysAlive : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(0); }

    // Twenty identical files of 50 MB are one group that takes its time.
    // While it is read the window must repaint (a label asked to), and the
    // abort button must end the search before the group's result is in.
    void abortDuringOneLargeGroup() {
        const QString root = testing::homeFolder() + QStringLiteral("/large-group");
        QVERIFY(WriteSparseTwins(root, 20, 50));
        auto window = MakeWindow();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(ShowFolder(*window, root));
        Find<QTabWidget>(*window, "HauptPageControl01")->setCurrentIndex(3);

        auto* status = Find<QLabel>(*window, "DupStatusBar");
        auto* label = Find<QLabel>(*window, "Label_Dup04");
        auto* abort = Find<QAbstractButton>(*window, "BitBtnDupAbbrechen");
        PaintCounter paints(label);
        enum Step { Collecting, AskedToRepaint, Aborted } step = Collecting;
        int paintsBefore = 0;
        QElapsedTimer sinceAbort;
        QTimer poll;
        poll.setInterval(1);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (step == Collecting &&
                status->text() == CatalogueText(CatalogueId::TestForIdentity)) {
                paintsBefore = paints.count;
                label->update();
                step = AskedToRepaint;
            } else if (step == AskedToRepaint && paints.count > paintsBefore) {
                abort->click();
                sinceAbort.start();
                step = Aborted;
            }
        });
        poll.start();
        Find<QAbstractButton>(*window, "BitBtnDupSuchen")->click();
        poll.stop();

        QCOMPARE(step, Aborted);
        // Generous for a loaded machine under the sanitizers; the benchmark
        // measures the real latency.
        QVERIFY2(sinceAbort.elapsed() < 3000, qPrintable(QString::number(sinceAbort.elapsed())));
        QCOMPARE(Find<QListWidget>(*window, "ListBox_Dup02")->count(), 0);
        QCOMPARE(Find<QLabel>(*window, "Label_Dup06")->text(), "0");
        QVERIFY(Find<QTabWidget>(*window, "HauptPageControl01")->isEnabled());
        QDir(root).removeRecursively();
    }
};

KELVASTO_REGISTER_TEST(TestSearchStaysAlive)
#include "test_search_stays_alive.moc"
