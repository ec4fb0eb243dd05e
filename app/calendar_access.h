#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace nelvo {

// The user's permission to read calendars. Here the user grants it by choosing calendar
// files or folders:
// - undetermined: none chosen yet;
// - requesting: the chooser is open;
// - granted: at least one chosen location can be read;
// - denied: the chooser was cancelled, or no chosen location can be read.
class CalendarAccess : public QObject {
    Q_OBJECT
public:
    enum class State { undetermined, requesting, granted, denied };
    Q_ENUM(State)

    // The window's chooser: the chosen paths, or nothing when the user cancelled.
    using Chooser = std::function<std::optional<std::vector<std::string>>()>;
    // Keeps the chosen paths (in the defaults, under "calendars.locations").
    using Saver = std::function<void(const std::vector<std::string>&)>;

    // `locations`: the paths chosen earlier. The state follows from them at once.
    explicit CalendarAccess(std::vector<std::string> locations, Saver save = {},
                            QObject* parent = nullptr);

    State state() const { return m_state; }
    const std::vector<std::string>& locations() const { return m_locations; }

    // Paths chosen elsewhere (the command line); not saved again. Refreshes the state.
    void setLocations(std::vector<std::string> locations);

    // Checks the chosen locations again, as the window does when it comes to the front:
    // granted when one can be read, denied when none can. With none chosen, a granted state
    // falls back to undetermined; a refusal stands. Leaves the state alone while the chooser
    // is open.
    void refresh();

    // Does nothing when granted. Otherwise opens the chooser (state requesting); the chosen
    // paths replace the earlier ones and are saved; a cancelled or empty choice is a refusal.
    void requestAccess(const Chooser& chooser);

    // Opens the chooser whatever the state (the window's "Open Privacy Settings"); the
    // chosen paths replace the earlier ones, and cancelling keeps an earlier grant.
    void chooseLocations(const Chooser& chooser);

    // Calendar files and folders worth offering first, those that exist: local calendar
    // files of the desktop's mail and calendar suite
    // ($XDG_DATA_HOME/evolution/calendar/*/calendar.ics) and the folders where calendar sync
    // tools keep their vdirs.
    static std::vector<std::string> likelyLocations();
    static std::vector<std::string> likelyLocations(const std::string& dataHome,
                                                    const std::string& home);

Q_SIGNALS:
    void stateChanged(nelvo::CalendarAccess::State state);
    void locationsChanged();

private:
    void runChooser(const Chooser& chooser);
    void setState(State state);
    State stateFromLocations() const;

    State m_state = State::undetermined;
    std::vector<std::string> m_locations;
    Saver m_save;
};

}  // namespace nelvo
