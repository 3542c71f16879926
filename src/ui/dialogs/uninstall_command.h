#pragma once
// The uninstall command: after a confirmation it writes and starts the script
// that removes the program's files once the program has ended, deletes the
// program's settings key (that key only) and ends the program at once,
// without its close step, so nothing is written after the key is gone.
//
// The program file and the final exit come from one replaceable place, so
// tests run the command on a fake program folder and never end for real:
//
//     UninstallOverride fake({folder + "/kelvasto", [&] { ended = true; }});

#include <QString>

#include <functional>

struct UninstallTarget {
    QString programFile;              // the running program file
    std::function<void()> endProgram; // ends the process at once
    QString dpkgInfoFolder = {};      // dpkg's package lists; empty: the system's
};

// HMenuDateiProgDeInstClick. When the program file came with a package, or
// this user may not delete it (a system-wide installation), it says so and
// changes nothing.
void UninstallProgram();

class UninstallOverride {
public:
    explicit UninstallOverride(UninstallTarget target);
    ~UninstallOverride();
    UninstallOverride(const UninstallOverride&) = delete;
    UninstallOverride& operator=(const UninstallOverride&) = delete;

private:
    UninstallTarget m_previous;
};
