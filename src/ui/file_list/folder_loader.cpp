#include "ui/file_list/folder_loader.h"

#include "ui/file_list/file_list_filter.h"
#include "ui/file_list/list_order.h"

#include <QMutex>

#include <algorithm>
#include <atomic>
#include <chrono>

namespace {

// Entries read between two looks at the abandon flag and the clock.
constexpr int kChunk = 256;
// The first batch: enough to fill a window, early.
constexpr std::size_t kFirstBatch = 500;
constexpr auto kLongestWait = std::chrono::milliseconds(250);

} // namespace

bool FolderRequestAdmits(const FolderRequest& request, const FolderEntry& entry) {
    const bool hidden =
        entry.kind == FolderEntryKind::System || entry.name.startsWith(QLatin1Char('.'));
    if (hidden && !request.showHidden)
        return false;
    return ListMasksAdmit(request.masks, entry.name, entry.kind == FolderEntryKind::Folder);
}

struct FolderLoader::Run {
    FolderRequest request;
    Delivery delivery = Delivery::Growing;
    std::atomic<bool> abandoned{false};
    QMutex mutex; // guards what follows
    Batches batches;
    bool ended = false;
    bool readable = true;
    bool posted = false; // a hand-over is on its way to the GUI thread
};

FolderLoader::FolderLoader(BatchHandler batches, EndHandler end, QObject* parent)
    : QObject(parent), m_batches(std::move(batches)), m_end(std::move(end)) {}

FolderLoader::~FolderLoader() {
    abandon();
    m_pool.waitForDone();
}

void FolderLoader::start(const FolderRequest& request, Delivery delivery) {
    abandon();
    auto run = std::make_shared<Run>();
    run->request = request;
    run->delivery = delivery;
    m_run = run;
    m_pool.start([run, this] { read(run, this); });
}

void FolderLoader::abandon() {
    if (m_run)
        m_run->abandoned = true;
    m_run.reset();
}

void FolderLoader::read(const std::shared_ptr<Run>& run, FolderLoader* loader) {
    using Clock = std::chrono::steady_clock;
    FolderEntryReader reader(run->request.folder);
    std::vector<FolderEntry> chunk;
    std::vector<FolderEntry> batch;
    std::size_t handedOver = 0;
    Clock::time_point lastHandOver = Clock::now();
    bool more = reader.isOpen();
    while (more) {
        if (run->abandoned)
            return;
        chunk.clear();
        more = reader.read(chunk, kChunk);
        for (FolderEntry& entry : chunk)
            if (FolderRequestAdmits(run->request, entry))
                batch.push_back(std::move(entry));
        const bool due = run->delivery == Delivery::Growing && !batch.empty() &&
                         (batch.size() >= std::max(kFirstBatch, handedOver) ||
                          Clock::now() - lastHandOver >= kLongestWait);
        if (due || !more) {
            std::sort(batch.begin(), batch.end(), ListOrderLess);
            handedOver += batch.size();
            handOver(run, loader, &batch, !more, reader.isOpen());
            batch = {};
            lastHandOver = Clock::now();
        }
    }
    if (!reader.isOpen())
        handOver(run, loader, nullptr, true, false);
}

void FolderLoader::handOver(const std::shared_ptr<Run>& run, FolderLoader* loader,
                            std::vector<FolderEntry>* batch, bool ended, bool readable) {
    const QMutexLocker lock(&run->mutex);
    if (batch && !batch->empty())
        run->batches.push_back(std::move(*batch));
    run->ended = ended;
    run->readable = readable;
    if (run->posted || run->abandoned)
        return;
    run->posted = true;
    // The loader outlives every read: its destructor waits for them.
    QMetaObject::invokeMethod(
        loader, [loader, run] { loader->take(run); }, Qt::QueuedConnection);
}

void FolderLoader::take(const std::shared_ptr<Run>& run) {
    if (run != m_run)
        return; // abandoned meanwhile
    Batches batches;
    bool ended = false;
    bool readable = true;
    {
        const QMutexLocker lock(&run->mutex);
        batches.swap(run->batches);
        ended = run->ended;
        readable = run->readable;
        run->posted = false;
    }
    if (ended)
        m_run.reset();
    if (!batches.empty())
        m_batches(std::move(batches));
    if (ended)
        m_end(readable);
}
