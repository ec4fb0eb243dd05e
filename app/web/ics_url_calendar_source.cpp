#include "app/web/ics_url_calendar_source.h"

#include "app/ics_document.h"
#include "app/source_problem_list.h"
#include "app/web/calendar_address.h"
#include "app/web/web_calendar_copy.h"
#include "app/web/web_calendar_fetch.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <optional>

namespace nelvo {

namespace {

constexpr const char* noColor = "#8E8E93";
// Coming to the front again within this time starts no new fetch.
constexpr double activationPauseSeconds = 60;

Date systemNow()
{
    using namespace std::chrono;
    const double unix =
        duration_cast<duration<double>>(system_clock::now().time_since_epoch()).count();
    return Date::fromUnixSeconds(unix);
}

bool looksLikeWebPage(const std::string& text, const std::string& contentType)
{
    if (contentType.find("html") != std::string::npos)
        return true;
    const auto first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    return first != std::string::npos && text[first] == '<';
}

struct Failure {
    std::string cause;
    bool isNoAnswer = false;
};

struct Entry {
    std::string address;
    std::string id;
    std::string host;
    std::optional<WebCalendarCopy> copy;
    std::shared_ptr<const IcsDocument> document;  // the copy, read
    bool isConfirmed = false;                     // a fetch of this run brought or confirmed it
    std::optional<Failure> failure;               // the last fetch of this run failed
    std::unique_ptr<WebCalendarFetch> fetch;
    std::unique_ptr<WebCalendarFetch> ended;  // the last one, kept until the next starts

    std::string title() const
    {
        if (document && !document->name().empty())
            return document->name();
        return copy ? copy->name : std::string();
    }
    // "Team (calendar.example.com)", or the host alone before the calendar named itself.
    std::string shownName() const
    {
        const std::string own = title();
        return own.empty() ? host : own + " (" + host + ")";
    }
};

}  // namespace

struct IcsUrlCalendarSource::Impl {
    std::vector<std::string> calendarAddresses;
    std::vector<std::string> addresses;
    TimeZone primaryZone = TimeZone::system();
    Options options;
    std::vector<std::unique_ptr<Entry>> entries;  // in address order

    std::unique_ptr<QNetworkAccessManager> network;
    QThreadPool writer;  // saves copies in order, off the window thread
    std::function<void()> handler;
    bool isWatching = false;
    QTimer notify;                   // one change call for the fetches that end together
    QTimer periodic;                 // the refresh while the window is open
    std::function<void()> whenIdle;  // a wait for the fetches to end
    std::optional<Date> lastRefresh;
    QMetaObject::Connection activation;

    bool isComplete = true;
    SourceProblemList problems;
    std::vector<CalendarState> states;

    Date now() const { return options.now ? options.now() : systemNow(); }

    // Entries for the addresses, keeping those already there with their copies.
    void arrange()
    {
        std::vector<std::unique_ptr<Entry>> next;
        for (const std::string& address : calendarAddresses) {
            auto same = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
                return entry && entry->address == address;
            });
            if (same != entries.end()) {
                next.push_back(std::move(*same));
                continue;
            }
            auto entry = std::make_unique<Entry>();
            entry->address = address;
            entry->id = CalendarAddress::calendarID(address);
            entry->host = CalendarAddress::host(address);
            entry->copy = WebCalendarCopy::load(options.copyFolder, address);
            read(*entry);
            next.push_back(std::move(entry));
        }
        entries = std::move(next);
    }

    std::shared_ptr<const IcsDocument> parse(const Entry& entry, const std::string& text) const
    {
        IcsDocument::Options reading{.calendarID = entry.id,
                                     .origin = entry.shownName(),
                                     .primaryZone = primaryZone,
                                     .addresses = addresses,
                                     .fallbackName = entry.host,
                                     .usesTextName = true};
        return IcsDocument::parse(text, reading);
    }

    void read(Entry& entry)
    {
        entry.document = entry.copy ? parse(entry, entry.copy->text) : nullptr;
        if (entry.document && !entry.document->isCalendar())
            entry.document = nullptr;
    }

    void save(const std::string& address, WebCalendarCopy copy, bool isMetaOnly)
    {
        const std::filesystem::path folder = options.copyFolder;
        // The copy's text is shared with the one in memory only by value: a 304 writes a few
        // lines, a new calendar its text once.
        writer.start([folder, address, copy = std::move(copy), isMetaOnly] {
            if (isMetaOnly)
                copy.saveMeta(folder, address);
            else
                copy.save(folder, address);
        });
    }

    void start(Entry& entry, std::chrono::milliseconds timeout)
    {
        if (entry.fetch && entry.fetch->isRunning())
            return;
        if (!network)
            network = std::make_unique<QNetworkAccessManager>();
        entry.ended = std::move(entry.fetch);
        Entry* target = &entry;
        entry.fetch = std::make_unique<WebCalendarFetch>(
            *network, entry.address, entry.copy ? entry.copy->etag : std::string(),
            entry.copy ? entry.copy->lastModified : std::string(), timeout,
            [this, target](WebCalendarFetch::Result result) { ended(*target, std::move(result)); });
    }

    void ended(Entry& entry, WebCalendarFetch::Result result)
    {
        using Outcome = WebCalendarFetch::Result::Outcome;
        const bool wasConfirmed = entry.isConfirmed;
        const std::optional<Failure> hadFailure = entry.failure;
        bool isChanged = false;
        if (result.outcome == Outcome::unchanged && entry.copy) {
            entry.copy->fetchedAt = now();
            entry.isConfirmed = true;
            entry.failure.reset();
            save(entry.address,
                 WebCalendarCopy{.text = {},
                                 .name = entry.copy->name,
                                 .etag = entry.copy->etag,
                                 .lastModified = entry.copy->lastModified,
                                 .fetchedAt = entry.copy->fetchedAt},
                 true);
        } else if (result.outcome == Outcome::fetched) {
            auto document = parse(entry, result.text);
            if (!document->isCalendar()) {
                entry.failure = Failure{looksLikeWebPage(result.text, result.contentType)
                                            ? "not a calendar (the server sent a web page)"
                                            : "not a calendar"};
            } else {
                WebCalendarCopy copy{.text = std::move(result.text),
                                     .name = document->name(),
                                     .etag = std::move(result.etag),
                                     .lastModified = std::move(result.lastModified),
                                     .fetchedAt = now()};
                save(entry.address, copy, false);
                entry.copy = std::move(copy);
                entry.document = std::move(document);
                entry.isConfirmed = true;
                entry.failure.reset();
                isChanged = true;
            }
        } else if (result.outcome == Outcome::unchanged) {
            // A 304 without a copy to confirm: ask again for the whole calendar.
            entry.failure = Failure{"the server answered without the calendar"};
        } else {
            entry.failure = Failure{result.cause, result.isNoAnswer};
        }
        const bool wasFailing = hadFailure.has_value();
        isChanged = isChanged || wasConfirmed != entry.isConfirmed ||
                    wasFailing != entry.failure.has_value() ||
                    (hadFailure && entry.failure && hadFailure->cause != entry.failure->cause);
        if (isChanged && handler)
            notify.start();
        if (whenIdle && !isFetching())
            whenIdle();
    }

    CalendarState stateOf(const Entry& entry, Date at) const
    {
        CalendarState state;
        state.calendarID = entry.id;
        state.name = entry.shownName();
        const bool hasCopy = entry.document != nullptr;
        if (entry.failure) {
            if (hasCopy) {
                state.kind = CalendarState::Kind::savedCopy;
                state.cause = (entry.failure->isNoAnswer ? "not answering (" : "not reachable (") +
                              entry.failure->cause + ")";
                state.asOf = entry.copy->fetchedAt;
            } else {
                state.kind = entry.failure->isNoAnswer ? CalendarState::Kind::noAnswer
                                                       : CalendarState::Kind::unreadable;
                state.cause = entry.failure->cause;
            }
        } else if (entry.isConfirmed) {
            state.kind = CalendarState::Kind::upToDate;
        } else if (!hasCopy) {
            state.kind = CalendarState::Kind::firstSync;
            state.cause = "not fetched yet";
        } else if (at.seconds - entry.copy->fetchedAt.seconds <
                   std::chrono::duration<double>(options.refreshInterval).count()) {
            // No fresher than the refreshes themselves would keep it.
            state.kind = CalendarState::Kind::upToDate;
        } else {
            state.kind = CalendarState::Kind::savedCopy;
            state.cause = "being brought up to date";
            state.asOf = entry.copy->fetchedAt;
        }
        return state;
    }

    // The calendars that can be read now, with the states and problems of all.
    std::vector<Entry*> survey()
    {
        arrange();
        if (isWatching) {
            // In the window, a calendar not yet fetched in this run (the first read, an
            // address chosen since) is fetched now; its copy serves meanwhile.
            for (const auto& entry : entries) {
                if (!entry->fetch && !entry->isConfirmed && !entry->failure) {
                    lastRefresh = now();
                    start(*entry, options.timeout);
                }
            }
        }
        isComplete = true;
        problems.clear();
        states.clear();
        const Date at = now();
        std::vector<Entry*> readable;
        for (const auto& entry : entries) {
            CalendarState state = stateOf(*entry, at);
            if (!state.isUpToDate()) {
                problems.add({.kind = state.hidesBusyTime()
                                          ? SourceProblem::Kind::unreadableCalendar
                                          : SourceProblem::Kind::staleCalendar,
                              .path = state.name,
                              .message = state.line(at)});
            }
            if (state.hidesBusyTime())
                isComplete = false;
            states.push_back(std::move(state));
            if (entry->document) {
                problems.append(entry->document->problems(), entry->shownName());
                if (entry->document->isTruncated())
                    isComplete = false;
                readable.push_back(entry.get());
            }
        }
        return readable;
    }

    void refreshAll(std::chrono::milliseconds timeout)
    {
        arrange();
        lastRefresh = now();
        for (const auto& entry : entries)
            start(*entry, timeout);
    }

    bool isFetching() const
    {
        return std::any_of(entries.begin(), entries.end(), [](const auto& entry) {
            return entry->fetch && entry->fetch->isRunning();
        });
    }

    CalendarInfo infoOf(const Entry& entry) const
    {
        CalendarInfo info{.id = entry.id,
                          .title = entry.title().empty() ? entry.host : entry.title(),
                          .accountTitle = entry.host,
                          .colorHex = IcsDocument::normalizedColorHex(entry.document->color()),
                          // Chosen by the user as a calendar of their own: it counts as any
                          // other calendar does, whatever the feed says of itself.
                          .isBirthdayOrSubscription = false};
        if (info.colorHex.empty())
            info.colorHex = noColor;
        return info;
    }
};

IcsUrlCalendarSource::IcsUrlCalendarSource(std::vector<std::string> calendarAddresses,
                                           std::vector<std::string> addresses)
    : IcsUrlCalendarSource(std::move(calendarAddresses), std::move(addresses), Options{})
{
}

IcsUrlCalendarSource::IcsUrlCalendarSource(std::vector<std::string> calendarAddresses,
                                           std::vector<std::string> addresses, Options options)
    : m_impl(std::make_unique<Impl>())
{
    Impl& d = *m_impl;
    d.calendarAddresses = std::move(calendarAddresses);
    d.addresses = std::move(addresses);
    d.options = std::move(options);
    if (d.options.copyFolder.empty())
        d.options.copyFolder = WebCalendarCopy::standardFolder();
    d.writer.setMaxThreadCount(1);
    d.notify.setSingleShot(true);
    d.notify.setInterval(0);
    QObject::connect(&d.notify, &QTimer::timeout, &d.notify, [impl = &d] {
        if (impl->handler)
            impl->handler();
    });
    d.periodic.setInterval(d.options.refreshInterval);
    QObject::connect(&d.periodic, &QTimer::timeout, &d.periodic,
                     [impl = &d] { impl->refreshAll(impl->options.timeout); });
}

IcsUrlCalendarSource::~IcsUrlCalendarSource()
{
    QObject::disconnect(m_impl->activation);
    m_impl->entries.clear();  // aborts what still runs
    m_impl->writer.waitForDone();
}

void IcsUrlCalendarSource::setCalendarAddresses(std::vector<std::string> calendarAddresses)
{
    m_impl->calendarAddresses = std::move(calendarAddresses);
}

const std::vector<std::string>& IcsUrlCalendarSource::calendarAddresses() const
{
    return m_impl->calendarAddresses;
}

void IcsUrlCalendarSource::setAddresses(std::vector<std::string> addresses)
{
    if (addresses == m_impl->addresses)
        return;
    m_impl->addresses = std::move(addresses);
    for (const auto& entry : m_impl->entries)
        m_impl->read(*entry);  // participation was read with the old addresses
}

void IcsUrlCalendarSource::setPrimaryZone(const TimeZone& zone)
{
    if (zone == m_impl->primaryZone)
        return;
    m_impl->primaryZone = zone;
    for (const auto& entry : m_impl->entries)
        m_impl->read(*entry);  // floating times and dates were placed in the old zone
}

void IcsUrlCalendarSource::refresh()
{
    m_impl->refreshAll(m_impl->options.timeout);
}

void IcsUrlCalendarSource::waitForRefresh(std::chrono::milliseconds bound)
{
    Impl& d = *m_impl;
    d.refreshAll(bound);
    QEventLoop loop;
    d.whenIdle = [&loop] { loop.quit(); };
    QTimer::singleShot(bound, &loop, &QEventLoop::quit);
    if (d.isFetching())
        loop.exec();
    d.whenIdle = nullptr;
    for (const auto& entry : d.entries) {
        if (entry->fetch && entry->fetch->isRunning())
            entry->fetch->giveUp();
    }
    d.writer.waitForDone();  // the copies are there for the next command
}

bool IcsUrlCalendarSource::isRefreshing() const
{
    return m_impl->isFetching();
}

bool IcsUrlCalendarSource::hasAccess() const
{
    return !m_impl->calendarAddresses.empty();
}

std::vector<CalendarInfo> IcsUrlCalendarSource::calendars()
{
    std::vector<CalendarInfo> out;
    for (const Entry* entry : m_impl->survey())
        out.push_back(m_impl->infoOf(*entry));
    return out;
}

std::vector<CalendarEvent> IcsUrlCalendarSource::events(Date from, Date to)
{
    Impl& d = *m_impl;
    std::vector<CalendarEvent> out;
    std::size_t budget = 500'000;
    for (const Entry* entry : d.survey()) {
        const IcsDocument* documents[] = {entry->document.get()};
        SourceProblemList problems;
        const std::size_t before = out.size();
        const CalendarInfo info = d.infoOf(*entry);
        const bool whole =
            IcsDocument::expand(documents, from, to, info.id, info.colorHex, budget, out, problems);
        budget -= std::min(budget, out.size() - before);
        for (const SourceProblem& problem : problems.list())
            d.isComplete = d.isComplete && !problem.hidesBusyTime();
        d.problems.append(problems, entry->shownName());
        if (!whole) {
            d.isComplete = false;
            d.problems.add({.kind = SourceProblem::Kind::cutShort,
                            .path = entry->shownName(),
                            .message = "too many occurrences in the window in \"" +
                                       entry->shownName() + "\"; the rest are left out"});
            break;
        }
    }
    sortByTime(out);
    return out;
}

void IcsUrlCalendarSource::observeChanges(std::function<void()> handler)
{
    Impl& d = *m_impl;
    d.handler = std::move(handler);
    if (d.isWatching)
        return;
    d.isWatching = true;
    d.periodic.start();
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        d.activation = QObject::connect(app, &QGuiApplication::applicationStateChanged, &d.periodic,
                                        [impl = &d](Qt::ApplicationState state) {
                                            if (state != Qt::ApplicationActive)
                                                return;
                                            if (impl->lastRefresh &&
                                                impl->now().seconds - impl->lastRefresh->seconds <
                                                    activationPauseSeconds)
                                                return;
                                            impl->refreshAll(impl->options.timeout);
                                        });
    }
}

bool IcsUrlCalendarSource::isLastFetchComplete() const
{
    return m_impl->isComplete;
}

std::vector<SourceProblem> IcsUrlCalendarSource::lastFetchProblems() const
{
    return m_impl->problems.list();
}

std::vector<CalendarState> IcsUrlCalendarSource::lastFetchStates() const
{
    return m_impl->states;
}

}  // namespace nelvo
