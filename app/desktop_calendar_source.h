#pragma once

#include "app/event_source.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// The desktop's own calendars, as the window and the command line use them. The source
// itself (`EdsCalendarSource`) lives in the module "desktop-calendars", with Evolution Data
// Server and all it loads; make() loads it the first time a run reads desktop calendars.
class DesktopCalendarSource : public EventSource {
public:
    static constexpr const char* moduleName = "desktop-calendars";
    // The module's factory: a new source, owned by the caller.
    static constexpr const char* factorySymbol = "nelvo_make_desktop_calendars";
    using Factory = DesktopCalendarSource* (*)();

    // A source over the desktop's calendars. Without the module (the desktop's calendar
    // libraries are not installed) it lists no calendar, and a fetch with calendars chosen
    // fails with an unreadable-calendar problem per chosen calendar, since their busy time
    // is unknown.
    static std::shared_ptr<DesktopCalendarSource> make(std::vector<std::string> addresses = {});

    // The user's own calendar addresses.
    virtual void setAddresses(std::vector<std::string> addresses) = 0;
    // How long each call may wait for the desktop's calendar store.
    virtual void setAnswerTimeout(std::chrono::milliseconds timeout) = 0;
    // The calendars read, by identifier; nothing (the default) reads every enabled one.
    virtual void setChosenCalendars(std::optional<std::vector<std::string>> ids) = 0;
    // Whether events() waits, at most the answer timeout, for a fetch of its own window: one
    // fresh answer for the command line. Off by default (the window).
    virtual void setWaitForFetch(bool wait) = 0;
    // Every enabled event calendar, chosen or not; for choosing them.
    virtual std::vector<CalendarInfo> allCalendars() = 0;
};

}  // namespace nelvo
