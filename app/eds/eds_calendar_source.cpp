#include "app/eds/eds_calendar_source.h"

#include "app/eds/eds_fetch.h"
#include "app/eds/eds_reader.h"
#include "app/eds/eds_sync_record.h"
#include "app/eds/eds_worker.h"

#include <QObject>
#include <QTimer>

#include <algorithm>

namespace nelvo {

namespace {

// A worker that is not stuck answers the waiting caller this long after its deadline.
constexpr std::chrono::milliseconds waitSlack{250};
// The window asks again for what it was answered this long ago, in the background: a
// calendar's state can change without any event changing (a server back online). A calendar
// in trouble is asked about sooner.
constexpr std::chrono::seconds answerAge{30};
constexpr std::chrono::seconds troubledAnswerAge{5};

std::string seconds(std::chrono::milliseconds timeout)
{
    const auto ms = timeout.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

}  // namespace

struct EdsCalendarSource::Impl {
    std::vector<std::string> addresses;
    TimeZone zone = TimeZone::system();
    std::chrono::milliseconds timeout = defaultAnswerTimeout;
    std::optional<std::vector<std::string>> chosen;  // sorted; nothing: every calendar
    bool waitForFetch = false;
    bool waitedForRegistry = false;
    bool askedForRegistry = false;

    std::shared_ptr<EdsShared> shared = std::make_shared<EdsShared>();
    // Declared before the worker: the worker's end waits for its last job, which holds it.
    std::shared_ptr<EdsReader> reader;
    std::unique_ptr<EdsWorker> worker = std::make_unique<EdsWorker>();

    std::vector<CalendarState> states;
    std::vector<SourceProblem> problems;

    std::function<void()> handler;
    QObject context;  // the receiver of the worker's news, on the thread that made the source
    QTimer coalesce;

    Impl()
    {
        reader = std::make_shared<EdsReader>(shared, worker->context(),
                                             EdsSyncRecord::standardPath(), false);
        coalesce.setSingleShot(true);
        coalesce.setInterval(100);
        QObject::connect(&coalesce, &QTimer::timeout, &context, [this] {
            if (handler)
                handler();
        });
        {
            std::lock_guard lock(shared->mutex);
            shared->receiver = &context;
            shared->onMain = [this] {
                if (handler)
                    coalesce.start();
            };
        }
    }

    ~Impl()
    {
        {
            std::lock_guard lock(shared->mutex);
            shared->receiver = nullptr;
        }
        worker->post([reader = std::move(reader)] { reader->shutdown(); });
        worker.reset();
    }

    // The registry is asked for on first use, so that a source made early lists what was
    // added before its first use.
    EdsShared::Registry registryState(bool wait)
    {
        if (!askedForRegistry) {
            askedForRegistry = true;
            if (EdsReader::hasSessionBus()) {
                worker->post([reader = reader] { reader->start(); });
            } else {
                std::lock_guard lock(shared->mutex);
                shared->registry = EdsShared::Registry::absent;
            }
        }
        std::unique_lock lock(shared->mutex);
        if (wait && !waitedForRegistry) {
            waitedForRegistry = true;
            shared->changed.wait_for(
                lock, timeout, [this] { return shared->registry != EdsShared::Registry::loading; });
        }
        return shared->registry;
    }

    std::vector<CalendarInfo> chosenOf(const std::vector<CalendarInfo>& listing) const
    {
        std::vector<CalendarInfo> out;
        for (const CalendarInfo& c : listing)
            if (!chosen || std::binary_search(chosen->begin(), chosen->end(), c.id))
                out.push_back(c);
        return out;
    }

    EdsFetchKey key(Date from, Date to) const
    {
        return {.from = from,
                .to = to,
                .zone = zone.id(),
                .chosen = chosen,
                .addresses = addresses,
                .timeout = timeout};
    }

    // What no fetch answered yet: every chosen calendar with the same cause.
    std::vector<CalendarState> unanswered(const std::string& cause) const
    {
        std::vector<CalendarState> out;
        std::vector<CalendarInfo> listing;
        {
            std::lock_guard lock(shared->mutex);
            listing = shared->listing;
        }
        for (const CalendarInfo& c : chosenOf(listing))
            out.push_back({.calendarID = c.id,
                           .name = c.title + " (" + c.accountTitle + ")",
                           .kind = CalendarState::Kind::noAnswer,
                           .cause = cause,
                           .asOf = {}});
        if (out.empty())
            out.push_back({.calendarID = {},
                           .name = "Desktop calendars",
                           .kind = CalendarState::Kind::noAnswer,
                           .cause = cause,
                           .asOf = {}});
        return out;
    }

    bool isOld(const EdsSnapshot& snapshot) const
    {
        if (waitForFetch)
            return false;
        const bool troubled = std::any_of(snapshot.states.begin(), snapshot.states.end(),
                                          [](const CalendarState& s) { return !s.isUpToDate(); });
        return std::chrono::steady_clock::now() - snapshot.taken >
               (troubled ? troubledAnswerAge : answerAge);
    }

    std::vector<CalendarEvent> events(Date from, Date to)
    {
        states.clear();
        problems.clear();
        if (!(from < to) || (chosen && chosen->empty()) ||
            registryState(waitForFetch) == EdsShared::Registry::absent)
            return {};
        const EdsFetchKey wanted = key(from, to);
        std::unique_lock lock(shared->mutex);
        const EdsSnapshot* current = shared->snapshotLocked(wanted);
        if (!current || isOld(*current)) {
            if (std::find(shared->running.begin(), shared->running.end(), wanted) ==
                shared->running.end()) {
                shared->running.push_back(wanted);
                worker->post([reader = reader, wanted] { reader->fetch(wanted); });
            }
            if (waitForFetch && !current)
                shared->changed.wait_for(lock, timeout + waitSlack,
                                         [&] { return shared->snapshotLocked(wanted) != nullptr; });
        }
        if (shared->registry == EdsShared::Registry::absent)
            return {};
        const EdsSnapshot* found = shared->snapshotLocked(wanted);
        if (!found) {
            // A wider window read earlier answers for a narrower one.
            for (auto it = shared->snapshots.rbegin(); it != shared->snapshots.rend(); ++it)
                if (it->key.covers(wanted)) {
                    found = &*it;
                    break;
                }
        }
        if (!found) {
            // An address just added: the answer read without it stands until the calendars
            // are read again with it, rather than no answer at all.
            for (auto it = shared->snapshots.rbegin(); it != shared->snapshots.rend(); ++it)
                if (it->key.standsInFor(wanted)) {
                    found = &*it;
                    break;
                }
        }
        if (!found) {
            lock.unlock();
            states = unanswered(waitForFetch ? "did not answer in " + seconds(timeout)
                                             : "still being read");
            return {};
        }
        states = found->states;
        problems = found->problems;
        std::vector<CalendarEvent> out;
        for (const CalendarEvent& e : found->events) {
            const bool inside =
                e.start == e.end ? e.start >= from && e.start < to : e.start < to && e.end > from;
            if (inside)
                out.push_back(e);
        }
        return out;
    }
};

EdsCalendarSource::EdsCalendarSource(std::vector<std::string> addresses)
    : m_impl(std::make_unique<Impl>())
{
    setAddresses(std::move(addresses));
}

EdsCalendarSource::~EdsCalendarSource() = default;

void EdsCalendarSource::setAddresses(std::vector<std::string> addresses)
{
    m_impl->addresses = std::move(addresses);
}

void EdsCalendarSource::setPrimaryZone(const TimeZone& zone)
{
    m_impl->zone = zone;
}

void EdsCalendarSource::setAnswerTimeout(std::chrono::milliseconds timeout)
{
    m_impl->timeout = timeout;
}

void EdsCalendarSource::setChosenCalendars(std::optional<std::vector<std::string>> ids)
{
    if (ids) {
        std::sort(ids->begin(), ids->end());
        ids->erase(std::unique(ids->begin(), ids->end()), ids->end());
    }
    m_impl->chosen = std::move(ids);
}

void EdsCalendarSource::setWaitForFetch(bool wait)
{
    m_impl->waitForFetch = wait;
}

bool EdsCalendarSource::hasAccess() const
{
    return m_impl->registryState(m_impl->waitForFetch) != EdsShared::Registry::absent;
}

std::vector<CalendarInfo> EdsCalendarSource::calendars()
{
    m_impl->states.clear();
    m_impl->problems.clear();
    m_impl->registryState(m_impl->waitForFetch);
    std::lock_guard lock(m_impl->shared->mutex);
    return m_impl->chosenOf(m_impl->shared->listing);
}

std::vector<CalendarInfo> EdsCalendarSource::allCalendars()
{
    m_impl->registryState(true);
    std::lock_guard lock(m_impl->shared->mutex);
    return m_impl->shared->listing;
}

std::vector<CalendarEvent> EdsCalendarSource::events(Date from, Date to)
{
    return m_impl->events(from, to);
}

void EdsCalendarSource::observeChanges(std::function<void()> handler)
{
    m_impl->handler = std::move(handler);
    const bool watch = static_cast<bool>(m_impl->handler);
    m_impl->worker->post([reader = m_impl->reader, watch] { reader->setWatching(watch); });
}

bool EdsCalendarSource::isLastFetchComplete() const
{
    return std::none_of(m_impl->states.begin(), m_impl->states.end(),
                        [](const CalendarState& s) { return s.hidesBusyTime(); }) &&
           std::none_of(m_impl->problems.begin(), m_impl->problems.end(),
                        [](const SourceProblem& p) { return p.hidesBusyTime(); });
}

std::vector<SourceProblem> EdsCalendarSource::lastFetchProblems() const
{
    return m_impl->problems;
}

std::vector<CalendarState> EdsCalendarSource::lastFetchStates() const
{
    return m_impl->states;
}

std::vector<std::string> EdsCalendarSource::accountAddresses() const
{
    m_impl->registryState(m_impl->waitForFetch);
    std::lock_guard lock(m_impl->shared->mutex);
    return m_impl->shared->accountAddresses;
}

}  // namespace nelvo
