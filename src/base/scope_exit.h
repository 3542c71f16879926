#pragma once
// Runs an action when the scope ends, however it ends, so a job that fails
// half-way still unlocks the window and restores the cursor.

#include <utility>

template <class Action> class ScopeExit {
public:
    explicit ScopeExit(Action action) : m_action(std::move(action)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() {
        if (!m_armed)
            return;
        // A destructor must not throw; a clean-up that fails on the way out
        // of an error must not replace that error either.
        try {
            m_action();
        } catch (...) {
        }
    }
    // Runs the action now instead of at the end of the scope.
    void runNow() {
        if (!m_armed)
            return;
        m_armed = false;
        m_action();
    }

private:
    Action m_action;
    bool m_armed = true;
};
