#pragma once
// A pool of Qt tasks of its owner's own, never the global pool, so that the
// owner can wait for exactly its own tasks before its state goes. Its size is
// the owner's choice: background reads wait on the file system rather than
// the processor, so WorkerThreadCount is no measure for them.

#include <QThreadPool>

class OwnedThreadPool : public QThreadPool {
public:
    explicit OwnedThreadPool(int maxThreads) { setMaxThreadCount(maxThreads); }
    // Waits for every task, as the owner's state goes after it.
    ~OwnedThreadPool() override { waitForDone(); }
};
