#pragma once

// Internal to app/eds: included by .cpp files only, never by a public header.
#include <chrono>
#include <functional>
#include <memory>

typedef struct _GMainContext GMainContext;

namespace nelvo {

// A thread that runs a GLib main loop on a main context of its own. The desktop's calendars
// are made and used there only, so that EDS's D-Bus replies and signals are dispatched on
// that thread and the window's thread never waits for them.
class EdsWorker {
public:
    EdsWorker();
    // Ends the loop after the jobs already posted. A thread still inside a call that cannot
    // be interrupted after `patience` is left to finish on its own: what it uses is shared.
    ~EdsWorker();
    EdsWorker(const EdsWorker&) = delete;
    EdsWorker& operator=(const EdsWorker&) = delete;

    // Runs `job` on the worker thread, after the jobs posted before it.
    void post(std::function<void()> job);
    // The worker's context: sources attached to it run on the worker thread.
    GMainContext* context() const;

    static constexpr std::chrono::milliseconds patience{500};

private:
    struct State;
    std::shared_ptr<State> m_state;
};

}  // namespace nelvo
