#pragma once

// Internal to app/eds: included by .cpp files only, never by a public header.
#include "app/eds/eds_fetch.h"

#include <filesystem>
#include <memory>

typedef struct _GMainContext GMainContext;

namespace nelvo {

// The worker thread's side of EdsCalendarSource: the registry, one client per calendar, their
// views, and the fetches, all made with asynchronous calls on the worker's context so that
// calendars are read side by side and one deadline bounds a whole fetch. Every method runs on
// the worker thread.
class EdsReader {
public:
    // `watch`: follow changes (views, registry signals) and fetch again after one.
    EdsReader(std::shared_ptr<EdsShared> shared, GMainContext* context,
              std::filesystem::path syncRecord, bool watch);
    ~EdsReader();
    EdsReader(const EdsReader&) = delete;
    EdsReader& operator=(const EdsReader&) = delete;

    // Whether there is a session bus to find EDS on, without starting one.
    static bool hasSessionBus();

    // Begins making the registry.
    void start();
    // Reads `key`; a fetch of the same key already running is not started again.
    void fetch(const EdsFetchKey& key);
    void setWatching(bool watch);
    // Cancels everything and lets go of EDS; later answers are ignored.
    void shutdown();

private:
    struct Impl;
    std::shared_ptr<Impl> m_impl;
};

}  // namespace nelvo
