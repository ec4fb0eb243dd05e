#pragma once

#include <memory>
#include <string>

namespace nelvo::test {

// A private Evolution Data Server for the tests of this process: its own session bus
// (dbus-daemon in a process group of its own) with HOME and the XDG folders in a temporary
// folder, set before the bus starts so that the services it activates never touch the
// user's calendars. The bus starts on first use and stops, with every process it started,
// at stopAll() or when the program ends. Used by the tests and the benchmark.
class EdsSession {
public:
    // The running session, started on first call; null when EDS cannot run here, with the
    // reason in `whyNot`.
    static EdsSession* get(std::string& whyNot);
    // Ends the bus and every service it activated, and removes the temporary folder.
    static void stopAll();

    // A new calendar made through the registry, kept by `backend`; returns its UID, empty
    // when it could not be made.
    std::string createCalendar(const std::string& title, const std::string& color,
                               bool enabled = true, const std::string& backend = "local");
    // A calendar kept on this computer under an account of its own (a collection titled
    // `account`) whose identity is `identity`, an e-mail address. Returns the calendar's UID,
    // empty when it could not be made.
    std::string createAccountCalendar(const std::string& account, const std::string& identity);
    // A new CalDAV calendar at `address` ("http://127.0.0.1:PORT/ana/work/"), its account
    // a collection of its own titled `account`; `user` signs in when not empty. Returns its
    // UID, empty when it could not be made.
    std::string createCaldavCalendar(const std::string& title, const std::string& address,
                                     const std::string& user = {});
    // Adds the events (and time zones) of an iCalendar text through ECalClient.
    // Returns an error text, empty on success.
    std::string addEvents(const std::string& calendarUid, const std::string& icsText);
    // A source's display name as this process reads it (translated).
    std::string displayName(const std::string& uid);
    std::string removeCalendar(const std::string& calendarUid);
    // Kills the source registry service, which the bus starts again on the next call to it.
    // Returns an error text.
    std::string killRegistry();

    ~EdsSession();

private:
    struct Impl;
    explicit EdsSession(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace nelvo::test
