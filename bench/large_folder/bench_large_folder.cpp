// The main window (offscreen, built as the program builds it) with a large
// folder of pictures in the file list.
//   bench_large_folder populate DIR COUNT
//     fills DIR with COUNT pictures (hard links to a few small JPEG files,
//     named IMG_000001.jpg ...; every twentieth name in capitals ".JPEG"),
//     one sidecar file (".xmp", hidden by the filter) per twenty pictures
//     and three sub-folders.
//   bench_large_folder start VIEW
//     starts the program with the pictures in its start folder (HOME) in the
//     view VIEW (large, small, list, details) and prints the time from the
//     start of the process until the list is loaded and laid out and the
//     window is idle, the longest event-loop turn after the window showed
//     (how long a click would have waited), the processor time and the peak
//     memory of the whole process.
//   bench_large_folder change VIEW BIG SMALL
//     the folder change BIG -> SMALL -> BIG, each to idle; then a click on
//     SMALL 100 ms after one on BIG, while BIG is still loading.
//   bench_large_folder selectall DIR [VIEW]
//     selects all of DIR's items by the pop-up menu's "mark all" and starts the
//     defect scan on the selection; prints how long the selection and the
//     start blocked the window before the progress bar moved.
//   bench_large_folder thumbnails VIEW
//     starts the program as "start" does with the pictures shown as
//     thumbnails (VIEW large or small); prints how many thumbnails were asked
//     for and made until the window was idle, then after a scroll to the
//     middle of the list and after a fast scroll over all of it (a hundred
//     steps 10 ms apart, as a drag of the scroll bar), with the time to idle
//     and the memory of the process.

#include "../common/message_closer.h"
#include "app/program_start.h"
#include "fs/folder_entries.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/file_list/file_list_filter.h"
#include "ui/file_list/folder_loader.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/language/language_chooser.h"
#include "ui/main_window/hauptform.h"
#include "ui/widgets/radio_group.h"

#include "ui/file_list/list_thumbnails.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

QElapsedTimer g_sinceStart; // started first thing in main()

double nowSeconds() {
    return double(g_sinceStart.nsecsElapsed()) / 1e9;
}

// KELVASTO_BENCH_PERF_CTL names the control fifo of a `perf record -D -1
// --control fifo:...` around the benchmark: only the timed step is recorded.
void perfControl(const char* command) {
    const QByteArray fifo = qgetenv("KELVASTO_BENCH_PERF_CTL");
    if (fifo.isEmpty())
        return;
    QFile control(QString::fromLocal8Bit(fifo));
    if (control.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        control.write(QByteArray(command) + '\n');
}

qint64 threadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A "Vm...:" line of the process's status, in megabytes.
long statusMegabytes(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

long peakMegabytes() {
    return statusMegabytes("VmHWM:");
}

long currentMegabytes() {
    return statusMegabytes("VmRSS:");
}

// A small picture of its own colour, so that thumbnails can be made of it.
QByteArray smallJpeg(int variant) {
    QImage picture(160, 120, QImage::Format_RGB32);
    picture.fill(QColor::fromHsv(variant * 80, 200, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", 80);
    return bytes;
}

int populate(const QString& dir, int count) {
    if (!QDir().mkpath(dir))
        return 1;
    // A file may carry only so many names (65,000 on ext4): a few sources.
    QStringList sources;
    for (int variant = 0; variant < 4; ++variant) {
        sources << dir + QStringLiteral("/.source%1").arg(variant);
        QFile file(sources.last());
        if (!file.open(QIODevice::WriteOnly) || file.write(smallJpeg(variant)) < 0)
            return 1;
    }
    for (int i = 1; i <= count; ++i) {
        const QString base = dir + QStringLiteral("/IMG_%1").arg(i, 6, 10, QLatin1Char('0'));
        const QString name =
            base + (i % 20 == 0 ? QStringLiteral(".JPEG") : QStringLiteral(".jpg"));
        const QByteArray source = QFile::encodeName(sources.at(i % sources.size()));
        if (::link(source.constData(), QFile::encodeName(name).constData()) != 0)
            return 1;
        if (i % 20 == 1) {
            QFile sidecar(base + QStringLiteral(".xmp"));
            if (!sidecar.open(QIODevice::WriteOnly))
                return 1;
        }
    }
    for (const char* sub : {"Auswahl", "Bearbeitet", "Urlaub"})
        if (!QDir(dir).mkdir(QString::fromLatin1(sub)))
            return 1;
    for (const QString& source : sources)
        QFile::remove(source);
    return 0;
}

// What the JPEG filter shows of `dir`: its pictures and folders. Counted
// with the list's own reader, so the count costs the process little memory.
int expectedItems(const QString& dir) {
    FolderRequest request;
    request.folder = dir;
    request.masks = ParseListMasks(FilterMask(kJpegFilter));
    FolderEntryReader reader(dir, FolderEntryReader::Detail::KindOnly);
    std::vector<FolderEntry> entries;
    int shown = 0;
    for (bool more = reader.isOpen(); more;) {
        entries.clear();
        more = reader.read(entries, 4096);
        for (const FolderEntry& entry : entries)
            shown += FolderRequestAdmits(request, entry) ? 1 : 0;
    }
    return shown;
}

// The event-loop turns: a timer due every few milliseconds fires once the
// loop gets to it, so the gap between two firings is what a turn cost (wall
// clock, and the GUI thread's own processor time, which a busy machine does
// not inflate), to within its interval. A 0-ms timer would keep the GUI
// thread busy itself and take a core from the reader.
constexpr int kTickMs = 4;

class TurnClock : public QObject {
public:
    TurnClock() {
        m_timer.setInterval(kTickMs);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    }
    void start() {
        m_last = nowSeconds();
        m_lastCpu = threadCpuNs();
        m_turns.clear();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }

    struct Turn {
        double end;   // seconds since the start of the process
        double ms;    // wall clock
        double cpuMs; // GUI thread
    };
    // The end of the last turn that did work (2 ms of processor time or more).
    double lastBusyEnd(double from) const {
        double end = from;
        for (const Turn& turn : m_turns)
            if (turn.cpuMs >= 2.0)
                end = std::max(end, turn.end);
        return end;
    }
    // KELVASTO_BENCH_TURNS=1: every turn that did work, for a look at what
    // the window was busy with.
    void printBusy() const {
        for (const Turn& turn : m_turns)
            if (turn.cpuMs >= 2.0)
                std::printf("  turn ending at %.3f s: %.1f ms, GUI thread %.1f ms\n", turn.end,
                            turn.ms, turn.cpuMs);
    }
    Turn longest() const {
        Turn longest{0, 0, 0};
        for (const Turn& turn : m_turns)
            if (turn.ms > longest.ms)
                longest = turn;
        return longest;
    }

private:
    void tick() {
        const double now = nowSeconds();
        const qint64 cpu = threadCpuNs();
        m_turns.push_back(
            {now, std::max(0.0, (now - m_last) * 1e3 - kTickMs), double(cpu - m_lastCpu) / 1e6});
        m_last = now;
        m_lastCpu = cpu;
    }

    QTimer m_timer;
    double m_last = 0;
    qint64 m_lastCpu = 0;
    std::vector<Turn> m_turns;
};

// One turn of the event loop, sleeping until something happens (the clock's
// timer at the latest): a loop that polled would itself count as a busy
// GUI thread and never see the window idle.
void turnOnce() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void waitMs(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        turnOnce();
}

bool listShows(THauptForm& window, const QString& dir, int expected) {
    ShellFileList& list = *window.fileList();
    QAbstractItemView* view = list.activeView();
    return QDir::cleanPath(list.folder()) == QDir::cleanPath(dir) && list.isLoaded() &&
           view->model()->rowCount(view->rootIndex()) == expected;
}

// Lets the event loop run until the list shows `dir` whole and nothing has
// worked for a second; returns the end of the last busy turn (seconds since
// the start of the process), or -1 when the list never got there.
double runUntilIdle(THauptForm& window, TurnClock& clock, const QString& dir, int expected,
                    double from) {
    QElapsedTimer limit;
    limit.start();
    while (!listShows(window, dir, expected)) {
        if (limit.elapsed() > 120000)
            return -1;
        turnOnce();
    }
    double quietSince = nowSeconds();
    while (nowSeconds() - std::max(quietSince, clock.lastBusyEnd(from)) < 1.0)
        turnOnce();
    quietSince = clock.lastBusyEnd(from);
    return quietSince;
}

QAction* viewAction(THauptForm& window, const QString& view) {
    const char* name = view == QLatin1String("large")     ? "TB01LargeIcon"
                       : view == QLatin1String("small")   ? "TB01SmallIcon"
                       : view == QLatin1String("details") ? "TB01Report"
                                                          : "TB01List";
    return window.control<QAction>(QString::fromLatin1(name));
}

void printLayout(THauptForm& window) {
    QAbstractItemView* view = window.fileList()->activeView();
    std::printf("  laid out: %d rows, scroll range %d x %d\n",
                view->model()->rowCount(view->rootIndex()), view->horizontalScrollBar()->maximum(),
                view->verticalScrollBar()->maximum());
}

// The window in `view` on a 1280 x 1024 screen.
void showWindowIn(THauptForm& window, const QString& view) {
    viewAction(window, view)->trigger();
    window.setGeometry(0, 0, 1280, 1024);
    window.show();
}

int start(const QString& view, int expected) {
    ProgramWindows windows = CreateProgramWindows();
    THauptForm& window = *windows.main;
    showWindowIn(window, view);
    const double shown = nowSeconds();
    TurnClock clock;
    clock.start();
    const double idle = runUntilIdle(window, clock, QDir::homePath(), expected, shown);
    if (idle < 0)
        return 1;
    const TurnClock::Turn longest = clock.longest();
    std::printf("start %s: %d items, idle after %.2f s (window shown at %.2f s), longest turn "
                "%.0f ms (GUI thread %.0f ms), processor %.2f s, peak %ld MB\n",
                qPrintable(view), expected, idle, shown, longest.ms, longest.cpuMs,
                processCpuSeconds(), peakMegabytes());
    printLayout(window);
    if (qEnvironmentVariableIsSet("KELVASTO_BENCH_TURNS"))
        clock.printBusy();
    return 0;
}

int change(const QString& view, const QString& big, const QString& small) {
    const int home = expectedItems(QDir::homePath());
    const int bigItems = expectedItems(big);
    const int smallItems = expectedItems(small);
    ProgramWindows windows = CreateProgramWindows();
    THauptForm& window = *windows.main;
    showWindowIn(window, view);
    TurnClock clock;
    clock.start();
    if (runUntilIdle(window, clock, QDir::homePath(), home, nowSeconds()) < 0)
        return 1;
    for (const auto& [dir, items] :
         {std::pair{big, bigItems}, std::pair{small, smallItems}, std::pair{big, bigItems}}) {
        clock.start();
        const double from = nowSeconds();
        if (!window.selectTreeFolder(dir))
            return 1;
        const double idle = runUntilIdle(window, clock, dir, items, from);
        if (idle < 0)
            return 1;
        std::printf("change %s to %s (%d items): idle after %.2f s, longest turn %.0f ms\n",
                    qPrintable(view), qPrintable(QDir(dir).dirName()), items, idle - from,
                    clock.longest().ms);
    }
    clock.start();
    if (!window.selectTreeFolder(small))
        return 1;
    runUntilIdle(window, clock, small, smallItems, nowSeconds());
    clock.start();
    window.selectTreeFolder(big);
    waitMs(100);
    const double from = nowSeconds();
    window.selectTreeFolder(small);
    const double idle = runUntilIdle(window, clock, small, smallItems, from);
    if (idle < 0)
        return 1;
    std::printf("change %s to %s while %s loads: idle after %.2f s, longest turn %.0f ms\n",
                qPrintable(view), qPrintable(QDir(small).dirName()),
                qPrintable(QDir(big).dirName()), idle - from, clock.longest().ms);
    std::printf("  processor %.2f s, peak %ld MB\n", processCpuSeconds(), peakMegabytes());
    return 0;
}

// Turns the event loop until the thumbnails are all made and delivered and
// the list is painted; returns when that was (seconds since the start).
double waitForThumbnails(THauptForm& window) {
    const ListThumbnails& pictures = *window.fileList()->thumbnails();
    QElapsedTimer limit;
    limit.start();
    for (;;) {
        // A paint may ask for more: idle twice, a turn apart.
        window.fileList()->activeView()->viewport()->repaint();
        if (pictures.isIdle()) {
            const double at = nowSeconds();
            waitMs(20);
            window.fileList()->activeView()->viewport()->repaint();
            if (pictures.isIdle())
                return at;
        }
        if (limit.elapsed() > 120000)
            return -1;
        waitMs(5);
    }
}

int visibleItems(QAbstractItemView* view) {
    const QRect inView = view->viewport()->rect();
    int visible = 0;
    for (int row = 0, rows = view->model()->rowCount(view->rootIndex()); row < rows; ++row)
        visible += inView.intersects(view->visualRect(view->model()->index(row, 0))) ? 1 : 0;
    return visible;
}

void printThumbnails(const char* step, const ListThumbnails::Counts& before,
                     const ListThumbnails::Counts& after, double seconds, int visible) {
    std::printf("  %s: %d in view, %d asked for, %d made, %d unreadable, %d dropped, queue at most "
                "%d; idle after %.2f s; memory %ld MB\n",
                step, visible, after.requested - before.requested, after.made - before.made,
                after.failed - before.failed, after.dropped - before.dropped, after.mostQueued,
                seconds, currentMegabytes());
}

int thumbnails(const QString& view, int expected) {
    ProgramWindows windows = CreateProgramWindows();
    THauptForm& window = *windows.main;
    // As the options dialog turns them on.
    window.fileList()->setThumbnails(true);
    showWindowIn(window, view);
    const double shown = nowSeconds();
    TurnClock clock;
    clock.start();
    if (runUntilIdle(window, clock, QDir::homePath(), expected, shown) < 0)
        return 1;
    const double ready = waitForThumbnails(window);
    if (ready < 0)
        return 1;
    const ListThumbnails& pictures = *window.fileList()->thumbnails();
    QAbstractItemView* list = window.fileList()->activeView();
    std::printf("thumbnails %s: %d items, list idle and thumbnails made after %.2f s, longest "
                "turn %.0f ms, peak %ld MB\n",
                qPrintable(view), expected, std::max(ready, clock.lastBusyEnd(shown)),
                clock.longest().ms, peakMegabytes());
    printThumbnails("start", {}, pictures.counts(), ready, visibleItems(list));

    QScrollBar* bar = list->verticalScrollBar();
    ListThumbnails::Counts before = pictures.counts();
    double from = nowSeconds();
    bar->setValue(bar->maximum() / 2);
    double idle = waitForThumbnails(window);
    printThumbnails("scroll to the middle", before, pictures.counts(), idle - from,
                    visibleItems(list));

    before = pictures.counts();
    from = nowSeconds();
    clock.start();
    constexpr int kSteps = 100;
    for (int step = 0; step <= kSteps; ++step) {
        bar->setValue(int(qint64(bar->maximum()) * step / kSteps));
        list->viewport()->repaint();
        waitMs(10);
    }
    idle = waitForThumbnails(window);
    printThumbnails("fast scroll to the end", before, pictures.counts(), idle - from,
                    visibleItems(list));
    std::printf("  longest turn while scrolling %.0f ms, processor %.2f s, peak %ld MB\n",
                clock.longest().ms, processCpuSeconds(), peakMegabytes());
    return 0;
}

int selectAll(const QString& dir, const QString& view) {
    const int items = expectedItems(dir);
    ProgramWindows windows = CreateProgramWindows();
    THauptForm& window = *windows.main;
    showWindowIn(window, view);
    TurnClock clock;
    clock.start();
    if (!window.selectTreeFolder(dir) || runUntilIdle(window, clock, dir, items, nowSeconds()) < 0)
        return 1;
    window.control<QCheckBox>(QStringLiteral("GrafikRekursiv"))->setChecked(false);
    window.control<RadioGroup>(QStringLiteral("RadioGroup_DDS01"))->setItemIndex(0);

    const double selectFrom = nowSeconds();
    window.control<QAction>(QStringLiteral("PM01_DateienMarkieren"))->trigger();
    const double selected = nowSeconds() - selectFrom;
    const int selectedCount = window.fileList()->selectedCount();
    clock.start();
    waitMs(300);
    const double afterSelect = clock.longest().ms;

    auto* bar = window.control<QProgressBar>(QStringLiteral("ProgressBar_DDS01"));
    auto* abort = window.control<QAbstractButton>(QStringLiteral("BitBtn_DDS02"));
    double moved = -1;
    double movedCpu = -1;
    double startedAt = 0;
    qint64 startedCpu = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
        if (value > 0 && moved < 0) {
            moved = nowSeconds() - startedAt;
            movedCpu = double(threadCpuNs() - startedCpu) / 1e6;
            perfControl("disable");
            abort->click();
        }
    });
    MessageCloser closer;
    perfControl("enable");
    startedAt = nowSeconds();
    startedCpu = threadCpuNs();
    window.control<QAbstractButton>(QStringLiteral("BitBtn_DDS01"))->click();
    std::printf(
        "select all %d items (%s): %.0f ms, longest turn after it %.0f ms; defect scan on the "
        "selection: progress moved after %.0f ms (GUI thread %.0f ms)\n",
        selectedCount, qPrintable(view), selected * 1e3, afterSelect, moved * 1e3, movedCpu);
    std::printf("  processor %.2f s, peak %ld MB\n", processCpuSeconds(), peakMegabytes());
    return moved >= 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    // The start is timed from here; what the benchmark must know of the
    // start folder is counted before.
    const bool starting = argc == 3 && (std::string_view(argv[1]) == "start" ||
                                        std::string_view(argv[1]) == "thumbnails");
    const int startItems = starting ? expectedItems(QDir::homePath()) : 0;
    g_sinceStart.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvasto"));
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("populate"))
        return populate(args[2], args[3].toInt());
    if (args.size() == 3 && args[1] == QLatin1String("start"))
        return start(args[2], startItems);
    if (args.size() == 5 && args[1] == QLatin1String("change"))
        return change(args[2], args[3], args[4]);
    if (args.size() == 3 && args[1] == QLatin1String("thumbnails"))
        return thumbnails(args[2], startItems);
    if ((args.size() == 3 || args.size() == 4) && args[1] == QLatin1String("selectall"))
        return selectAll(args[2], args.value(3, QStringLiteral("list")));
    std::fputs("usage: bench_large_folder populate DIR COUNT | start VIEW | change VIEW BIG SMALL "
               "| selectall DIR [VIEW] | thumbnails VIEW\n",
               stderr);
    return 2;
}
