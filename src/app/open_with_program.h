#pragma once
// Opening a file with the program the desktop associates with it: xdg-open,
// started detached with the given working folder. The path is passed as one
// argument of a list, never through a shell, so no file name can inject a
// command.
//
// Every detached start goes through one replaceable starter, so tests record
// the call instead of launching a program on the desktop:
//
//     DetachedStartOverride record([&](const DetachedStartCall& call) {
//         calls.append(call);
//         return true;
//     });

#include <QString>
#include <QStringList>

#include <functional>

class QObject;

struct DetachedStartCall {
    QString program;
    QStringList arguments;
    QString workingFolder;
};

// Starts a program detached; true when it started.
using DetachedStarter = std::function<bool(const DetachedStartCall& call)>;

// Asks the desktop to open `path` with its associated program. True when the
// opener started; whether it then finds a program is not known here.
bool OpenWithAssociatedProgram(const QString& path, const QString& workingFolder);

// Asks the desktop to open a link (a web page, a mail address). `failed`
// runs, on `context`'s thread, when no program could open it: the opener did
// not start, or it ended with an error (no program set up for such links).
// The opener runs as a child while it decides; what it starts goes on after.
void OpenLink(const QString& link, QObject* context, std::function<void()> failed);

// Starts a program detached through the same starter (so tests catch it);
// its arguments are a list, never passed through a shell.
bool StartDetachedProgram(const DetachedStartCall& call);

// The starter that really starts programs, the default. A test that runs a
// stand-in opener from its own PATH puts it back with an override.
bool StartForReal(const DetachedStartCall& call);

// Replaces the starter for its lifetime (tests).
class DetachedStartOverride {
public:
    explicit DetachedStartOverride(DetachedStarter starter);
    ~DetachedStartOverride();
    DetachedStartOverride(const DetachedStartOverride&) = delete;
    DetachedStartOverride& operator=(const DetachedStartOverride&) = delete;

private:
    DetachedStarter m_previous;
};
