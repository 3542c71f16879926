#pragma once
// MyErrorHandler and the guard that every event handler runs its body in, so
// that no exception ever crosses the Qt event loop.

#include <exception>
#include <utility>

class QObject;

// The application-wide handler for errors no handler caught: the error is
// discarded without a message and the program goes on with the next event.
void MyErrorHandler(QObject* sender, std::exception_ptr error);

// How many errors MyErrorHandler has discarded (for tests and diagnostics).
int DiscardedErrorCount();

// Runs body(); whatever it throws goes to MyErrorHandler.
template <class Body> void GuardedHandler(QObject* sender, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        MyErrorHandler(sender, std::current_exception());
    }
}
