#include "app/calendar_access.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace nelvo {

namespace {

namespace fs = std::filesystem;

bool isReadable(const std::string& location)
{
    std::string path = location;
    if (path == "~" || path.rfind("~/", 0) == 0) {
        if (const char* home = std::getenv("HOME"); home && *home)
            path = std::string(home) + path.substr(1);
    }
    return ::access(path.c_str(), R_OK) == 0;
}

}  // namespace

CalendarAccess::CalendarAccess(std::vector<std::string> locations, Saver save, QObject* parent)
    : QObject(parent), m_locations(std::move(locations)), m_save(std::move(save))
{
    m_state = stateFromLocations();
}

CalendarAccess::State CalendarAccess::stateFromLocations() const
{
    if (m_locations.empty())
        return State::undetermined;
    return std::any_of(m_locations.begin(), m_locations.end(), isReadable) ? State::granted
                                                                           : State::denied;
}

void CalendarAccess::setLocations(std::vector<std::string> locations)
{
    if (locations != m_locations) {
        m_locations = std::move(locations);
        Q_EMIT locationsChanged();
    }
    refresh();
}

void CalendarAccess::refresh()
{
    if (m_state == State::requesting)
        return;
    if (m_locations.empty()) {
        if (m_state == State::granted)
            setState(State::undetermined);
        return;
    }
    setState(stateFromLocations());
}

void CalendarAccess::requestAccess(const Chooser& chooser)
{
    if (m_state == State::granted)
        return;
    runChooser(chooser);
}

void CalendarAccess::chooseLocations(const Chooser& chooser)
{
    runChooser(chooser);
}

void CalendarAccess::runChooser(const Chooser& chooser)
{
    if (m_state == State::requesting)
        return;  // the chooser is already open
    const State before = m_state;
    setState(State::requesting);
    std::optional<std::vector<std::string>> chosen = chooser ? chooser() : std::nullopt;
    if (!chosen || chosen->empty()) {
        setState(before == State::granted ? State::granted : State::denied);
        return;
    }
    if (*chosen != m_locations) {
        m_locations = std::move(*chosen);
        if (m_save)
            m_save(m_locations);
        Q_EMIT locationsChanged();
    }
    setState(stateFromLocations());
}

void CalendarAccess::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

std::vector<std::string> CalendarAccess::likelyLocations()
{
    const char* homeVar = std::getenv("HOME");
    const std::string home = homeVar ? homeVar : "";
    const char* dataVar = std::getenv("XDG_DATA_HOME");
    const std::string dataHome =
        dataVar && *dataVar ? std::string(dataVar) : (home.empty() ? "" : home + "/.local/share");
    return likelyLocations(dataHome, home);
}

std::vector<std::string> CalendarAccess::likelyLocations(const std::string& dataHome,
                                                         const std::string& home)
{
    std::vector<std::string> result;
    std::error_code ec;
    if (!dataHome.empty()) {
        std::vector<std::string> suite;
        const fs::path root = fs::path(dataHome) / "evolution" / "calendar";
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path file = it->path() / "calendar.ics";
            std::error_code fileError;
            if (fs::is_regular_file(file, fileError))
                suite.push_back(file.string());
        }
        std::sort(suite.begin(), suite.end());
        result.insert(result.end(), suite.begin(), suite.end());
    }
    std::vector<fs::path> folders;
    if (!home.empty()) {
        folders.push_back(fs::path(home) / ".calendars");
        folders.push_back(fs::path(home) / "calendars");
    }
    if (!dataHome.empty()) {
        folders.push_back(fs::path(dataHome) / "calendars");
        folders.push_back(fs::path(dataHome) / "vdirsyncer" / "calendars");
        folders.push_back(fs::path(dataHome) / "khal" / "calendars");
    }
    for (const fs::path& folder : folders) {
        std::error_code folderError;
        if (fs::is_directory(folder, folderError))
            result.push_back(folder.string());
    }
    return result;
}

}  // namespace nelvo
