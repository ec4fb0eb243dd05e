#include "app/desktop_calendar_source.h"

#include "app/module.h"

namespace nelvo {

namespace {

// Stands in for the desktop's calendars when their module cannot be loaded.
class UnavailableDesktopCalendars final : public DesktopCalendarSource {
public:
    explicit UnavailableDesktopCalendars(std::string whyNot) : m_whyNot(std::move(whyNot)) {}

    void setAddresses(std::vector<std::string>) override {}
    void setAnswerTimeout(std::chrono::milliseconds) override {}
    void setWaitForFetch(bool) override {}
    void setChosenCalendars(std::optional<std::vector<std::string>> ids) override
    {
        m_chosen = ids.value_or(std::vector<std::string>{});
    }
    std::vector<CalendarInfo> allCalendars() override { return {}; }

    bool hasAccess() const override { return false; }
    std::vector<CalendarInfo> calendars() override { return {}; }
    std::vector<CalendarEvent> events(Date, Date) override { return {}; }
    void observeChanges(std::function<void()>) override {}
    bool isLastFetchComplete() const override { return m_chosen.empty(); }
    std::vector<SourceProblem> lastFetchProblems() const override
    {
        std::vector<SourceProblem> problems;
        for (const std::string& id : m_chosen)
            problems.push_back({.kind = SourceProblem::Kind::unreadableCalendar,
                                .path = id,
                                .message = "cannot read the desktop calendar " + id +
                                           ": the desktop's calendars cannot be loaded (" +
                                           m_whyNot + ")"});
        return problems;
    }

private:
    std::string m_whyNot;
    std::vector<std::string> m_chosen;
};

}  // namespace

std::shared_ptr<DesktopCalendarSource>
DesktopCalendarSource::make(std::vector<std::string> addresses)
{
    std::string whyNot;
    std::shared_ptr<DesktopCalendarSource> source;
    if (const auto factory = Module::factory<Factory>(moduleName, factorySymbol, whyNot))
        source.reset(factory());
    else
        source = std::make_shared<UnavailableDesktopCalendars>(std::move(whyNot));
    source->setAddresses(std::move(addresses));
    return source;
}

}  // namespace nelvo
