#include "app/calendar_access.h"

#include "support/temp_folder.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace nelvo {
namespace {

using State = CalendarAccess::State;
using Paths = std::vector<std::string>;

CalendarChoice files(Paths paths)
{
    return {.locations = std::move(paths)};
}

class CalendarAccessTest : public testing::Test {
protected:
    std::string file(const std::string& name) const
    {
        const std::string path = (m_dir / name).string();
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n";
        return path;
    }
    std::string missing() const { return (m_dir / "missing.ics").string(); }

    test::TempFolder m_dir;
};

TEST_F(CalendarAccessTest, StateFollowsTheChosenLocationsAndLikelyOnesAreOffered)
{
    // At once from the locations: none chosen; one readable among them; none readable.
    EXPECT_EQ(CalendarAccess({}).state(), State::undetermined);
    EXPECT_EQ(CalendarAccess(files({missing(), file("b.ics")})).state(), State::granted);
    EXPECT_EQ(CalendarAccess(files({missing()})).state(), State::denied);

    const std::string chosen = file("a.ics");
    CalendarAccess access(files({chosen}));
    QSignalSpy changes(&access, &CalendarAccess::stateChanged);
    // Unchanged on refresh: no notification.
    access.refresh();
    EXPECT_EQ(changes.count(), 0);
    // The file vanished, then came back.
    std::filesystem::remove(chosen);
    access.refresh();
    EXPECT_EQ(access.state(), State::denied);
    file("a.ics");
    access.refresh();
    EXPECT_EQ(access.state(), State::granted);
    // Every location removed elsewhere: back to undetermined.
    access.setChoice({});
    EXPECT_EQ(access.state(), State::undetermined);
    // A refusal with nothing chosen stands on refresh.
    access.requestAccess([] { return std::optional<CalendarChoice>(); });
    access.refresh();
    EXPECT_EQ(access.state(), State::denied);
    const std::string data = (m_dir / "data").string();
    const std::string home = (m_dir / "home").string();
    file("data/evolution/calendar/system/calendar.ics");
    file("data/evolution/calendar/1234abcd/calendar.ics");
    std::filesystem::create_directories(data + "/evolution/calendar/empty");
    std::filesystem::create_directories(home + "/.calendars/work");
    std::filesystem::create_directories(data + "/khal/calendars");

    EXPECT_EQ(CalendarAccess::likelyLocations(data, home),
              (Paths{data + "/evolution/calendar/1234abcd/calendar.ics",
                     data + "/evolution/calendar/system/calendar.ics", home + "/.calendars",
                     data + "/khal/calendars"}));
    EXPECT_EQ(CalendarAccess::likelyLocations(data, home, false),
              (Paths{home + "/.calendars", data + "/khal/calendars"}));
    EXPECT_TRUE(CalendarAccess::likelyLocations(data + "/none", home + "/none").empty());
}

TEST_F(CalendarAccessTest, RequestAndChooseAgainOpenTheChooserAndSaveTheChoice)
{
    std::vector<Paths> saved;
    CalendarAccess access({},
                          [&](const CalendarChoice& choice) { saved.push_back(choice.locations); });
    QSignalSpy changes(&access, &CalendarAccess::stateChanged);
    const std::string chosen = file("work.ics");
    std::vector<State> seenWhileOpen;
    auto chooser = [&](std::optional<Paths> paths) -> CalendarAccess::Chooser {
        return [&, paths]() -> std::optional<CalendarChoice> {
            seenWhileOpen.push_back(access.state());
            access.refresh();  // the window coming to the front while the chooser is open
            return paths ? std::optional(files(*paths)) : std::nullopt;
        };
    };

    // Cancelled: requesting, then denied; nothing saved.
    access.requestAccess(chooser(std::nullopt));
    EXPECT_EQ(access.state(), State::denied);
    EXPECT_TRUE(saved.empty());
    // Chosen: granted and saved.
    access.requestAccess(chooser(Paths{chosen}));
    EXPECT_EQ(access.state(), State::granted);
    EXPECT_EQ(saved, std::vector<Paths>{{chosen}});
    EXPECT_EQ(access.locations(), Paths{chosen});
    // Granted: a request does not open the chooser again.
    access.requestAccess(chooser(std::nullopt));
    EXPECT_EQ(seenWhileOpen, (std::vector<State>{State::requesting, State::requesting}));
    // Each change notified once: requesting, denied, requesting, granted.
    EXPECT_EQ(changes.count(), 4);

    // Choosing again: an unreadable choice is denied; a readable one grants; cancelling later
    // keeps the grant.
    access.chooseLocations([&] { return std::optional(files({missing()})); });
    EXPECT_EQ(access.state(), State::denied);
    access.chooseLocations([&] { return std::optional(files({chosen})); });
    EXPECT_EQ(access.state(), State::granted);
    access.chooseLocations([] { return std::optional<CalendarChoice>(); });
    EXPECT_EQ(access.state(), State::granted);
    EXPECT_EQ(access.locations(), Paths{chosen});
}

TEST_F(CalendarAccessTest, DesktopCalendarsGrantWhileTheDesktopStillHasThem)
{
    std::set<std::string> onDesktop{"work-uid"};
    auto lookup = [&](const std::string& id) { return onDesktop.contains(id); };
    std::vector<CalendarChoice> saved;
    auto save = [&](const CalendarChoice& choice) { saved.push_back(choice); };

    // Desktop calendars alone are enough; no file prompt for a user who has only those.
    CalendarAccess access({}, save, lookup);
    const CalendarChoice desktopOnly{.desktopCalendars = {"work-uid"}};
    access.requestAccess([&] { return std::optional(desktopOnly); });
    EXPECT_EQ(access.state(), State::granted);
    EXPECT_EQ(saved, std::vector<CalendarChoice>{desktopOnly});

    // The account was removed from the desktop: denied, and granted again when it is back.
    onDesktop.clear();
    access.refresh();
    EXPECT_EQ(access.state(), State::denied);
    onDesktop.insert("work-uid");
    access.refresh();
    EXPECT_EQ(access.state(), State::granted);

    // A readable file keeps the grant when the desktop calendar goes.
    onDesktop.clear();
    access.setChoice({.locations = {file("b.ics")}, .desktopCalendars = {"work-uid"}});
    EXPECT_EQ(access.state(), State::granted);
}

}  // namespace
}  // namespace nelvo
