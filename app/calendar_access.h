#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// The calendars the user lets Nelvo read.
struct CalendarChoice {
    std::vector<std::string> locations{};         // calendar files and folders
    std::vector<std::string> desktopCalendars{};  // identifiers of the desktop's calendars
    std::vector<std::string> webCalendars{};      // calendar addresses (secrets)

    bool empty() const
    {
        return locations.empty() && desktopCalendars.empty() && webCalendars.empty();
    }
    bool operator==(const CalendarChoice&) const = default;
};

// The user's permission to read calendars. Here the user grants it by choosing calendars:
// the desktop's own, and calendar files or folders.
// - undetermined: none chosen yet;
// - requesting: the chooser is open;
// - granted: a chosen desktop calendar is still there, a chosen location can be read, or a
//   calendar address is chosen (its state says whether it could be fetched);
// - denied: the chooser was cancelled, or nothing chosen can be read.
class CalendarAccess : public QObject {
    Q_OBJECT
public:
    enum class State { undetermined, requesting, granted, denied };
    Q_ENUM(State)

    // The window's chooser: the choice, or nothing when the user cancelled.
    using Chooser = std::function<std::optional<CalendarChoice>()>;
    // Keeps the choice (in the defaults, under "calendars.locations", "calendars.desktop" and
    // "calendars.web").
    using Saver = std::function<void(const CalendarChoice&)>;
    // Whether the desktop still has the calendar with this identifier.
    using DesktopLookup = std::function<bool(const std::string& id)>;

    // `choice`: what was chosen earlier. The state follows from it at once. Without a
    // lookup every chosen desktop calendar counts as there.
    explicit CalendarAccess(CalendarChoice choice, Saver save = {}, DesktopLookup lookup = {},
                            QObject* parent = nullptr);

    State state() const { return m_state; }
    const CalendarChoice& choice() const { return m_choice; }
    const std::vector<std::string>& locations() const { return m_choice.locations; }

    // A choice made elsewhere (the command line); not saved again. Refreshes the state.
    void setChoice(CalendarChoice choice);

    // Checks the choice again, as the window does when it comes to the front: granted when
    // something chosen can be read, denied when nothing can. With nothing chosen, a granted
    // state falls back to undetermined; a refusal stands. Leaves the state alone while the
    // chooser is open.
    void refresh();

    // Does nothing when granted. Otherwise opens the chooser (state requesting); the choice
    // replaces the earlier one and is saved; a cancelled or empty choice is a refusal.
    void requestAccess(const Chooser& chooser);

    // Opens the chooser whatever the state (the window's "Open Privacy Settings"); the
    // choice replaces the earlier one, and cancelling keeps an earlier grant.
    void chooseLocations(const Chooser& chooser);

    // Calendar files and folders worth offering first, those that exist: local calendar
    // files of the desktop's calendar store ($XDG_DATA_HOME/evolution/calendar/*/calendar.ics;
    // left out with `withStoreFiles` false, when the store itself is read) and the folders
    // where calendar sync tools keep their vdirs.
    static std::vector<std::string> likelyLocations(bool withStoreFiles = true);
    static std::vector<std::string> likelyLocations(const std::string& dataHome,
                                                    const std::string& home,
                                                    bool withStoreFiles = true);

Q_SIGNALS:
    void stateChanged(nelvo::CalendarAccess::State state);
    void choiceChanged();

private:
    void runChooser(const Chooser& chooser);
    void setState(State state);
    State stateFromChoice() const;

    State m_state = State::undetermined;
    CalendarChoice m_choice;
    Saver m_save;
    DesktopLookup m_lookup;
};

}  // namespace nelvo
