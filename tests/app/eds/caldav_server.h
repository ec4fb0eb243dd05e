#pragma once

#include "support/temp_folder.h"

#include <string>

namespace nelvo::test {

// A real CalDAV server for the tests: Radicale on 127.0.0.1 at a free port, its collections
// in a temporary folder, started by the test and stopped with it. With `password`, user
// "ana" must give it; without, anyone may read and write.
class CaldavServer {
public:
    explicit CaldavServer(const std::string& password = {});
    ~CaldavServer();
    CaldavServer(const CaldavServer&) = delete;
    CaldavServer& operator=(const CaldavServer&) = delete;

    // Empty when the server runs, else why not.
    const std::string& whyNot() const { return m_whyNot; }
    // The calendar collection "/ana/<name>/", made on first use; its address.
    std::string calendar(const std::string& name);
    // Stores an iCalendar object as "<name>.ics" in that calendar, as a client's upload would.
    void put(const std::string& calendar, const std::string& name, const std::string& ics);
    // Stops the server, keeping its collections.
    void stop();

private:
    TempFolder m_root{"nelvo-caldav"};
    int m_port = 0;
    int m_pid = -1;
    std::string m_whyNot;

    std::string start();
};

}  // namespace nelvo::test
