// The defect scan driven through the real main window (offscreen), as a user
// starts it: folder selected in the tree, "rekursiv" ticked, move mode, a
// click on BitBtn_DDS01, OK on the closing message.
//   bench_window_scan generate DIR FILES [PER_FOLDER]
//     builds DIR with FILES small JPEG files in folders of PER_FOLDER (200);
//     one in ten is cut off, one in ten has data appended behind its end
//     marker.
//   bench_window_scan scan DIR WORK
//     prints "window SECONDS" (click to closing message) and the counts.
//   bench_window_scan abort DIR WORK
//     clicks the abort button from another thread once a third of the files
//     are tested; prints "abort SECONDS" (click posted to closing message).

#include "../common/bench_window_settings.h"
#include "../common/message_closer.h"
#include "settings/app_settings.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/main_window/hauptform.h"
#include "ui/widgets/radio_group.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray smallJpeg(int i) {
    QByteArray bytes(1200 + (i % 7) * 300, 's');
    bytes[0] = char(0xFF);
    bytes[1] = char(0xD8);
    bytes[bytes.size() - 2] = char(0xFF);
    bytes[bytes.size() - 1] = char(0xD9);
    switch (i % 10) {
    case 0:
        return bytes.left(bytes.size() * 6 / 10);
    case 1:
        return bytes + QByteArray(bytes.size() / 20, 'z');
    default:
        return bytes;
    }
}

int generate(const QString& root, int files, int perFolder) {
    for (int i = 0; i < files; ++i) {
        const QString sub =
            root + QStringLiteral("/d%1").arg(i / perFolder, 3, 10, QLatin1Char('0'));
        if (i % perFolder == 0 && !QDir().mkpath(sub))
            return 1;
        QFile file(sub + QStringLiteral("/IMG_%1.jpg").arg(i));
        const QByteArray bytes = smallJpeg(i);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    return 0;
}

std::unique_ptr<THauptForm> makeWindow(const QString& work) {
    auto window = std::make_unique<THauptForm>([work] { return BenchWindowSettings(work); });
    window->resize(1280, 1024);
    window->show();
    return window;
}

bool prepare(THauptForm& window, const QString& root) {
    if (!window.selectTreeFolder(root))
        return false;
    // Let the tree and the file list settle as they would before a user
    // clicks: the listing has arrived and its details are filled in.
    QElapsedTimer settle;
    settle.start();
    while (!window.fileList()->isLoaded() && settle.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    settle.restart();
    while (settle.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    window.control<QCheckBox>(QStringLiteral("GrafikRekursiv"))->setChecked(true);
    window.control<RadioGroup>(QStringLiteral("RadioGroup_DDS01"))->setItemIndex(1);
    window.control<QLineEdit>(QStringLiteral("GrafikZielverzeichnis"))->clear();
    return true;
}

// KELVASTO_BENCH_PAINTS=1: counts paint events per widget during the scan
// (a whole window painted once per file showed up here first).
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++m_counts[QString::fromLatin1(watched->metaObject()->className()) + QLatin1Char(' ') +
                       watched->objectName()];
        return false;
    }
    void print() const {
        for (auto it = m_counts.begin(); it != m_counts.end(); ++it)
            if (it.value() > 10)
                std::printf("paints %6d %s\n", it.value(), qPrintable(it.key()));
    }

private:
    QHash<QString, int> m_counts;
};

int scan(const QString& root, const QString& work, bool abort) {
    auto window = makeWindow(work);
    if (!prepare(*window, root))
        return 1;
    auto* bar = window->control<QProgressBar>(QStringLiteral("ProgressBar_DDS01"));
    auto* abortButton = window->control<QAbstractButton>(QStringLiteral("BitBtn_DDS02"));
    std::atomic<Clock::rep> abortPostedAt{0};
    std::thread clicker;
    if (abort)
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
            if (clicker.joinable() || value < bar->maximum() / 3)
                return;
            // A user's click arrives from outside the main thread's work.
            clicker = std::thread([&] {
                abortPostedAt = Clock::now().time_since_epoch().count();
                QMetaObject::invokeMethod(abortButton, &QAbstractButton::click,
                                          Qt::QueuedConnection);
            });
        });

    MessageCloser closer;
    PaintCounter paints;
    if (qEnvironmentVariableIsSet("KELVASTO_BENCH_PAINTS"))
        qApp->installEventFilter(&paints);
    const Clock::time_point start = Clock::now();
    const double cpuBefore = processCpuSeconds();
    window->control<QAbstractButton>(QStringLiteral("BitBtn_DDS01"))->click();
    const double cpu = processCpuSeconds() - cpuBefore;
    if (clicker.joinable())
        clicker.join();
    const int tested = window->control<QLabel>(QStringLiteral("Label_DDS07"))->text().toInt();
    const int found = window->control<QLabel>(QStringLiteral("Label_DDS02"))->text().toInt();
    const int total = window->control<QLabel>(QStringLiteral("Label_DDS05"))->text().toInt();
    std::printf("files %d tested %d defective %d\n", total, tested, found);
    paints.print();
    if (abort) {
        const Clock::time_point posted{Clock::duration(abortPostedAt.load())};
        const double seconds = std::chrono::duration<double>(closer.shownAt() - posted).count();
        std::printf("abort %.6f\n", seconds);
        return tested < total ? 0 : 1;
    }
    std::printf("window %.6f\n", std::chrono::duration<double>(closer.shownAt() - start).count());
    // What the scan cost the processor, which a busy machine does not inflate
    // as it does the wall clock (compare the tool's user + system time).
    std::printf("window-cpu %.6f\n", cpu);
    return tested == total ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("generate"))
        return generate(args[2], args[3].toInt(), 200);
    if (args.size() == 5 && args[1] == QLatin1String("generate"))
        return generate(args[2], args[3].toInt(), args[4].toInt());
    if (args.size() == 4 && args[1] == QLatin1String("scan"))
        return scan(args[2], args[3], false);
    if (args.size() == 4 && args[1] == QLatin1String("abort"))
        return scan(args[2], args[3], true);
    std::fputs("usage: bench_window_scan generate DIR FILES | scan DIR WORK | abort DIR WORK\n",
               stderr);
    return 2;
}
