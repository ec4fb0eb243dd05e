#pragma once

#include "app/event_source.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace nelvo {

// Calendars read from calendar addresses, as the window and the command line use them. The
// source itself (`IcsUrlCalendarSource`) lives in the module "web-calendars", with Qt Network
// and all it loads (Kerberos, proxies, TLS); make() loads it the first time a run reads an
// address.
class WebCalendarSource : public EventSource {
public:
    static constexpr const char* moduleName = "web-calendars";
    // The module's factory: a new source without addresses, owned by the caller.
    static constexpr const char* factorySymbol = "nelvo_make_web_calendars";
    using Factory = WebCalendarSource* (*)();

    // A source over `calendarAddresses` (as stored); `addresses` are the user's own e-mail
    // addresses. Without the module it lists no calendar, and a fetch with addresses chosen
    // fails with an unreadable-calendar problem, since their busy time is unknown.
    static std::shared_ptr<WebCalendarSource> make(std::vector<std::string> calendarAddresses = {},
                                                   std::vector<std::string> addresses = {});

    virtual void setCalendarAddresses(std::vector<std::string> calendarAddresses) = 0;
    virtual const std::vector<std::string>& calendarAddresses() const = 0;
    virtual void setAddresses(std::vector<std::string> addresses) = 0;
    // Starts a fetch of every address not being fetched already.
    virtual void refresh() = 0;
    // Refreshes and waits, running the event loop, until every fetch ended or `bound` ran out.
    virtual void waitForRefresh(std::chrono::milliseconds bound) = 0;
    virtual bool isRefreshing() const = 0;
};

}  // namespace nelvo
