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

CalendarAccess::CalendarAccess(CalendarChoice choice, Saver save, DesktopLookup lookup,
                               QObject* parent)
    : QObject(parent), m_choice(std::move(choice)), m_save(std::move(save)),
      m_lookup(std::move(lookup))
{
    m_state = stateFromChoice();
}

CalendarAccess::State CalendarAccess::stateFromChoice() const
{
    if (m_choice.empty())
        return State::undetermined;
    const auto& desktop = m_choice.desktopCalendars;
    const bool desktopReadable =
        !desktop.empty() && (!m_lookup || std::any_of(desktop.begin(), desktop.end(), m_lookup));
    const auto& files = m_choice.locations;
    return desktopReadable || !m_choice.webCalendars.empty() ||
                   std::any_of(files.begin(), files.end(), isReadable)
               ? State::granted
               : State::denied;
}

void CalendarAccess::setChoice(CalendarChoice choice)
{
    if (choice != m_choice) {
        m_choice = std::move(choice);
        Q_EMIT choiceChanged();
    }
    refresh();
}

void CalendarAccess::refresh()
{
    if (m_state == State::requesting)
        return;
    if (m_choice.empty()) {
        if (m_state == State::granted)
            setState(State::undetermined);
        return;
    }
    setState(stateFromChoice());
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
    std::optional<CalendarChoice> chosen = chooser ? chooser() : std::nullopt;
    if (!chosen || chosen->empty()) {
        setState(before == State::granted ? State::granted : State::denied);
        return;
    }
    if (*chosen != m_choice) {
        m_choice = std::move(*chosen);
        if (m_save)
            m_save(m_choice);
        Q_EMIT choiceChanged();
    }
    setState(stateFromChoice());
}

void CalendarAccess::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

std::vector<std::string> CalendarAccess::likelyLocations(bool withStoreFiles)
{
    const char* homeVar = std::getenv("HOME");
    const std::string home = homeVar ? homeVar : "";
    const char* dataVar = std::getenv("XDG_DATA_HOME");
    const std::string dataHome =
        dataVar && *dataVar ? std::string(dataVar) : (home.empty() ? "" : home + "/.local/share");
    return likelyLocations(dataHome, home, withStoreFiles);
}

std::vector<std::string> CalendarAccess::likelyLocations(const std::string& dataHome,
                                                         const std::string& home,
                                                         bool withStoreFiles)
{
    std::vector<std::string> result;
    std::error_code ec;
    if (!dataHome.empty() && withStoreFiles) {
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
