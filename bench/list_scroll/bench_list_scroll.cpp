// Scrolling the file list through a folder of photographs in the large-icon
// view with thumbnails on, in the real main window (offscreen), while the
// thumbnails are made in the background from an empty cache.
//   bench_list_scroll populate DIR COUNT PHOTO...
//     fills DIR with COUNT hard links (copies where linking fails) named
//     photo-00001.jpg ..., taking the photographs in turn.
//   bench_list_scroll scroll DIR
//     opens DIR in the file list, then scrolls from the top to the bottom
//     half a page every 16 ms (a steady drag), resting one second every
//     25 steps (a user looking), and back to the top in whole pages.
//     Measures how long the GUI thread is blocked: a 0-ms timer fires once per
//     event-loop turn, so the gap between two firings is the time the loop
//     spent on one turn's work. A frame is a turn that painted the list.
//     Prints the frames, their longest and 99th-percentile time (wall clock,
//     and the GUI thread's own CPU time, which a busy machine does not
//     inflate), every turn over 50 ms, how long opening the folder blocked
//     the loop, and how many thumbnails were made.

#include "../common/bench_window_settings.h"
#include "settings/app_settings.h"
#include "ui/file_list/list_thumbnails.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/main_window/hauptform.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kTargetMs = 50.0;

int populate(const QString& dir, int count, const QStringList& photos) {
    if (photos.isEmpty() || !QDir().mkpath(dir))
        return 1;
    for (int i = 0; i < count; ++i) {
        const QString source = photos.at(i % photos.size());
        const QString target = dir + QStringLiteral("/photo-%1.jpg").arg(i + 1, 5, 10, QChar('0'));
        if (::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) !=
                0 &&
            !QFile::copy(source, target))
            return 1;
    }
    return 0;
}

// The event-loop turns, as gaps between firings of a 0-ms timer; a turn in
// which the list's viewport painted is a frame.
class TurnClock : public QObject {
public:
    explicit TurnClock(QWidget* viewport) : m_viewport(viewport) {
        viewport->installEventFilter(this);
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
    }
    void start() {
        m_clock.start();
        m_last = 0;
        m_lastCpu = threadCpuNs();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_viewport && event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

    std::vector<double> frames;   // milliseconds, wall clock
    std::vector<double> frameCpu; // milliseconds the GUI thread ran in each
    double longestTurn = 0;
    double longestTurnCpu = 0;
    long turns = 0;
    long turnsOver = 0; // longer than the target
    struct SlowTurn {
        double atSeconds;
        double ms;
        double cpuMs;
        bool painted;
    };
    std::vector<SlowTurn> slowTurns;

private:
    void tick() {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 cpuNow = threadCpuNs();
        const double ms = double(now - m_last) / 1e6;
        const double cpuMs = double(cpuNow - m_lastCpu) / 1e6;
        m_last = now;
        m_lastCpu = cpuNow;
        ++turns;
        longestTurn = std::max(longestTurn, ms);
        longestTurnCpu = std::max(longestTurnCpu, cpuMs);
        if (ms > kTargetMs) {
            ++turnsOver;
            slowTurns.push_back({double(now) / 1e9, ms, cpuMs, m_painted});
        }
        if (m_painted) {
            frames.push_back(ms);
            frameCpu.push_back(cpuMs);
        }
        m_painted = false;
    }

    static qint64 threadCpuNs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
    }

    QWidget* m_viewport;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_lastCpu = 0;
    bool m_painted = false;
};

struct Spread {
    double longest = 0;
    double p99 = 0;
    long over = 0; // above the target
};

Spread spreadOf(std::vector<double> ms) {
    Spread spread;
    if (ms.empty())
        return spread;
    std::sort(ms.begin(), ms.end());
    spread.longest = ms.back();
    spread.p99 = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    spread.over = long(ms.end() - std::upper_bound(ms.begin(), ms.end(), kTargetMs));
    return spread;
}

void waitMs(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

int countReady(ShellFileList& list, const QString& dir) {
    const QStringList names = QDir(dir).entryList(QDir::Files);
    int ready = 0;
    for (const QString& name : names)
        ready += list.thumbnails()->isReady(dir + QLatin1Char('/') + name) ? 1 : 0;
    return ready;
}

int scroll(const QString& dir) {
    THauptForm window([] {
        AppSettings s = BenchWindowSettings(QDir::homePath() + QStringLiteral("/work"));
        s.ListeVorschaubilder = true;
        return s;
    });
    window.resize(1280, 1024);
    window.show();
    window.control<QAction>(QStringLiteral("TB01LargeIcon"))->trigger();
    ShellFileList& list = *window.fileList();
    QListView* view = list.iconView();
    const int expected = int(QDir(dir).entryList(QDir::Files).size());

    // Opening the folder is measured apart: the listing arrives in batches
    // and the view lays the items out as they come.
    auto openingClock = std::make_unique<TurnClock>(view->viewport());
    openingClock->start();
    QElapsedTimer opening;
    opening.start();
    if (!window.selectTreeFolder(dir))
        return 1;
    // The listing arrives in batches; the scroll starts once all is there.
    while (opening.elapsed() < 60000 &&
           (!list.isLoaded() || view->model()->rowCount(view->rootIndex()) < expected))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const double openSeconds = double(opening.elapsed()) / 1e3;
    const int listed = view->model()->rowCount(view->rootIndex());
    waitMs(300);
    openingClock->stop();
    const double openingLongest = openingClock->longestTurn;
    const double openingLongestCpu = openingClock->longestTurnCpu;
    openingClock.reset();

    QScrollBar* bar = view->verticalScrollBar();
    TurnClock clock(view->viewport());
    QElapsedTimer scrolling;
    scrolling.start();
    clock.start();
    int steps = 0;
    while (bar->value() < bar->maximum()) {
        bar->setValue(bar->value() + std::max(1, bar->pageStep() / 2));
        ++steps;
        waitMs(steps % 25 == 0 ? 1000 : 16);
    }
    const double downSeconds = double(scrolling.elapsed()) / 1e3;
    waitMs(1000);
    while (bar->value() > bar->minimum()) {
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        ++steps;
        waitMs(16);
    }
    waitMs(1000);
    clock.stop();
    const double totalSeconds = double(scrolling.elapsed()) / 1e3;

    const Spread wall = spreadOf(clock.frames);
    const Spread cpu = spreadOf(clock.frameCpu);
    std::printf("folder: %d photographs listed of %d, listing took %.1f s, longest event-loop "
                "turn meanwhile %.1f ms (GUI thread CPU %.1f ms)\n",
                listed, expected, openSeconds, openingLongest, openingLongestCpu);
    std::printf("scroll: %d steps over %d px, down %.1f s, down and up %.1f s\n", steps,
                bar->maximum(), downSeconds, totalSeconds);
    std::printf("thumbnails made meanwhile: %d\n", countReady(list, dir));
    std::printf("frames (event-loop turns that painted the list): %zu\n", clock.frames.size());
    std::printf("longest frame: %.1f ms (target <= %.0f)\n", wall.longest, kTargetMs);
    std::printf("99th percentile frame: %.1f ms\n", wall.p99);
    std::printf("frames over %.0f ms: %ld\n", kTargetMs, wall.over);
    // Wall time includes waiting for a core; the GUI thread's own CPU time
    // is what the program spent, whatever else the machine runs.
    std::printf("GUI thread CPU per frame: longest %.1f ms, 99th percentile %.1f ms, over %.0f "
                "ms: %ld\n",
                cpu.longest, cpu.p99, kTargetMs, cpu.over);
    std::printf("all event-loop turns: %ld, longest %.1f ms (CPU %.1f ms), over %.0f ms: %ld\n",
                clock.turns, clock.longestTurn, clock.longestTurnCpu, kTargetMs, clock.turnsOver);
    for (const TurnClock::SlowTurn& turn : clock.slowTurns)
        std::printf("  turn over %.0f ms at %.2f s: %.1f ms, GUI thread CPU %.1f ms%s\n", kTargetMs,
                    turn.atSeconds, turn.ms, turn.cpuMs, turn.painted ? " (painted the list)" : "");
    return listed == expected ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("populate"))
        return populate(args[2], args[3].toInt(), args.mid(4));
    if (args.size() == 3 && args[1] == QLatin1String("scroll"))
        return scroll(args[2]);
    std::fputs("usage: bench_list_scroll populate DIR COUNT PHOTO... | scroll DIR\n", stderr);
    return 2;
}
