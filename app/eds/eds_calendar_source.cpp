#include "app/eds/eds_calendar_source.h"

#include "app/eds/eds_event_mapping.h"
#include "app/ics/ics_event_mapping.h"
#include "app/ics_document.h"
#include "app/source_problem_list.h"

#include <QObject>
#include <QTimer>

#include <libecal/libecal.h>
#include <libedataserver/libedataserver.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace nelvo {

namespace {

constexpr const char* noColor = "#8E8E93";

struct GObjectUnref {
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template <class T>
using GRef = std::unique_ptr<T, GObjectUnref>;

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string seconds(std::chrono::milliseconds timeout)
{
    const auto ms = timeout.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// Cancels a blocking EDS call that has not returned in time. The calls are synchronous D-Bus
// calls made on the main thread; the only way to bound them is their GCancellable.
class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds timeout) : m_cancellable(g_cancellable_new())
    {
        m_thread = std::thread([this, timeout] {
            std::unique_lock lock(m_mutex);
            if (!m_cv.wait_for(lock, timeout, [this] { return m_done; })) {
                m_expired = true;
                g_cancellable_cancel(m_cancellable.get());
            }
        });
    }
    ~Deadline()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

    GCancellable* cancellable() const { return m_cancellable.get(); }
    bool expired()
    {
        std::lock_guard lock(m_mutex);
        return m_expired;
    }

private:
    GRef<GCancellable> m_cancellable;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
    bool m_expired = false;
    std::thread m_thread;
};

// Without a session bus there is no EDS. Looking first avoids GLib's autolaunch, which would
// start a bus of its own under X11 and leave it running.
bool hasSessionBus()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    return runtime && *runtime &&
           std::filesystem::exists(std::filesystem::path(runtime) / "bus", ec);
}

// EDS is not installed, or its registry service is not on this bus: nothing to say.
bool meansAbsent(const GError* error)
{
    if (!error)
        return false;
    if (g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
        g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER) ||
        g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND))
        return true;
    // No bus to talk to at all.
    return error->domain == G_IO_ERROR &&
           (error->code == G_IO_ERROR_NOT_FOUND || error->code == G_IO_ERROR_CONNECTION_REFUSED);
}

// The registry is made on a thread of its own, so that a registry that never answers costs
// the caller the timeout and no more. The thread may outlive the source; what they share
// lives here.
struct RegistryAttempt {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    ESourceRegistry* registry = nullptr;  // owned until adopted
    GError* error = nullptr;
    // Told on the main thread when the answer comes after the caller stopped waiting.
    QObject* lateReceiver = nullptr;
    std::function<void()> onLate;

    ~RegistryAttempt()
    {
        if (registry)
            g_object_unref(registry);
        if (error)
            g_error_free(error);
    }
};

void makeRegistry(std::shared_ptr<RegistryAttempt> attempt)
{
    GError* error = nullptr;
    // Its signals go to the global default context (no context is pushed on this thread),
    // which the main thread's event loop runs.
    ESourceRegistry* registry = e_source_registry_new_sync(nullptr, &error);
    std::lock_guard lock(attempt->mutex);
    attempt->registry = registry;
    attempt->error = error;
    attempt->finished = true;
    attempt->done.notify_all();
    if (attempt->lateReceiver) {
        QMetaObject::invokeMethod(attempt->lateReceiver, attempt->onLate, Qt::QueuedConnection);
    }
}

std::string sourceDisplayName(ESource* source)
{
    gchar* name = e_source_dup_display_name(source);
    std::string out = name ? name : "";
    g_free(name);
    return out;
}

std::string_view backendName(ESource* source)
{
    auto* extension =
        static_cast<ESourceBackend*>(e_source_get_extension(source, E_SOURCE_EXTENSION_CALENDAR));
    const char* backend = e_source_backend_get_backend_name(extension);
    return backend ? std::string_view(backend) : std::string_view();
}

// "contacts": the birthdays and anniversaries of the address books.
bool isBirthdays(ESource* source)
{
    return backendName(source) == "contacts";
}

// Birthdays, or published feeds the user subscribed to.
bool isBirthdayOrSubscription(ESource* source)
{
    const std::string_view name = backendName(source);
    return name == "contacts" || name == "webcal" || name == "weather";
}

std::string colorHex(ESource* source)
{
    auto* extension = static_cast<ESourceSelectable*>(
        e_source_get_extension(source, E_SOURCE_EXTENSION_CALENDAR));
    gchar* color = e_source_selectable_dup_color(extension);
    std::string hex = color ? IcsDocument::normalizedColorHex(color) : std::string();
    g_free(color);
    return hex.empty() ? noColor : hex;
}

// The addresses the account behind a calendar knows as the user's own.
std::vector<std::string> accountAddresses(ESourceRegistry* registry, ESource* source)
{
    std::vector<std::string> out;
    auto add = [&out](const char* text) {
        if (text && IcsDocument::isEmailAddress(text))
            out.emplace_back(text);
    };
    if (e_source_has_extension(source, E_SOURCE_EXTENSION_WEBDAV_BACKEND)) {
        auto* webdav = static_cast<ESourceWebdav*>(
            e_source_get_extension(source, E_SOURCE_EXTENSION_WEBDAV_BACKEND));
        gchar* address = e_source_webdav_dup_email_address(webdav);
        add(address);
        g_free(address);
    }
    if (const char* parentUid = e_source_get_parent(source)) {
        if (GRef<ESource> parent{e_source_registry_ref_source(registry, parentUid)}) {
            if (e_source_has_extension(parent.get(), E_SOURCE_EXTENSION_COLLECTION)) {
                auto* collection = static_cast<ESourceCollection*>(
                    e_source_get_extension(parent.get(), E_SOURCE_EXTENSION_COLLECTION));
                gchar* identity = e_source_collection_dup_identity(collection);
                add(identity);
                g_free(identity);
            }
        }
    }
    return out;
}

}  // namespace

struct EdsCalendarSource::Impl {
    struct Calendar {
        CalendarInfo info;
        GRef<ESource> source;
    };
    struct Client {
        GRef<ECalClient> client;
        GRef<ECalClientView> view;
        std::vector<std::string> addresses;  // the user's and the account's, normalized
    };

    std::vector<std::string> addresses;
    TimeZone zone = TimeZone::system();
    std::chrono::milliseconds timeout = defaultAnswerTimeout;

    GRef<ESourceRegistry> registry;
    bool absent = false;
    std::shared_ptr<RegistryAttempt> attempt;  // while the registry has not answered

    std::vector<Calendar> listed;                 // the last listing of chosen calendars, in order
    std::vector<CalendarInfo> everyCalendar;      // the last listing, chosen or not
    std::optional<std::set<std::string>> chosen;  // nothing: every calendar
    std::map<std::string, Client> clients;        // by source UID
    std::set<std::string> retrying;               // calendars that failed to open, tried again soon

    bool isComplete = true;
    SourceProblemList problems;

    std::function<void()> handler;
    QObject context;  // main-thread receiver of late answers
    QTimer coalesce;

    Impl()
    {
        coalesce.setSingleShot(true);
        coalesce.setInterval(100);
        QObject::connect(&coalesce, &QTimer::timeout, &context, [this] {
            if (handler)
                handler();
        });
    }

    ~Impl()
    {
        if (attempt) {
            std::lock_guard lock(attempt->mutex);
            attempt->lateReceiver = nullptr;
            attempt->onLate = nullptr;
        }
        for (auto& [uid, client] : clients)
            disconnect(client);
        if (registry)
            g_signal_handlers_disconnect_by_data(registry.get(), this);
    }

    // `calendar`: the calendar's name as problems show it; empty for the whole store.
    void report(SourceProblem::Kind kind, const std::string& calendar, std::string message)
    {
        SourceProblem problem{.kind = kind, .path = calendar, .message = std::move(message)};
        isComplete = isComplete && !problem.hidesBusyTime();
        problems.add(std::move(problem));
    }

    void startFetch()
    {
        isComplete = true;
        problems.clear();
    }

    void changed()
    {
        if (handler)
            coalesce.start();
    }

    // ---- The registry --------------------------------------------------------------------

    bool ensureRegistry()
    {
        if (registry)
            return true;
        if (absent)
            return false;
        if (!attempt) {
            if (!hasSessionBus()) {
                absent = true;
                return false;
            }
            attempt = std::make_shared<RegistryAttempt>();
            std::thread(makeRegistry, attempt).detach();
        }
        std::unique_lock lock(attempt->mutex);
        // The caller waits once; later calls only look, and a late answer is announced.
        const auto wait = attempt->lateReceiver ? std::chrono::milliseconds(0) : timeout;
        if (!attempt->done.wait_for(lock, wait, [this] { return attempt->finished; })) {
            // Answer later: the model then reads again.
            attempt->lateReceiver = &context;
            attempt->onLate = [this] { lateRegistry(); };
            report(SourceProblem::Kind::unreadableCalendar, {},
                   "the desktop's calendars did not answer within " + seconds(timeout) +
                       "; they are left out");
            return false;
        }
        lock.unlock();
        return adoptRegistry();
    }

    bool adoptRegistry()
    {
        std::shared_ptr<RegistryAttempt> done = std::move(attempt);
        attempt.reset();
        {
            std::lock_guard lock(done->mutex);
            done->lateReceiver = nullptr;
            if (done->registry) {
                registry.reset(done->registry);
                done->registry = nullptr;
            }
        }
        if (!registry) {
            if (meansAbsent(done->error) || !done->error) {
                absent = true;
            } else {
                report(SourceProblem::Kind::unreadableCalendar, {},
                       std::string("cannot read the desktop's calendars: ") + done->error->message);
            }
            return false;
        }
        connectRegistrySignals();
        return true;
    }

    void lateRegistry()
    {
        if (!attempt)
            return;
        {
            std::lock_guard lock(attempt->mutex);
            if (!attempt->finished)
                return;
        }
        if (adoptRegistry())
            changed();
    }

    static void onSourceChanged(ESourceRegistry*, ESource* source, gpointer data)
    {
        auto* self = static_cast<Impl*>(data);
        // Remote calendars change often (sync times, connection state): only a change the
        // calendar list shows counts.
        if (!e_source_has_extension(source, E_SOURCE_EXTENSION_CALENDAR) &&
            !e_source_has_extension(source, E_SOURCE_EXTENSION_COLLECTION))
            return;
        if (self->listing() != self->infos())
            self->changed();
    }

    static void onSourceCame(ESourceRegistry*, ESource*, gpointer data)
    {
        static_cast<Impl*>(data)->changed();
    }

    static void onSourceGone(ESourceRegistry*, ESource* source, gpointer data)
    {
        auto* self = static_cast<Impl*>(data);
        if (const char* uid = e_source_get_uid(source)) {
            if (auto it = self->clients.find(uid); it != self->clients.end()) {
                self->disconnect(it->second);
                self->clients.erase(it);
            }
        }
        self->changed();
    }

    void connectRegistrySignals()
    {
        g_signal_connect(registry.get(), "source-added", G_CALLBACK(onSourceCame), this);
        g_signal_connect(registry.get(), "source-enabled", G_CALLBACK(onSourceCame), this);
        g_signal_connect(registry.get(), "source-removed", G_CALLBACK(onSourceGone), this);
        g_signal_connect(registry.get(), "source-disabled", G_CALLBACK(onSourceGone), this);
        g_signal_connect(registry.get(), "source-changed", G_CALLBACK(onSourceChanged), this);
    }

    // ---- Calendars -----------------------------------------------------------------------

    std::vector<CalendarInfo> infos() const
    {
        std::vector<CalendarInfo> out;
        out.reserve(listed.size());
        for (const Calendar& c : listed)
            out.push_back(c.info);
        return out;
    }

    // Lists the enabled event calendars into `listed` and returns their infos.
    std::vector<CalendarInfo> listing()
    {
        std::vector<Calendar> calendars;
        GList* sources =
            e_source_registry_list_enabled(registry.get(), E_SOURCE_EXTENSION_CALENDAR);
        for (GList* node = sources; node; node = node->next) {
            auto* source = static_cast<ESource*>(node->data);
            Calendar calendar;
            calendar.info.id = e_source_get_uid(source);
            calendar.info.title = sourceDisplayName(source);
            calendar.info.accountTitle = "Other";
            if (const char* parentUid = e_source_get_parent(source); parentUid && *parentUid) {
                if (GRef<ESource> parent{e_source_registry_ref_source(registry.get(), parentUid)}) {
                    if (std::string title = sourceDisplayName(parent.get()); !title.empty())
                        calendar.info.accountTitle = std::move(title);
                }
            }
            calendar.info.colorHex = colorHex(source);
            calendar.info.isBirthdayOrSubscription = isBirthdayOrSubscription(source);
            calendar.info.isBirthdays = isBirthdays(source);
            calendar.source.reset(static_cast<ESource*>(g_object_ref(source)));
            calendars.push_back(std::move(calendar));
        }
        g_list_free_full(sources, g_object_unref);
        std::sort(calendars.begin(), calendars.end(), [](const Calendar& a, const Calendar& b) {
            return std::tie(a.info.accountTitle, a.info.title, a.info.id) <
                   std::tie(b.info.accountTitle, b.info.title, b.info.id);
        });
        everyCalendar.clear();
        for (const Calendar& c : calendars)
            everyCalendar.push_back(c.info);
        if (chosen)
            std::erase_if(calendars,
                          [this](const Calendar& c) { return !chosen->contains(c.info.id); });
        listed = std::move(calendars);
        return infos();
    }

    // ---- Clients -------------------------------------------------------------------------

    void disconnect(Client& client)
    {
        if (client.view) {
            g_signal_handlers_disconnect_by_data(client.view.get(), this);
            e_cal_client_view_stop(client.view.get(), nullptr);
        }
        if (client.client)
            g_signal_handlers_disconnect_by_data(client.client.get(), this);
    }

    static void onObjectsChanged(ECalClientView*, gpointer, gpointer data)
    {
        static_cast<Impl*>(data)->changed();
    }

    static void onBackendDied(EClient* died, gpointer data)
    {
        auto* self = static_cast<Impl*>(data);
        for (auto it = self->clients.begin(); it != self->clients.end(); ++it) {
            if (E_CLIENT(it->second.client.get()) == died) {
                self->disconnect(it->second);
                self->clients.erase(it);
                break;
            }
        }
        self->changed();
    }

    // Watches one calendar's events; without a view EDS sends no change signals.
    void watch(Client& client, const CalendarInfo& info)
    {
        if (client.view || !handler)
            return;
        Deadline deadline(timeout);
        ECalClientView* view = nullptr;
        GError* error = nullptr;
        if (!e_cal_client_get_view_sync(client.client.get(), "#t", &view, deadline.cancellable(),
                                        &error)) {
            if (error)
                g_error_free(error);
            report(SourceProblem::Kind::malformed, info.title,
                   "desktop calendar " + quoted(info.title) + " (" + info.accountTitle +
                       "): its changes are not followed");
            return;
        }
        client.view.reset(view);
        // The events themselves are read by the next fetch: only that something changed
        // matters, not the events already there.
        e_cal_client_view_set_flags(view, E_CAL_CLIENT_VIEW_FLAGS_NONE, nullptr);
        g_signal_connect(view, "objects-added", G_CALLBACK(onObjectsChanged), this);
        g_signal_connect(view, "objects-modified", G_CALLBACK(onObjectsChanged), this);
        g_signal_connect(view, "objects-removed", G_CALLBACK(onObjectsChanged), this);
        e_cal_client_view_start(view, nullptr);
    }

    // The connected client of a calendar, connecting once; null (with a warning) when the
    // calendar cannot be opened in time.
    Client* client(const Calendar& calendar)
    {
        const CalendarInfo& info = calendar.info;
        if (auto it = clients.find(info.id); it != clients.end())
            return &it->second;
        const std::string name =
            "desktop calendar " + quoted(info.title) + " (" + info.accountTitle + ")";
        Deadline deadline(timeout);
        GError* error = nullptr;
        // Waiting for nothing: a remote calendar opens at once from its copy on this computer
        // (and a local one never reports itself connected).
        constexpr guint32 noWait = static_cast<guint32>(-1);
        EClient* connected =
            e_cal_client_connect_sync(calendar.source.get(), E_CAL_CLIENT_SOURCE_TYPE_EVENTS,
                                      noWait, deadline.cancellable(), &error);
        ErrorPtr owned(error);
        if (!connected) {
            if (deadline.expired())
                report(SourceProblem::Kind::unreadableCalendar, info.title,
                       name + " did not answer within " + seconds(timeout) + "; it is left out");
            else
                report(SourceProblem::Kind::unreadableCalendar, info.title,
                       name + " cannot be read: " + (error ? error->message : "unknown error"));
            // A calendar just added reaches the calendar service a moment after the registry
            // announced it: read once more a little later rather than wait for another change.
            if (retrying.insert(info.id).second)
                QTimer::singleShot(1000, &context, [this] { changed(); });
            return nullptr;
        }
        retrying.erase(info.id);
        Client entry;
        entry.client.reset(E_CAL_CLIENT(connected));
        g_signal_connect(connected, "backend-died", G_CALLBACK(onBackendDied), this);
        std::vector<std::string> own = addresses;
        for (std::string& a : accountAddresses(registry.get(), calendar.source.get()))
            own.push_back(std::move(a));
        gchar* address = nullptr;
        if (e_client_get_backend_property_sync(connected, E_CAL_BACKEND_PROPERTY_CAL_EMAIL_ADDRESS,
                                               &address, nullptr, nullptr) &&
            address && IcsDocument::isEmailAddress(address))
            own.emplace_back(address);
        g_free(address);
        for (const std::string& a : own)
            if (std::string n = IcsEventMapping::normalizedAddress(a); !n.empty())
                entry.addresses.push_back(std::move(n));
        auto [it, inserted] = clients.emplace(info.id, std::move(entry));
        watch(it->second, info);
        return &it->second;
    }

    // A calendar whose account cannot reach its server still reads from its copy on this
    // computer; one that waits for a password may have nothing yet.
    void noteConnection(const Calendar& calendar, EClient* client)
    {
        const CalendarInfo& info = calendar.info;
        const std::string name =
            "desktop calendar " + quoted(info.title) + " (" + info.accountTitle + ")";
        switch (e_source_get_connection_status(calendar.source.get())) {
        case E_SOURCE_CONNECTION_STATUS_AWAITING_CREDENTIALS:
            report(SourceProblem::Kind::unreadableCalendar, info.title,
                   name + " needs the account's password: sign in through the desktop's settings");
            return;
        case E_SOURCE_CONNECTION_STATUS_SSL_FAILED:
            report(SourceProblem::Kind::unreadableCalendar, info.title,
                   name + " refused the server's certificate; only its last saved events are read");
            return;
        default:
            break;
        }
        // Its copy on this computer is read: older, but nothing is hidden that was known.
        if (!e_client_is_online(client))
            report(SourceProblem::Kind::staleCalendar, info.title,
                   name + " is offline; its last saved events are read");
    }

    // ---- Events --------------------------------------------------------------------------

    struct Expansion {
        Impl* self;
        const Calendar* calendar;
        const Client* client;
        icaltimezone* zone;
        std::vector<CalendarEvent>* out;
        std::size_t limit;
        bool full = false;
    };

    static gboolean onInstance(ICalComponent* component, ICalTime* start, ICalTime* end,
                               gpointer data, GCancellable*, GError**)
    {
        auto* expansion = static_cast<Expansion*>(data);
        if (expansion->out->size() >= expansion->limit) {
            expansion->full = true;
            return FALSE;
        }
        auto* native =
            static_cast<icalcomponent*>(i_cal_object_get_native(I_CAL_OBJECT(component)));
        auto* startTime = static_cast<icaltimetype*>(i_cal_object_get_native(I_CAL_OBJECT(start)));
        auto* endTime = static_cast<icaltimetype*>(i_cal_object_get_native(I_CAL_OBJECT(end)));
        if (!native || !startTime || !endTime)
            return TRUE;
        const EdsInstance instance{.component = native,
                                   .start = startTime,
                                   .end = endTime,
                                   .zones = E_TIMEZONE_CACHE(expansion->client->client.get()),
                                   .primaryZone = expansion->zone};
        const CalendarInfo& info = expansion->calendar->info;
        if (auto event =
                eventFromInstance(instance, expansion->client->addresses, info.id, info.colorHex))
            expansion->out->push_back(std::move(*event));
        return TRUE;
    }

    void read(const Calendar& calendar, Client& client, Date from, Date to,
              std::vector<CalendarEvent>& out)
    {
        const CalendarInfo& info = calendar.info;
        noteConnection(calendar, E_CLIENT(client.client.get()));
        ICalTimezone* zoneObject = zone.id() == "UTC"
                                       ? i_cal_timezone_get_utc_timezone()
                                       : i_cal_timezone_get_builtin_timezone(zone.id().c_str());
        if (!zoneObject)
            zoneObject = i_cal_timezone_get_utc_timezone();
        // Floating times and all-day dates are the user's own zone.
        e_cal_client_set_default_timezone(client.client.get(), zoneObject);
        std::vector<CalendarEvent> found;
        Expansion expansion{
            .self = this,
            .calendar = &calendar,
            .client = &client,
            .zone = static_cast<icaltimezone*>(i_cal_object_get_native(I_CAL_OBJECT(zoneObject))),
            .out = &found,
            .limit = maxOccurrences - std::min(maxOccurrences, out.size())};
        Deadline deadline(timeout);
        e_cal_client_generate_instances_sync(client.client.get(),
                                             static_cast<time_t>(from.unixSeconds()),
                                             static_cast<time_t>(std::ceil(to.unixSeconds())),
                                             deadline.cancellable(), onInstance, &expansion);
        const std::string name =
            "desktop calendar " + quoted(info.title) + " (" + info.accountTitle + ")";
        if (deadline.expired()) {
            report(SourceProblem::Kind::unreadableCalendar, info.title,
                   name + " did not answer within " + seconds(timeout) + "; it is left out");
            return;
        }
        if (expansion.full)
            report(SourceProblem::Kind::cutShort, info.title,
                   "more than " + std::to_string(maxOccurrences) +
                       " occurrences in the window; the rest are left out");
        for (CalendarEvent& e : found) {
            // EDS hands over what touches the window; the window is half-open.
            const bool inside =
                e.start == e.end ? e.start >= from && e.start < to : e.start < to && e.end > from;
            if (inside)
                out.push_back(std::move(e));
        }
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
    // Each calendar's list is made when it connects.
    for (auto& [uid, client] : m_impl->clients)
        m_impl->disconnect(client);
    m_impl->clients.clear();
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
    if (ids)
        m_impl->chosen.emplace(ids->begin(), ids->end());
    else
        m_impl->chosen.reset();
}

bool EdsCalendarSource::hasAccess() const
{
    return m_impl->ensureRegistry();
}

std::vector<CalendarInfo> EdsCalendarSource::calendars()
{
    m_impl->startFetch();
    if (!m_impl->ensureRegistry())
        return {};
    return m_impl->listing();
}

std::vector<CalendarInfo> EdsCalendarSource::allCalendars()
{
    if (!m_impl->ensureRegistry())
        return {};
    m_impl->listing();
    return m_impl->everyCalendar;
}

std::vector<CalendarEvent> EdsCalendarSource::events(Date from, Date to)
{
    m_impl->startFetch();
    std::vector<CalendarEvent> result;
    if (!(from < to) || !m_impl->ensureRegistry())
        return result;
    m_impl->listing();
    for (const Impl::Calendar& calendar : m_impl->listed) {
        if (Impl::Client* client = m_impl->client(calendar))
            m_impl->read(calendar, *client, from, to, result);
    }
    sortByTime(result);
    return result;
}

void EdsCalendarSource::observeChanges(std::function<void()> handler)
{
    m_impl->handler = std::move(handler);
    if (!m_impl->handler)
        return;
    for (const Impl::Calendar& calendar : m_impl->listed) {
        if (auto it = m_impl->clients.find(calendar.info.id); it != m_impl->clients.end())
            m_impl->watch(it->second, calendar.info);
    }
}

bool EdsCalendarSource::isLastFetchComplete() const
{
    return m_impl->isComplete;
}

std::vector<SourceProblem> EdsCalendarSource::lastFetchProblems() const
{
    return m_impl->problems.list();
}

}  // namespace nelvo
