#include "app/eds/eds_reader.h"

#include "app/eds/eds_calendar_source.h"
#include "app/eds/eds_event_mapping.h"
#include "app/eds/eds_glib.h"
#include "app/eds/eds_series.h"
#include "app/eds/eds_sync_record.h"
#include "app/ics/ics_event_mapping.h"
#include "app/ics_document.h"

#include <libecal/libecal.h>
#include <libedataserver/libedataserver.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

namespace nelvo {

namespace {

constexpr std::size_t maxOccurrences = EdsCalendarSource::maxOccurrences;

constexpr const char* noColor = "#8E8E93";
// The registry is one calendar among none yet: its state's name.
constexpr const char* storeName = "Desktop calendars";
// A connection status read at once may still be the one before connecting; the backend
// reports a missing password a few tens of milliseconds later.
constexpr guint settleMilliseconds = 400;
// A calendar the calendar service does not know yet is tried again this often in a fetch.
constexpr int maxOpenings = 3;
constexpr guint openingPauseMilliseconds = 200;
constexpr guint statusPollMilliseconds = 50;
// Changes come in bursts (a refresh, an import): one fetch after the burst.
constexpr guint changeDelayMilliseconds = 150;

std::string seconds(std::chrono::milliseconds timeout)
{
    const auto ms = timeout.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

Date now()
{
    return Date::fromUnixSeconds(static_cast<double>(g_get_real_time()) / 1e6);
}

}  // namespace

// Without a session bus there is no EDS. Looking first avoids GLib's autolaunch, which would
// start a bus of its own under X11 and leave it running.
bool EdsReader::hasSessionBus()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    return runtime && *runtime &&
           std::filesystem::exists(std::filesystem::path(runtime) / "bus", ec);
}

namespace {

// EDS is not installed, or its registry service is not on this bus: nothing to say.
bool meansAbsent(const GError* error)
{
    if (!error)
        return true;
    if (g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SERVICE_UNKNOWN) ||
        g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NAME_HAS_NO_OWNER) ||
        g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND))
        return true;
    return error->domain == G_IO_ERROR &&
           (error->code == G_IO_ERROR_NOT_FOUND || error->code == G_IO_ERROR_CONNECTION_REFUSED);
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

ESourceConnectionStatus statusNamed(std::string_view name)
{
    if (name == "awaiting-credentials")
        return E_SOURCE_CONNECTION_STATUS_AWAITING_CREDENTIALS;
    if (name == "ssl-failed")
        return E_SOURCE_CONNECTION_STATUS_SSL_FAILED;
    if (name == "connecting")
        return E_SOURCE_CONNECTION_STATUS_CONNECTING;
    if (name == "connected")
        return E_SOURCE_CONNECTION_STATUS_CONNECTED;
    return E_SOURCE_CONNECTION_STATUS_DISCONNECTED;
}

// A network failure: the server is away, not the password wrong.
bool meansUnreachable(const GError* error)
{
    return error->domain == G_IO_ERROR || error->domain == G_RESOLVER_ERROR;
}

// How the backend answered the request to bring its copy up to date.
enum class Refresh { notAsked, done, signIn, certificate, unreachable };

Refresh refreshOutcome(const GError* error)
{
    if (!error)
        return Refresh::done;
    if (g_error_matches(error, E_CLIENT_ERROR, E_CLIENT_ERROR_AUTHENTICATION_REQUIRED) ||
        g_error_matches(error, E_CLIENT_ERROR, E_CLIENT_ERROR_AUTHENTICATION_FAILED))
        return Refresh::signIn;
    if (g_error_matches(error, E_CLIENT_ERROR, E_CLIENT_ERROR_TLS_NOT_AVAILABLE) ||
        error->domain == G_TLS_ERROR)
        return Refresh::certificate;
    return Refresh::unreachable;
}

}  // namespace

struct EdsReader::Impl : std::enable_shared_from_this<EdsReader::Impl> {
    struct Client {
        GRef<ECalClient> client;
        GRef<ECalClientView> view;
        bool askedForView = false;
        std::optional<std::vector<std::string>> addresses;  // the calendar's own, normalized
    };

    // One calendar's part of one fetch.
    struct Read {
        CalendarInfo info;
        GRef<ESource> source;
        std::shared_ptr<Client> client;
        int openings = 0;     // attempts to open it again after a failure
        bool remote = false;  // kept by a server: brought up to date before reading
        Refresh refresh = Refresh::notAsked;
        ESourceConnectionStatus status = E_SOURCE_CONNECTION_STATUS_DISCONNECTED;
        ESourceCredentialsReason reason = E_SOURCE_CREDENTIALS_REASON_UNKNOWN;
        bool unreachable = false;  // the credentials were asked for after a network error
        std::vector<CalendarEvent> events;
        bool full = false;
        std::optional<CalendarState> state;
        guint settleTimer = 0;
    };

    struct Fetch {
        EdsFetchKey key;
        GRef<GCancellable> cancellable{g_cancellable_new()};
        guint deadline = 0;
        bool finished = false;
        bool started = false;  // the reads began (the registry had answered)
        std::vector<std::shared_ptr<Read>> reads;
        std::size_t pending = 0;
    };

    std::shared_ptr<EdsShared> shared;
    GMainContext* context;
    EdsSyncRecord record;
    bool watch;
    bool stopped = false;

    GRef<GCancellable> lifetime{g_cancellable_new()};  // cancelled at shutdown
    GRef<ESourceRegistry> registry;
    bool registryAsked = false;
    std::map<std::string, std::shared_ptr<Client>> clients;  // by source UID
    std::vector<std::shared_ptr<Fetch>> fetches;             // in progress
    std::set<std::string> retrying;  // calendars that failed to open, tried again soon
    guint changeTimer = 0;

    Impl(std::shared_ptr<EdsShared> s, GMainContext* c, std::filesystem::path recordPath, bool w)
        : shared(std::move(s)), context(c), record(std::move(recordPath)), watch(w)
    {
    }

    // A timeout on the worker's context; `f` returns whether to run again.
    guint addTimeout(guint milliseconds, std::function<bool()> f)
    {
        GSource* source = g_timeout_source_new(milliseconds);
        auto* data = new std::function<bool()>(std::move(f));
        g_source_set_callback(
            source,
            [](gpointer d) -> gboolean {
                return (*static_cast<std::function<bool()>*>(d))() ? G_SOURCE_CONTINUE
                                                                   : G_SOURCE_REMOVE;
            },
            data, [](gpointer d) { delete static_cast<std::function<bool()>*>(d); });
        const guint id = g_source_attach(source, context);
        g_source_unref(source);
        return id;
    }

    void removeTimeout(guint& id)
    {
        if (id == 0)
            return;
        if (GSource* source = g_main_context_find_source_by_id(context, id))
            g_source_destroy(source);
        id = 0;
    }

    // ---- The registry --------------------------------------------------------------------

    void start()
    {
        if (registryAsked)
            return;
        registryAsked = true;
        if (!EdsReader::hasSessionBus()) {
            registryAnswered(EdsShared::Registry::absent);
            return;
        }
        auto self = shared_from_this();
        e_source_registry_new(
            lifetime.get(), asyncCallback, asyncData([self](GObject*, GAsyncResult* result) {
                GError* error = nullptr;
                ESourceRegistry* made = e_source_registry_new_finish(result, &error);
                self->adoptRegistry(made, error);
                if (error)
                    g_error_free(error);
            }));
    }

    void adoptRegistry(ESourceRegistry* made, const GError* error)
    {
        if (stopped) {
            if (made)
                g_object_unref(made);
            return;
        }
        if (!made) {
            // A bus that answers but without EDS is no desktop store; any other failure is
            // reported by the fetches, whose deadline passes, and the next one asks again.
            if (meansAbsent(error))
                registryAnswered(EdsShared::Registry::absent);
            else
                registryAsked = false;
            return;
        }
        registry.reset(made);
        for (const char* signal : {"source-added", "source-removed", "source-enabled",
                                   "source-disabled", "source-changed"})
            g_signal_connect(made, signal, G_CALLBACK(onSourceChanged), this);
        relist();
        registryAnswered(EdsShared::Registry::ready);
    }

    void registryAnswered(EdsShared::Registry state)
    {
        {
            std::lock_guard lock(shared->mutex);
            shared->registry = state;
            shared->tellMainLocked(shared);
        }
        shared->changed.notify_all();
        for (const auto& fetch : std::vector(fetches))
            begin(fetch);
    }

    static void onSourceChanged(ESourceRegistry*, ESource* source, gpointer data)
    {
        auto* self = static_cast<Impl*>(data);
        // Remote calendars change often (sync times, connection state): only a change the
        // calendar list shows counts.
        if (!e_source_has_extension(source, E_SOURCE_EXTENSION_CALENDAR) &&
            !e_source_has_extension(source, E_SOURCE_EXTENSION_COLLECTION))
            return;
        if (self->relist())
            self->changedLater();
    }

    // The enabled event calendars, by account title, then title, and the addresses their
    // accounts know as the user's (those of calendars already connected included). Stores
    // them and says whether they changed.
    bool relist()
    {
        std::vector<CalendarInfo> calendars;
        std::vector<std::string> own;
        GList* sources =
            e_source_registry_list_enabled(registry.get(), E_SOURCE_EXTENSION_CALENDAR);
        for (GList* link = sources; link; link = link->next) {
            auto* source = static_cast<ESource*>(link->data);
            CalendarInfo info;
            info.id = e_source_get_uid(source);
            info.title = sourceDisplayName(source);
            if (const char* parentUid = e_source_get_parent(source); parentUid && *parentUid) {
                if (GRef<ESource> parent{e_source_registry_ref_source(registry.get(), parentUid)}) {
                    if (std::string title = sourceDisplayName(parent.get()); !title.empty())
                        info.accountTitle = std::move(title);
                }
            }
            info.colorHex = colorHex(source);
            info.isBirthdayOrSubscription = isBirthdayOrSubscription(source);
            info.isBirthdays = isBirthdays(source);
            mergeAddresses(own, accountAddresses(registry.get(), source));
            if (auto it = clients.find(info.id); it != clients.end() && it->second->addresses)
                mergeAddresses(own, *it->second->addresses);
            calendars.push_back(std::move(info));
        }
        g_list_free_full(sources, g_object_unref);
        std::sort(calendars.begin(), calendars.end(),
                  [](const CalendarInfo& a, const CalendarInfo& b) {
                      return std::tie(a.accountTitle, a.title, a.id) <
                             std::tie(b.accountTitle, b.title, b.id);
                  });
        std::lock_guard lock(shared->mutex);
        if (shared->listing == calendars && shared->accountAddresses == own)
            return false;
        shared->listing = std::move(calendars);
        shared->accountAddresses = std::move(own);
        shared->tellMainLocked(shared);
        return true;
    }

    // ---- Changes -------------------------------------------------------------------------

    // Something a snapshot shows may have changed: fetch every kept window again after the
    // burst. Only a snapshot that differs reaches the window.
    void changedLater()
    {
        if (!watch || stopped)
            return;
        removeTimeout(changeTimer);
        changeTimer = addTimeout(changeDelayMilliseconds, [this] {
            changeTimer = 0;
            std::vector<EdsFetchKey> keys;
            {
                std::lock_guard lock(shared->mutex);
                for (const EdsSnapshot& snapshot : shared->snapshots)
                    keys.push_back(snapshot.key);
            }
            for (const EdsFetchKey& key : keys)
                fetch(key, true);
            return false;
        });
    }

    static void onObjectsChanged(ECalClientView*, gpointer, gpointer data)
    {
        static_cast<Impl*>(data)->changedLater();
    }

    static void onBackendDied(EClient* died, gpointer data)
    {
        auto* self = static_cast<Impl*>(data);
        for (auto it = self->clients.begin(); it != self->clients.end(); ++it) {
            if (E_CLIENT(it->second->client.get()) == died) {
                self->disconnect(*it->second);
                self->clients.erase(it);
                break;
            }
        }
        self->changedLater();
    }

    void disconnect(Client& client)
    {
        if (client.view) {
            g_signal_handlers_disconnect_by_data(client.view.get(), this);
            e_cal_client_view_stop(client.view.get(), nullptr);
        }
        if (client.client)
            g_signal_handlers_disconnect_by_data(client.client.get(), this);
    }

    // Without a view EDS sends no change signals. Its calls are made here, on the worker.
    void follow(const std::shared_ptr<Client>& client)
    {
        if (!watch || client->askedForView || stopped)
            return;
        client->askedForView = true;
        auto self = shared_from_this();
        e_cal_client_get_view(
            client->client.get(), "#t", lifetime.get(), asyncCallback,
            asyncData([self, client](GObject* object, GAsyncResult* result) {
                ECalClientView* view = nullptr;
                if (!e_cal_client_get_view_finish(E_CAL_CLIENT(object), result, &view, nullptr) ||
                    self->stopped) {
                    client->askedForView = false;
                    if (view)
                        g_object_unref(view);
                    return;
                }
                client->view.reset(view);
                // Only that something changed matters; the next fetch reads the events.
                e_cal_client_view_set_flags(view, E_CAL_CLIENT_VIEW_FLAGS_NONE, nullptr);
                for (const char* signal : {"objects-added", "objects-modified", "objects-removed"})
                    g_signal_connect(view, signal, G_CALLBACK(onObjectsChanged), self.get());
                e_cal_client_view_start(view, nullptr);
            }));
    }

    // ---- Fetches -------------------------------------------------------------------------

    void fetch(const EdsFetchKey& key, bool again = false)
    {
        if (stopped)
            return;
        for (const auto& running : fetches)
            if (running->key == key && !again)
                return;
        auto fetch = std::make_shared<Fetch>();
        fetch->key = key;
        {
            std::lock_guard lock(shared->mutex);
            if (std::find(shared->running.begin(), shared->running.end(), key) ==
                shared->running.end())
                shared->running.push_back(key);
        }
        fetches.push_back(fetch);
        const auto timeout = static_cast<guint>(std::max<long long>(1, key.timeout.count()));
        std::weak_ptr<Fetch> weak = fetch;
        fetch->deadline = addTimeout(timeout, [this, weak] {
            if (auto f = weak.lock()) {
                f->deadline = 0;
                expire(f);
            }
            return false;
        });
        start();
        begin(fetch);
    }

    void begin(const std::shared_ptr<Fetch>& fetch)
    {
        EdsShared::Registry state;
        std::vector<CalendarInfo> listing;
        {
            std::lock_guard lock(shared->mutex);
            state = shared->registry;
            listing = shared->listing;
        }
        if (fetch->started || fetch->finished || state == EdsShared::Registry::loading)
            return;
        fetch->started = true;
        if (state == EdsShared::Registry::absent) {
            complete(fetch);
            return;
        }
        for (const CalendarInfo& info : listing) {
            const auto& chosen = fetch->key.chosen;
            if (chosen && !std::binary_search(chosen->begin(), chosen->end(), info.id))
                continue;
            GRef<ESource> source{e_source_registry_ref_source(registry.get(), info.id.c_str())};
            if (!source)
                continue;
            auto read = std::make_shared<Read>();
            read->info = info;
            read->source = std::move(source);
            fetch->reads.push_back(read);
        }
        fetch->pending = fetch->reads.size();
        if (fetch->pending == 0) {
            complete(fetch);
            return;
        }
        for (const auto& read : std::vector(fetch->reads))
            open(fetch, read);
    }

    void open(const std::shared_ptr<Fetch>& fetch, const std::shared_ptr<Read>& read)
    {
        if (auto it = clients.find(read->info.id); it != clients.end()) {
            read->client = it->second;
            refresh(fetch, read);
            return;
        }
        auto self = shared_from_this();
        // Waiting for nothing: the connection's state is read once it settles.
        constexpr guint32 noWait = static_cast<guint32>(-1);
        e_cal_client_connect(
            read->source.get(), E_CAL_CLIENT_SOURCE_TYPE_EVENTS, noWait, fetch->cancellable.get(),
            asyncCallback, asyncData([self, fetch, read](GObject*, GAsyncResult* result) {
                EClient* connected = e_cal_client_connect_finish(result, nullptr);
                if (self->stopped) {
                    if (connected)
                        g_object_unref(connected);
                    return;
                }
                if (connected)
                    read->client = self->adopt(read->info.id, E_CAL_CLIENT(connected));
                if (fetch->finished)
                    return;
                if (!connected && read->openings < maxOpenings) {
                    // A calendar just added reaches the calendar service a moment after the
                    // registry announced it: within the fetch, try again shortly.
                    ++read->openings;
                    self->addTimeout(openingPauseMilliseconds, [self, fetch, read] {
                        if (!self->stopped && !fetch->finished)
                            self->open(fetch, read);
                        return false;
                    });
                    return;
                }
                if (!connected) {
                    // And once more a little later, for the window.
                    if (self->retrying.insert(read->info.id).second)
                        self->addTimeout(1000, [weak = std::weak_ptr(self)] {
                            if (auto s = weak.lock())
                                s->changedLater();
                            return false;
                        });
                    self->settle(fetch, read, CalendarState::Kind::unreadable,
                                 "the desktop's calendar service cannot open it");
                    return;
                }
                self->retrying.erase(read->info.id);
                self->refresh(fetch, read);
            }));
    }

    std::shared_ptr<Client> adopt(const std::string& id, ECalClient* connected)
    {
        if (auto it = clients.find(id); it != clients.end()) {
            g_object_unref(connected);
            return it->second;
        }
        auto client = std::make_shared<Client>();
        client->client.reset(connected);
        g_signal_connect(connected, "backend-died", G_CALLBACK(onBackendDied), this);
        clients.emplace(id, client);
        return client;
    }

    // A calendar kept by a server is asked to bring its copy up to date first. Its backend
    // runs that as an operation every later one waits for, so the events read next are the
    // server's, not the copy of a previous run.
    void refresh(const std::shared_ptr<Fetch>& fetch, const std::shared_ptr<Read>& read)
    {
        EClient* client = E_CLIENT(read->client->client.get());
        read->remote = e_client_check_refresh_supported(client);
        if (!read->remote) {
            addresses(fetch, read);
            return;
        }
        auto self = shared_from_this();
        e_client_refresh(client, fetch->cancellable.get(), asyncCallback,
                         asyncData([self, fetch, read](GObject* object, GAsyncResult* result) {
                             GError* error = nullptr;
                             e_client_refresh_finish(E_CLIENT(object), result, &error);
                             const bool cancelled =
                                 g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
                             read->refresh = refreshOutcome(error);
                             if (error)
                                 g_error_free(error);
                             if (self->stopped || fetch->finished || cancelled)
                                 return;
                             self->addresses(fetch, read);
                         }));
    }

    void addresses(const std::shared_ptr<Fetch>& fetch, const std::shared_ptr<Read>& read)
    {
        if (read->client->addresses) {
            expand(fetch, read);
            return;
        }
        auto self = shared_from_this();
        e_client_get_backend_property(
            E_CLIENT(read->client->client.get()), E_CAL_BACKEND_PROPERTY_CAL_EMAIL_ADDRESS,
            fetch->cancellable.get(), asyncCallback,
            asyncData([self, fetch, read](GObject* object, GAsyncResult* result) {
                gchar* address = nullptr;
                e_client_get_backend_property_finish(E_CLIENT(object), result, &address, nullptr);
                if (self->stopped || fetch->finished) {
                    g_free(address);
                    return;
                }
                std::vector<std::string> own =
                    accountAddresses(self->registry.get(), read->source.get());
                if (address && IcsDocument::isEmailAddress(address))
                    own.emplace_back(address);
                g_free(address);
                std::vector<std::string> normalized;
                for (const std::string& a : own)
                    if (std::string n = IcsEventMapping::normalizedAddress(a); !n.empty())
                        normalized.push_back(std::move(n));
                {
                    // The backend may know an address the registry does not.
                    std::lock_guard lock(self->shared->mutex);
                    if (mergeAddresses(self->shared->accountAddresses, normalized))
                        self->shared->tellMainLocked(self->shared);
                }
                read->client->addresses = std::move(normalized);
                self->expand(fetch, read);
            }));
    }

    // The user's addresses and the calendar's own, normalized.
    static std::vector<std::string> ownAddresses(const EdsFetchKey& key, const Client& client)
    {
        std::vector<std::string> out = client.addresses.value_or(std::vector<std::string>{});
        for (const std::string& a : key.addresses)
            if (std::string n = IcsEventMapping::normalizedAddress(a); !n.empty())
                out.push_back(std::move(n));
        return out;
    }

    struct Expansion {
        std::shared_ptr<Impl> self;
        std::shared_ptr<Fetch> fetch;
        std::shared_ptr<Read> read;
        std::vector<std::string> addresses;
        icaltimezone* zone = nullptr;
        bool again = false;        // the second pass
        bool learnedZone = false;  // a TZID EDS read in the primary zone: expand again
        // Changes that need their series (needsSeries), mapped once it is read, and the
        // series to read: theirs, and those whose changes "this and future" EDS copies.
        std::vector<std::unique_ptr<icalcomponent, void (*)(icalcomponent*)>> changes;
        std::set<std::string> series;
        std::set<std::pair<std::string, double>> seen;  // event ID, occurrence start

        EdsInstance instance(icalcomponent* component, const icaltimetype* start,
                             const icaltimetype* end) const
        {
            return {.component = component,
                    .start = start,
                    .end = end,
                    .zones = E_TIMEZONE_CACHE(read->client->client.get()),
                    .primaryZone = zone};
        }

        void keep(std::optional<CalendarEvent> event)
        {
            if (!event)
                return;
            if (read->events.size() >= maxOccurrences) {
                read->full = true;
                return;
            }
            seen.emplace(event->eventID, event->occurrenceStart.seconds);
            read->events.push_back(std::move(*event));
        }
    };

    static gboolean onInstance(ICalComponent* component, ICalTime* start, ICalTime* end,
                               gpointer data, GCancellable*, GError**)
    {
        auto* expansion = static_cast<Expansion*>(data);
        Read& read = *expansion->read;
        if (expansion->fetch->finished)
            return FALSE;
        if (read.events.size() >= maxOccurrences) {
            read.full = true;
            return FALSE;
        }
        auto* native =
            static_cast<icalcomponent*>(i_cal_object_get_native(I_CAL_OBJECT(component)));
        auto* startTime = static_cast<icaltimetype*>(i_cal_object_get_native(I_CAL_OBJECT(start)));
        auto* endTime = static_cast<icaltimetype*>(i_cal_object_get_native(I_CAL_OBJECT(end)));
        if (!native || !startTime || !endTime)
            return TRUE;
        // Once a zone is learned the first pass is done again: what it maps is not kept.
        if (teachZones(E_TIMEZONE_CACHE(read.client->client.get()), native))
            expansion->learnedZone = true;
        if (expansion->learnedZone && !expansion->again)
            return TRUE;
        const EdsInstance instance = expansion->instance(native, startTime, endTime);
        const bool copied = isCopiedChange(instance);
        if (copied || needsSeries(native)) {
            if (const char* uid = icalcomponent_get_uid(native))
                expansion->series.insert(uid);
            if (!copied)
                expansion->changes.emplace_back(icalcomponent_new_clone(native),
                                                icalcomponent_free);
            return TRUE;
        }
        expansion->keep(
            eventFromInstance(instance, expansion->addresses, read.info.id, read.info.colorHex));
        return TRUE;
    }

    // Occurrences expanded by EDS, asynchronously: the objects come by an async call and are
    // expanded here, so the fetch's deadline bounds the whole of it. A calendar whose events name
    // zones the Windows way, without a definition, is expanded twice the first time: EDS reads such
    // times in the primary zone until it is told the zone (`teachZones`), and it is told during the
    // first pass.
    void expand(const std::shared_ptr<Fetch>& fetch, const std::shared_ptr<Read>& read,
                bool again = false)
    {
        ECalClient* client = read->client->client.get();
        const std::string& zoneID = fetch->key.zone;
        ICalTimezone* zoneObject = zoneID == "UTC"
                                       ? i_cal_timezone_get_utc_timezone()
                                       : i_cal_timezone_get_builtin_timezone(zoneID.c_str());
        if (!zoneObject)
            zoneObject = i_cal_timezone_get_utc_timezone();
        // Floating times and all-day dates are the user's own zone.
        e_cal_client_set_default_timezone(client, zoneObject);
        auto* expansion = new Expansion{
            .self = shared_from_this(),
            .fetch = fetch,
            .read = read,
            .addresses = ownAddresses(fetch->key, *read->client),
            .zone = static_cast<icaltimezone*>(i_cal_object_get_native(I_CAL_OBJECT(zoneObject))),
            .again = again,
            .changes = {},
            .series = {},
            .seen = {}};
        // `complete` keeps to the window itself.
        e_cal_client_generate_instances(
            client, static_cast<time_t>(fetch->key.from.unixSeconds() - edsWindowMargin),
            static_cast<time_t>(std::ceil(fetch->key.to.unixSeconds() + edsWindowMargin)),
            fetch->cancellable.get(), onInstance, expansion, [](gpointer data) {
                std::unique_ptr<Expansion> done(static_cast<Expansion*>(data));
                if (done->self->stopped || done->fetch->finished)
                    return;
                if (done->learnedZone && !done->again) {
                    done->read->events.clear();
                    done->read->full = false;
                    done->self->expand(done->fetch, done->read, true);
                    return;
                }
                done->self->readSeries(std::shared_ptr<Expansion>(std::move(done)));
            });
    }

    // The series kept aside, one after the other; then the calendar is read.
    void readSeries(const std::shared_ptr<Expansion>& expansion)
    {
        if (expansion->series.empty()) {
            follow(expansion->read->client);
            settleStatus(expansion->fetch, expansion->read);
            return;
        }
        const std::string uid = expansion->series.extract(expansion->series.begin()).value();
        e_cal_client_get_objects_for_uid(
            expansion->read->client->client.get(), uid.c_str(), expansion->fetch->cancellable.get(),
            asyncCallback, asyncData([expansion, uid](GObject* client, GAsyncResult* result) {
                GSList* found = nullptr;
                e_cal_client_get_objects_for_uid_finish(E_CAL_CLIENT(client), result, &found,
                                                        nullptr);
                if (!expansion->self->stopped && !expansion->fetch->finished)
                    mapSeries(*expansion, uid, found);
                g_slist_free_full(found, g_object_unref);
                if (!expansion->self->stopped && !expansion->fetch->finished)
                    expansion->self->readSeries(expansion);
            }));
    }

    // The series `uid` from its `objects`: the changes kept aside, completed from it, and
    // the occurrences its changes "this and future" move, which EDS leaves out or hands over
    // at their old time.
    static void mapSeries(Expansion& expansion, const std::string& uid, GSList* objects)
    {
        const Read& read = *expansion.read;
        auto mine = std::stable_partition(expansion.changes.begin(), expansion.changes.end(),
                                          [&uid](const auto& change) {
                                              const char* id = icalcomponent_get_uid(change.get());
                                              return !id || id != uid;
                                          });
        std::vector<icalcomponent*> changes;
        for (auto it = mine; it != expansion.changes.end(); ++it)
            changes.push_back(it->get());
        const EdsSeriesRead series{.calendar = expansion.instance(nullptr, nullptr, nullptr),
                                   .client = read.client->client.get(),
                                   .cancellable = expansion.fetch->cancellable.get(),
                                   .from = expansion.fetch->key.from,
                                   .to = expansion.fetch->key.to,
                                   .addresses = expansion.addresses,
                                   .calendarID = read.info.id,
                                   .colorHex = read.info.colorHex};
        for (CalendarEvent& event :
             seriesOccurrences(series, uid, objects, changes, expansion.seen))
            expansion.keep(std::move(event));
        expansion.changes.erase(mine, expansion.changes.end());
    }

    // The state of a calendar read from its copy, from its connection's status once that
    // settled. The status is asked of the registry itself: the copy this process keeps is
    // brought up to date on a main context that is not always run, and a missing password
    // is reported a moment after connecting.
    void settleStatus(const std::shared_ptr<Fetch>& fetch, const std::shared_ptr<Read>& read,
                      guint asked = 0)
    {
        if (!read->remote) {
            decide(fetch, read);
            return;
        }
        GRef<GDBusObject> object{e_source_ref_dbus_object(read->source.get())};
        GRef<GDBusInterface> interface {
            object
                ? g_dbus_object_get_interface(object.get(), "org.gnome.evolution.dataserver.Source")
                : nullptr
        };
        if (!interface || !G_IS_DBUS_PROXY(interface.get())) {
            read->status = e_source_get_connection_status(read->source.get());
            decide(fetch, read);
            return;
        }
        auto* proxy = G_DBUS_PROXY(interface.get());
        auto self = shared_from_this();
        g_dbus_connection_call(
            g_dbus_proxy_get_connection(proxy), g_dbus_proxy_get_name(proxy),
            g_dbus_proxy_get_object_path(proxy), "org.freedesktop.DBus.Properties", "Get",
            g_variant_new("(ss)", "org.gnome.evolution.dataserver.Source", "ConnectionStatus"),
            G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, -1, fetch->cancellable.get(),
            asyncCallback,
            asyncData([self, fetch, read, asked](GObject* connection, GAsyncResult* result) {
                GVariant* reply =
                    g_dbus_connection_call_finish(G_DBUS_CONNECTION(connection), result, nullptr);
                if (self->stopped || fetch->finished) {
                    if (reply)
                        g_variant_unref(reply);
                    return;
                }
                read->status = E_SOURCE_CONNECTION_STATUS_DISCONNECTED;
                if (reply) {
                    GVariant* value = nullptr;
                    g_variant_get(reply, "(v)", &value);
                    if (value && g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
                        read->status = statusNamed(g_variant_get_string(value, nullptr));
                    if (value)
                        g_variant_unref(value);
                    g_variant_unref(reply);
                }
                const bool settled = read->status != E_SOURCE_CONNECTION_STATUS_DISCONNECTED &&
                                     read->status != E_SOURCE_CONNECTION_STATUS_CONNECTING;
                if (read->status == E_SOURCE_CONNECTION_STATUS_AWAITING_CREDENTIALS) {
                    self->askWhy(fetch, read);
                    return;
                }
                if (settled || (asked + 1) * statusPollMilliseconds >= settleMilliseconds) {
                    self->decide(fetch, read);
                    return;
                }
                read->settleTimer =
                    self->addTimeout(statusPollMilliseconds, [self, fetch, read, asked] {
                        read->settleTimer = 0;
                        if (!self->stopped && !fetch->finished)
                            self->settleStatus(fetch, read, asked + 1);
                        return false;
                    });
            }));
    }

    // A source that awaits credentials says why: a password missing or refused, a refused
    // certificate, or a server it could not reach at all.
    void askWhy(const std::shared_ptr<Fetch>& fetch, const std::shared_ptr<Read>& read)
    {
        auto self = shared_from_this();
        e_source_get_last_credentials_required_arguments(
            read->source.get(), fetch->cancellable.get(), asyncCallback,
            asyncData([self, fetch, read](GObject* object, GAsyncResult* result) {
                ESourceCredentialsReason reason = E_SOURCE_CREDENTIALS_REASON_UNKNOWN;
                gchar* certificate = nullptr;
                GError* operation = nullptr;
                GTlsCertificateFlags errors{};
                e_source_get_last_credentials_required_arguments_finish(
                    E_SOURCE(object), result, &reason, &certificate, &errors, &operation, nullptr);
                g_free(certificate);
                read->unreachable = operation && meansUnreachable(operation);
                if (operation)
                    g_error_free(operation);
                if (self->stopped || fetch->finished)
                    return;
                read->reason = reason;
                self->decide(fetch, read);
            }));
    }

    void decide(const std::shared_ptr<Fetch>& fetch, const std::shared_ptr<Read>& read)
    {
        using Kind = CalendarState::Kind;
        const auto status = read->status;
        const bool awaits = status == E_SOURCE_CONNECTION_STATUS_AWAITING_CREDENTIALS;
        if ((awaits && read->reason == E_SOURCE_CREDENTIALS_REASON_SSL_FAILED) ||
            status == E_SOURCE_CONNECTION_STATUS_SSL_FAILED ||
            read->refresh == Refresh::certificate) {
            settle(fetch, read, Kind::unreadable, "its server's certificate was refused");
            return;
        }
        if ((awaits && read->reason != E_SOURCE_CREDENTIALS_REASON_ERROR && !read->unreachable) ||
            read->refresh == Refresh::signIn) {
            settle(fetch, read, Kind::needsSignIn, "needs you to sign in");
            return;
        }
        if (read->remote &&
            (read->refresh != Refresh::done || status != E_SOURCE_CONNECTION_STATUS_CONNECTED)) {
            // Its copy on this computer is what there is: dated by the last read this program
            // saw succeed. A calendar never brought up to date has nothing to show yet.
            const auto lastSync = record.lastSync(read->info.id);
            if (!lastSync && read->events.empty()) {
                settle(fetch, read, Kind::firstSync, "its server cannot be reached yet");
                return;
            }
            settle(fetch, read, Kind::savedCopy, "offline", lastSync);
            return;
        }
        settle(fetch, read, Kind::upToDate, {});
    }

    void settle(const std::shared_ptr<Fetch>& fetch, const std::shared_ptr<Read>& read,
                CalendarState::Kind kind, std::string cause, std::optional<Date> asOf = {})
    {
        if (read->state || fetch->finished)
            return;
        read->state = CalendarState{.calendarID = read->info.id,
                                    .name = read->info.title + " (" + read->info.accountTitle + ")",
                                    .kind = kind,
                                    .cause = std::move(cause),
                                    .asOf = asOf};
        if (--fetch->pending == 0)
            complete(fetch);
    }

    void expire(const std::shared_ptr<Fetch>& fetch)
    {
        if (fetch->finished)
            return;
        g_cancellable_cancel(fetch->cancellable.get());
        complete(fetch, true);
    }

    void complete(const std::shared_ptr<Fetch>& fetch, bool expired = false)
    {
        if (fetch->finished)
            return;
        fetch->finished = true;
        removeTimeout(fetch->deadline);
        std::erase(fetches, fetch);

        EdsSnapshot snapshot;
        snapshot.key = fetch->key;
        snapshot.taken = std::chrono::steady_clock::now();
        const std::string late = "did not answer in " + seconds(fetch->key.timeout);
        if (!fetch->started && expired) {
            snapshot.states.push_back(CalendarState{.calendarID = {},
                                                    .name = storeName,
                                                    .kind = CalendarState::Kind::noAnswer,
                                                    .cause = late,
                                                    .asOf = {}});
        }
        std::map<std::string, Date> synced;
        const Date when = now();
        for (const auto& read : fetch->reads) {
            removeTimeout(read->settleTimer);
            if (!read->state) {
                snapshot.states.push_back(
                    CalendarState{.calendarID = read->info.id,
                                  .name = read->info.title + " (" + read->info.accountTitle + ")",
                                  .kind = CalendarState::Kind::noAnswer,
                                  .cause = late,
                                  .asOf = {}});
                continue;
            }
            snapshot.states.push_back(*read->state);
            if (read->remote && read->state->isUpToDate())
                synced[read->info.id] = when;
            if (read->full)
                snapshot.problems.push_back(
                    {.kind = SourceProblem::Kind::cutShort,
                     .path = read->info.title,
                     .message = "more than " + std::to_string(maxOccurrences) +
                                " occurrences in the window; the rest are left out"});
            for (CalendarEvent& e : read->events) {
                // EDS hands over what touches the window; the window is half-open.
                const bool inside = e.start == e.end
                                        ? e.start >= fetch->key.from && e.start < fetch->key.to
                                        : e.start < fetch->key.to && e.end > fetch->key.from;
                if (inside && snapshot.events.size() < maxOccurrences)
                    snapshot.events.push_back(std::move(e));
            }
        }
        std::stable_sort(snapshot.events.begin(), snapshot.events.end(),
                         [](const CalendarEvent& a, const CalendarEvent& b) {
                             return a.start != b.start ? a.start < b.start : a.end < b.end;
                         });
        record.remember(synced);
        {
            std::lock_guard lock(shared->mutex);
            std::erase(shared->running, fetch->key);
            ++shared->completed;
            const EdsSnapshot* previous = shared->snapshotLocked(fetch->key);
            const bool differs = !previous || !previous->sameAnswer(snapshot);
            shared->storeLocked(std::move(snapshot));
            if (differs)
                shared->tellMainLocked(shared);
        }
        shared->changed.notify_all();
    }

    void shutdown()
    {
        stopped = true;
        g_cancellable_cancel(lifetime.get());
        for (const auto& fetch : fetches) {
            fetch->finished = true;
            g_cancellable_cancel(fetch->cancellable.get());
            removeTimeout(fetch->deadline);
            for (const auto& read : fetch->reads)
                removeTimeout(read->settleTimer);
        }
        fetches.clear();
        removeTimeout(changeTimer);
        for (auto& [uid, client] : clients)
            disconnect(*client);
        clients.clear();
        if (registry)
            g_signal_handlers_disconnect_by_data(registry.get(), this);
        registry.reset();
    }
};

EdsReader::EdsReader(std::shared_ptr<EdsShared> shared, GMainContext* context,
                     std::filesystem::path syncRecord, bool watch)
    : m_impl(std::make_shared<Impl>(std::move(shared), context, std::move(syncRecord), watch))
{
}

EdsReader::~EdsReader() = default;

void EdsReader::start()
{
    m_impl->start();
}

void EdsReader::fetch(const EdsFetchKey& key)
{
    m_impl->fetch(key);
}

void EdsReader::setWatching(bool watch)
{
    m_impl->watch = watch;
}

void EdsReader::shutdown()
{
    m_impl->shutdown();
}

}  // namespace nelvo
