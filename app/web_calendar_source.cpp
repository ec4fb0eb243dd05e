#include "app/web_calendar_source.h"

#include "app/module.h"

namespace nelvo {

namespace {

// Stands in for the calendars by address when their module cannot be loaded.
class UnavailableWebCalendars final : public WebCalendarSource {
public:
    explicit UnavailableWebCalendars(std::string whyNot) : m_whyNot(std::move(whyNot)) {}

    void setCalendarAddresses(std::vector<std::string> calendarAddresses) override
    {
        m_calendarAddresses = std::move(calendarAddresses);
    }
    const std::vector<std::string>& calendarAddresses() const override
    {
        return m_calendarAddresses;
    }
    void setAddresses(std::vector<std::string>) override {}
    void refresh() override {}
    void waitForRefresh(std::chrono::milliseconds) override {}
    bool isRefreshing() const override { return false; }

    bool hasAccess() const override { return !m_calendarAddresses.empty(); }
    std::vector<CalendarInfo> calendars() override { return {}; }
    std::vector<CalendarEvent> events(Date, Date) override { return {}; }
    void observeChanges(std::function<void()>) override {}
    bool isLastFetchComplete() const override { return m_calendarAddresses.empty(); }
    // One line for them all: the addresses themselves are private.
    std::vector<SourceProblem> lastFetchProblems() const override
    {
        if (m_calendarAddresses.empty())
            return {};
        return {{.kind = SourceProblem::Kind::unreadableCalendar,
                 .path = {},
                 .message = "cannot read the calendars chosen by address: they cannot be "
                            "fetched here (" +
                            m_whyNot + ")"}};
    }

private:
    std::string m_whyNot;
    std::vector<std::string> m_calendarAddresses;
};

}  // namespace

std::shared_ptr<WebCalendarSource>
WebCalendarSource::make(std::vector<std::string> calendarAddresses,
                        std::vector<std::string> addresses)
{
    std::string whyNot;
    std::shared_ptr<WebCalendarSource> source;
    if (const auto factory = Module::factory<Factory>(moduleName, factorySymbol, whyNot))
        source.reset(factory());
    else
        source = std::make_shared<UnavailableWebCalendars>(std::move(whyNot));
    source->setCalendarAddresses(std::move(calendarAddresses));
    source->setAddresses(std::move(addresses));
    return source;
}

}  // namespace nelvo
