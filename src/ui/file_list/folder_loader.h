#pragma once
// Reads the listed folder on a background thread and hands its entries to
// the GUI thread filtered and sorted in list order. A growing read hands them
// over in batches as large as everything before them (or whatever came
// within a quarter of a second): a large folder shows as it comes, the
// window answers all the while, and the list lays itself out anew only a few
// times. A new read abandons the running one at once: its thread stops at
// its next entry and nothing more of it arrives.

#include "fs/folder_entries.h"

#include "base/threads/owned_thread_pool.h"
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

struct FolderRequest {
    QString folder;
    QStringList masks; // ListMasks: which files are shown
    bool showHidden = false;
};

// Whether the list shows `entry` under `request`: hidden entries (a name
// beginning with ".") and system entries only when hidden ones are shown;
// folders always, files by the masks.
bool FolderRequestAdmits(const FolderRequest& request, const FolderEntry& entry);

class FolderLoader : public QObject {
public:
    // Sorted batches, in the order they were read; handed over on the GUI
    // thread, several at once when the GUI thread was busy.
    using Batches = std::vector<std::vector<FolderEntry>>;
    using BatchHandler = std::function<void(Batches&&)>;
    // The read has ended; false when the folder could not be read.
    using EndHandler = std::function<void(bool readable)>;

    FolderLoader(BatchHandler batches, EndHandler end, QObject* parent = nullptr);
    // Abandons the running read and waits for the threads.
    ~FolderLoader() override;

    enum class Delivery {
        Growing, // batches as they come
        Whole,   // one batch at the end (a re-read behind a list being shown)
    };
    void start(const FolderRequest& request, Delivery delivery);
    void abandon();
    bool running() const { return m_run != nullptr; }

private:
    struct Run;
    static void read(const std::shared_ptr<Run>& run, FolderLoader* loader);
    static void handOver(const std::shared_ptr<Run>& run, FolderLoader* loader,
                         std::vector<FolderEntry>* batch, bool ended, bool readable);
    void take(const std::shared_ptr<Run>& run);

    BatchHandler m_batches;
    EndHandler m_end;
    std::shared_ptr<Run> m_run;
    // A read stuck in a slow file system must not hold up the next folder.
    OwnedThreadPool m_pool{4};
};
