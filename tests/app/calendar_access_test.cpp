#include "app/calendar_access.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace nelvo {
namespace {

using State = CalendarAccess::State;

class CalendarAccessTest : public testing::Test {
protected:
    std::string file(const std::string& name) const
    {
        const std::string path = m_dir.path().toStdString() + "/" + name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n";
        return path;
    }
    std::string missing() const { return m_dir.path().toStdString() + "/missing.ics"; }

    QTemporaryDir m_dir;
};

TEST_F(CalendarAccessTest, StartsFromTheChosenLocations)
{
    // None chosen; one readable among them; none readable.
    EXPECT_EQ(CalendarAccess({}).state(), State::undetermined);
    EXPECT_EQ(CalendarAccess({missing(), file("a.ics")}).state(), State::granted);
    EXPECT_EQ(CalendarAccess({missing()}).state(), State::denied);
}

TEST_F(CalendarAccessTest, RequestOpensTheChooserAndSavesTheChoice)
{
    std::vector<std::vector<std::string>> saved;
    CalendarAccess access({}, [&](const std::vector<std::string>& paths) { saved.push_back(paths); });
    QSignalSpy changes(&access, &CalendarAccess::stateChanged);
    std::vector<State> seenWhileOpen;
    const std::string chosen = file("work.ics");

    // Cancelled: requesting, then denied; nothing saved.
    access.requestAccess([&]() -> std::optional<std::vector<std::string>> {
        seenWhileOpen.push_back(access.state());
        return std::nullopt;
    });
    EXPECT_EQ(access.state(), State::denied);
    EXPECT_TRUE(saved.empty());
    // Chosen: granted and saved.
    access.requestAccess([&]() -> std::optional<std::vector<std::string>> {
        seenWhileOpen.push_back(access.state());
        access.refresh();  // the window coming to the front while the chooser is open
        return std::vector<std::string>{chosen};
    });
    EXPECT_EQ(access.state(), State::granted);
    EXPECT_EQ(saved, (std::vector<std::vector<std::string>>{{chosen}}));
    EXPECT_EQ(access.locations(), std::vector<std::string>{chosen});
    EXPECT_EQ(seenWhileOpen, (std::vector<State>{State::requesting, State::requesting}));
    // Granted: a request does not open the chooser again.
    bool opened = false;
    access.requestAccess([&]() -> std::optional<std::vector<std::string>> {
        opened = true;
        return std::nullopt;
    });
    EXPECT_FALSE(opened);
    // Each change notified once: requesting, denied, requesting, granted.
    EXPECT_EQ(changes.count(), 4);
}

TEST_F(CalendarAccessTest, PrivacySettingsReopenTheChooser)
{
    CalendarAccess access({missing()});
    ASSERT_EQ(access.state(), State::denied);

    // An unreadable choice stays denied.
    access.openPrivacySettings([&] { return std::optional(std::vector<std::string>{missing()}); });
    EXPECT_EQ(access.state(), State::denied);
    // A readable one grants; cancelling later keeps the grant.
    const std::string chosen = file("cal/a.ics");
    access.openPrivacySettings([&] { return std::optional(std::vector<std::string>{chosen}); });
    EXPECT_EQ(access.state(), State::granted);
    access.openPrivacySettings([] { return std::optional<std::vector<std::string>>(); });
    EXPECT_EQ(access.state(), State::granted);
    EXPECT_EQ(access.locations(), std::vector<std::string>{chosen});
}

TEST_F(CalendarAccessTest, RefreshFollowsTheFiles)
{
    const std::string chosen = file("a.ics");
    CalendarAccess access({chosen});
    QSignalSpy changes(&access, &CalendarAccess::stateChanged);

    // Unchanged: no notification.
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
    access.setLocations({});
    EXPECT_EQ(access.state(), State::undetermined);
    // A refusal with nothing chosen stands on refresh.
    access.requestAccess([] { return std::optional<std::vector<std::string>>(); });
    access.refresh();
    EXPECT_EQ(access.state(), State::denied);
}

TEST_F(CalendarAccessTest, OffersLikelyLocationsThatExist)
{
    const std::string data = m_dir.path().toStdString() + "/data";
    const std::string home = m_dir.path().toStdString() + "/home";
    file("data/evolution/calendar/system/calendar.ics");
    file("data/evolution/calendar/1234abcd/calendar.ics");
    std::filesystem::create_directories(data + "/evolution/calendar/empty");
    std::filesystem::create_directories(home + "/.calendars/work");
    std::filesystem::create_directories(data + "/khal/calendars");

    EXPECT_EQ(CalendarAccess::likelyLocations(data, home),
              (std::vector<std::string>{
                  data + "/evolution/calendar/1234abcd/calendar.ics",
                  data + "/evolution/calendar/system/calendar.ics",
                  home + "/.calendars",
                  data + "/khal/calendars",
              }));
    EXPECT_TRUE(CalendarAccess::likelyLocations(data + "/none", home + "/none").empty());
}

}  // namespace
}  // namespace nelvo
