#include "app/eds/eds_session.h"

#include <libecal/libecal.h>
#include <libedataserver/libedataserver.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nelvo::test {

namespace {

namespace fs = std::filesystem;

// Opening a calendar waits for nothing: a local calendar never reports itself connected.
constexpr guint32 noWait = static_cast<guint32>(-1);

std::string message(GError* error)
{
    std::string text = error ? error->message : "unknown error";
    if (error)
        g_error_free(error);
    return text;
}

// Members of a process group that still run (zombies waiting for their parent do not).
std::vector<pid_t> liveMembers(pid_t group)
{
    std::vector<pid_t> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename();
        if (name.empty() || !std::isdigit(static_cast<unsigned char>(name[0])))
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // pid (comm) state ppid pgrp ...; comm may hold spaces, so read after the last ')'.
        const auto close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        char state = 0;
        int ppid = 0;
        int pgrp = 0;
        if (std::sscanf(line.c_str() + close + 1, " %c %d %d", &state, &ppid, &pgrp) != 3)
            continue;
        if (pgrp == group && state != 'Z' && state != 'X')
            out.push_back(std::stoi(name));
    }
    return out;
}

// Tries until `done` holds or `limit` has passed, `pause` apart; whether it held.
bool retry(std::chrono::seconds limit, std::chrono::milliseconds pause,
           const std::function<bool()>& done)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(pause);
    }
    return true;
}

// A calendar under `parent`, kept by `backend`, to be committed.
ESource* newCalendar(const char* parent, const std::string& title, const char* backend,
                     const std::string& color)
{
    ESource* source = e_source_new(nullptr, nullptr, nullptr);
    e_source_set_parent(source, parent);
    e_source_set_display_name(source, title.c_str());
    auto* calendar =
        static_cast<ESourceCalendar*>(e_source_get_extension(source, E_SOURCE_EXTENSION_CALENDAR));
    e_source_backend_set_backend_name(E_SOURCE_BACKEND(calendar), backend);
    e_source_selectable_set_color(E_SOURCE_SELECTABLE(calendar), color.c_str());
    return source;
}

}  // namespace

struct EdsSession::Impl {
    fs::path root;
    pid_t daemon = -1;  // also the process group of everything the bus starts
    ESourceRegistry* registry = nullptr;
    std::map<std::string, ECalClient*> clients;

    ~Impl() { stop(); }

    std::string start()
    {
        const char* daemonPath = "/usr/bin/dbus-daemon";
        if (access(daemonPath, X_OK) != 0)
            return "dbus-daemon is not installed";
        if (!fs::exists(
                "/usr/share/dbus-1/services/org.gnome.evolution.dataserver.Sources5.service"))
            return "Evolution Data Server is not installed";

        char pattern[] = "/tmp/nelvo-eds-XXXXXX";
        if (!mkdtemp(pattern))
            return "cannot make a temporary folder";
        root = pattern;
        const std::map<std::string, fs::path> folders = {
            {"HOME", root / "home"},
            {"XDG_CONFIG_HOME", root / "home/.config"},
            {"XDG_DATA_HOME", root / "home/.local/share"},
            {"XDG_CACHE_HOME", root / "home/.cache"},
            {"XDG_RUNTIME_DIR", root / "runtime"},
        };
        for (const auto& [key, path] : folders)
            fs::create_directories(path);
        fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);

        int out[2];
        if (pipe(out) != 0)
            return "cannot make a pipe";
        const std::string log = (root / "bus.log").string();
        // The bus and what it starts live in the temporary folder, on no other bus.
        gchar** envp = g_get_environ();
        for (const char* key :
             {"DBUS_SESSION_BUS_ADDRESS", "DBUS_STARTER_ADDRESS", "DBUS_STARTER_BUS_TYPE"})
            envp = g_environ_unsetenv(envp, key);
        for (const auto& [key, path] : folders)
            envp = g_environ_setenv(envp, key.c_str(), path.c_str(), TRUE);
        envp = g_environ_setenv(envp, "GSETTINGS_BACKEND", "memory", TRUE);
        daemon = fork();
        if (daemon < 0)
            return "cannot start dbus-daemon";
        if (daemon == 0) {
            setpgid(0, 0);
            // Should this process die before it stops the bus, the bus goes too, and the
            // services lose their connection and end.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            dup2(out[1], STDOUT_FILENO);
            const int err = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (err >= 0)
                dup2(err, STDERR_FILENO);
            close(out[0]);
            close(out[1]);
            const char* argv[] = {"dbus-daemon", "--session",         "--nofork",
                                  "--nopidfile", "--print-address=1", nullptr};
            execve(daemonPath, const_cast<char**>(argv), envp);
            _exit(127);
        }
        g_strfreev(envp);
        setpgid(daemon, daemon);
        close(out[1]);
        // The bus prints its address once it listens, or ends, which closes the pipe.
        FILE* printed = fdopen(out[0], "r");
        char line[512] = {};
        const bool started = fgets(line, sizeof line, printed) && std::strchr(line, '\n');
        fclose(printed);
        if (!started)
            return "dbus-daemon did not start";
        const std::string address(line, std::strcspn(line, "\n"));
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
        // dconf would open a bus connection of its own, which ends this process with the bus.
        setenv("GSETTINGS_BACKEND", "memory", 1);

        GError* error = nullptr;
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
        if (!bus)
            return "cannot connect to the private bus: " + message(error);
        // The bus ends before this process does.
        g_dbus_connection_set_exit_on_close(bus, FALSE);
        g_object_unref(bus);

        registry = e_source_registry_new_sync(nullptr, &error);
        if (!registry)
            return "the EDS registry did not start: " + message(error);
        // Opening the built-in calendar once starts the calendar factory.
        ESource* personal = e_source_registry_ref_builtin_calendar(registry);
        EClient* client = e_cal_client_connect_sync(personal, E_CAL_CLIENT_SOURCE_TYPE_EVENTS,
                                                    noWait, nullptr, &error);
        g_object_unref(personal);
        if (!client)
            return "the EDS calendar factory did not start: " + message(error);
        g_object_unref(client);
        return {};
    }

    void dropClients()
    {
        for (auto& [id, client] : clients)
            g_object_unref(client);
        clients.clear();
    }

    void stop()
    {
        dropClients();
        if (registry) {
            g_object_unref(registry);
            registry = nullptr;
        }
        if (daemon > 0) {
            // A connection of the code under test still open when the bus ends (its worker
            // finishing a call) would end this program with SIGTERM, GDBus's exit-on-close,
            // before its results and the leak checker's are in.
            std::signal(SIGTERM, SIG_IGN);
            // The services the bus activated are in its process group.
            kill(-daemon, SIGTERM);
            const bool ended = retry(std::chrono::seconds(5), std::chrono::milliseconds(50), [&] {
                waitpid(daemon, nullptr, WNOHANG);
                return liveMembers(daemon).empty();
            });
            if (!ended)
                kill(-daemon, SIGKILL);
            waitpid(daemon, nullptr, 0);
            daemon = -1;
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
        }
        if (!root.empty()) {
            std::error_code ec;
            fs::remove_all(root, ec);
            root.clear();
        }
    }

    // Makes a call to the registry service, which may have ended (a test ends it): the call
    // is made again for a while with a new registry, as the bus starts the service anew.
    bool withRegistry(const char* what, const std::function<gboolean(GError**)>& call)
    {
        std::string why;
        const bool done = retry(std::chrono::seconds(10), std::chrono::milliseconds(200), [&] {
            GError* error = nullptr;
            if (call(&error))
                return true;
            why = message(error);
            // This process's registry still names the service that ended. The library hands
            // out that same registry while anyone holds it: let go of it first.
            dropClients();
            if (registry)
                g_object_unref(registry);
            registry = e_source_registry_new_sync(nullptr, nullptr);
            return false;
        });
        if (!done)
            std::fprintf(stderr, "cannot %s: %s\n", what, why.c_str());
        return done;
    }

    // Commits a new source and lets go of it; its UID, empty when it could not be made.
    std::string commit(ESource* source)
    {
        std::string uid = e_source_get_uid(source);
        if (!withRegistry("make a calendar", [&](GError** error) {
                return e_source_registry_commit_source_sync(registry, source, nullptr, error);
            }))
            uid.clear();
        g_object_unref(source);
        return uid;
    }

    ECalClient* client(const std::string& uid, std::string& error)
    {
        if (auto it = clients.find(uid); it != clients.end())
            return it->second;
        ESource* source = e_source_registry_ref_source(registry, uid.c_str());
        if (!source) {
            error = "no calendar " + uid;
            return nullptr;
        }
        // The calendar factory learns of a new calendar from the registry a moment after the
        // registry made it; until then it answers that there is no such calendar.
        EClient* client = nullptr;
        retry(std::chrono::seconds(10), std::chrono::milliseconds(50), [&] {
            GError* gerror = nullptr;
            client = e_cal_client_connect_sync(source, E_CAL_CLIENT_SOURCE_TYPE_EVENTS, noWait,
                                               nullptr, &gerror);
            error = client ? std::string() : message(gerror);
            return client != nullptr;
        });
        g_object_unref(source);
        if (!client)
            return nullptr;
        clients[uid] = E_CAL_CLIENT(client);
        return E_CAL_CLIENT(client);
    }
};

namespace {

std::unique_ptr<EdsSession> running;
std::string failure;  // why the session could not start, once it could not

}  // namespace

EdsSession::EdsSession(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
EdsSession::~EdsSession() = default;

EdsSession* EdsSession::get(std::string& whyNot)
{
    if (running)
        return running.get();
    if (!failure.empty()) {
        whyNot = failure;
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    if (std::string error = impl->start(); !error.empty()) {
        impl->stop();
        failure = whyNot = error;
        return nullptr;
    }
    running.reset(new EdsSession(std::move(impl)));
    std::atexit(stopAll);
    return running.get();
}

void EdsSession::stopAll()
{
    running.reset();
}

std::string EdsSession::createCalendar(const std::string& title, const std::string& color,
                                       bool enabled, const std::string& backend)
{
    ESource* source = newCalendar("local-stub", title, backend.c_str(), color);
    e_source_set_enabled(source, enabled);
    return m_impl->commit(source);
}

std::string EdsSession::createAccountCalendar(const std::string& account,
                                              const std::string& identity)
{
    ESource* collection = e_source_new(nullptr, nullptr, nullptr);
    e_source_set_display_name(collection, account.c_str());
    auto* extension = static_cast<ESourceCollection*>(
        e_source_get_extension(collection, E_SOURCE_EXTENSION_COLLECTION));
    // No backend of this name exists: the account only holds what the test puts in it.
    e_source_backend_set_backend_name(E_SOURCE_BACKEND(extension), "none");
    e_source_collection_set_identity(extension, identity.c_str());
    ESource* source = newCalendar(e_source_get_uid(collection), "Calendar", "local", "#3b82f6");
    std::string uid = e_source_get_uid(source);
    // Both at once, as an account's setup adds them: committed one by one, the calendar would
    // be created on the account's server, which it has none of.
    GList* both = g_list_append(g_list_append(nullptr, collection), source);
    if (!m_impl->withRegistry("make an account", [&](GError** error) {
            return e_source_registry_create_sources_sync(m_impl->registry, both, nullptr, error);
        }))
        uid.clear();
    g_list_free(both);
    g_object_unref(source);
    g_object_unref(collection);
    return uid;
}

std::string EdsSession::createCaldavCalendar(const std::string& title, const std::string& address,
                                             const std::string& user)
{
    ESource* source = newCalendar("caldav-stub", title, "caldav", "#3b82f6");
    auto* webdav = static_cast<ESourceWebdav*>(
        e_source_get_extension(source, E_SOURCE_EXTENSION_WEBDAV_BACKEND));
    if (GUri* uri = g_uri_parse(address.c_str(), G_URI_FLAGS_NONE, nullptr)) {
        e_source_webdav_set_uri(webdav, uri);
        g_uri_unref(uri);
    }
    auto* auth = static_cast<ESourceAuthentication*>(
        e_source_get_extension(source, E_SOURCE_EXTENSION_AUTHENTICATION));
    e_source_authentication_set_host(auth, "127.0.0.1");
    if (!user.empty()) {
        e_source_authentication_set_user(auth, user.c_str());
        e_source_authentication_set_method(auth, "plain/password");
    }
    // Its events are kept on this computer, to be read while the server is away.
    auto* offline =
        static_cast<ESourceOffline*>(e_source_get_extension(source, E_SOURCE_EXTENSION_OFFLINE));
    e_source_offline_set_stay_synchronized(offline, TRUE);
    return m_impl->commit(source);
}

std::string EdsSession::addEvents(const std::string& calendarUid, const std::string& icsText)
{
    std::string problem;
    ECalClient* client = m_impl->client(calendarUid, problem);
    if (!client)
        return problem;
    ICalComponent* calendar = i_cal_component_new_from_string(icsText.c_str());
    if (!calendar)
        return "not iCalendar text";
    GError* error = nullptr;
    // As an import: a series and its moved occurrences arrive together, with their zones.
    i_cal_component_set_method(calendar, I_CAL_METHOD_PUBLISH);
    if (!e_cal_client_receive_objects_sync(client, calendar, E_CAL_OPERATION_FLAG_NONE, nullptr,
                                           &error))
        problem = message(error);
    g_object_unref(calendar);
    return problem;
}

std::string EdsSession::displayName(const std::string& uid)
{
    ESource* source = e_source_registry_ref_source(m_impl->registry, uid.c_str());
    if (!source)
        return {};
    gchar* name = e_source_dup_display_name(source);
    std::string out = name ? name : "";
    g_free(name);
    g_object_unref(source);
    return out;
}

std::string EdsSession::removeCalendar(const std::string& calendarUid)
{
    ESource* source = e_source_registry_ref_source(m_impl->registry, calendarUid.c_str());
    if (!source)
        return "no calendar " + calendarUid;
    GError* error = nullptr;
    std::string problem;
    if (!e_source_remove_sync(source, nullptr, &error))
        problem = message(error);
    g_object_unref(source);
    return problem;
}

std::string EdsSession::killRegistry()
{
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus)
        return message(error);
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "GetConnectionUnixProcessID",
        g_variant_new("(s)", "org.gnome.evolution.dataserver.Sources5"), G_VARIANT_TYPE("(u)"),
        G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, &error);
    g_object_unref(bus);
    if (!reply)
        return message(error);
    guint32 pid = 0;
    g_variant_get(reply, "(u)", &pid);
    g_variant_unref(reply);
    if (pid == 0 || ::kill(static_cast<pid_t>(pid), SIGKILL) != 0)
        return "cannot end the registry";
    return {};
}

}  // namespace nelvo::test
