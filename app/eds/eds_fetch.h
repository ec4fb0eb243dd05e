#pragma once

// Internal to app/eds: what the window's thread and the worker thread share.
#include "app/calendar_state.h"
#include "app/source_problem.h"
#include "kit/core/calendar_event.h"
#include "kit/core/calendar_info.h"
#include "kit/core/date.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class QObject;

namespace nelvo {

// What one fetch reads: a window of time in a zone, from the chosen calendars.
struct EdsFetchKey {
    Date from;
    Date to;
    std::string zone;                                // the primary zone's identifier
    std::optional<std::vector<std::string>> chosen;  // sorted; nothing: every calendar
    std::vector<std::string> addresses;              // the user's own
    std::chrono::milliseconds timeout{0};            // the whole fetch's deadline

    bool operator==(const EdsFetchKey&) const = default;
    // Everything but the window matches, and the window lies inside this one's.
    bool covers(const EdsFetchKey& other) const;
    // As covers, but read with some of other's addresses only: an answer that may stand for
    // other's while that is read. Fewer addresses find fewer declined invitations, so it
    // never shows busy time as free.
    bool standsInFor(const EdsFetchKey& other) const;
};

// A completed fetch.
struct EdsSnapshot {
    EdsFetchKey key;
    std::vector<CalendarEvent> events;  // by start, then end
    std::vector<CalendarState> states;  // one per calendar read, in listing order
    std::vector<SourceProblem> problems;
    std::chrono::steady_clock::time_point taken;

    // The same answer, whenever it was taken.
    bool sameAnswer(const EdsSnapshot& other) const
    {
        return key == other.key && events == other.events && states == other.states &&
               problems == other.problems;
    }
};

// Guarded by `mutex`, written by the worker and read by the window's thread.
struct EdsShared {
    enum class Registry { loading, ready, absent };

    std::mutex mutex;
    std::condition_variable changed;  // a fetch completed, or the registry answered

    Registry registry = Registry::loading;
    std::vector<CalendarInfo> listing;  // every enabled event calendar, in order
    // The addresses the accounts of those calendars know as the user's own, as written,
    // sorted, one per address in any case.
    std::vector<std::string> accountAddresses;
    std::vector<EdsSnapshot> snapshots;  // the latest few, the newest last
    std::vector<EdsFetchKey> running;    // fetches asked for and not yet completed
    std::uint64_t completed = 0;         // fetches completed so far

    // The window's thread's receiver of `onMain` calls; null once the source ends.
    QObject* receiver = nullptr;
    std::function<void()> onMain;  // called on the window's thread only

    static constexpr std::size_t keptSnapshots = 4;

    // Runs onMain on the window's thread soon. Call with `mutex` held.
    void tellMainLocked(const std::shared_ptr<EdsShared>& self);
    const EdsSnapshot* snapshotLocked(const EdsFetchKey& key) const;
    void storeLocked(EdsSnapshot snapshot);
};

}  // namespace nelvo
