#include "app/availability_model.h"

#include "app/event_source.h"
#include "app/ics/ics_text.h"
#include "kit/canvas/time_axis.h"
#include "kit/core/availability_engine.h"
#include "kit/core/calendar.h"
#include "kit/core/civil.h"
#include "kit/core/day_key.h"
#include "kit/core/included_days.h"
#include "kit/core/lead_time.h"
#include "kit/model/busy_classifier.h"
#include "kit/render/chat_renderer.h"
#include "kit/render/email_renderer.h"
#include "kit/render/html_renderer.h"
#include "kit/render/markdown_renderer.h"
#include "kit/render/message_layout.h"
#include "kit/render/rtf_renderer.h"
#include "kit/render/slot_formatter.h"
#include "kit/render/table_builder.h"
#include "kit/store/adjustments_store.h"
#include "kit/store/settings_store.h"

#include <QDateTime>
#include <QTimer>

#include <algorithm>
#include <unordered_set>

namespace nelvo {

namespace {

constexpr const char* emptyRangeText = "No availability in this range.";

// The latest end of each fetched occurrence; its keys are the occurrences fetched.
std::unordered_map<AdjustmentKey, Date> occurrenceEnds(const std::vector<CalendarEvent>& events)
{
    std::unordered_map<AdjustmentKey, Date> ends;
    for (const auto& event : events) {
        auto [it, inserted] = ends.emplace(event.id(), event.end);
        if (!inserted && event.end > it->second)
            it->second = event.end;
    }
    return ends;
}

// Whether the interval shares time with the range: an event of no length shares none, so it
// neither shows in a day nor counts as a meeting to free.
template <typename T>
bool overlaps(const T& interval, const std::pair<Date, Date>& range)
{
    return std::max(interval.start, range.first) < std::min(interval.end, range.second);
}

}  // namespace

Date AvailabilityModel::systemNow()
{
    return Date::fromUnixSeconds(static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0);
}

AvailabilityModel::AvailabilityModel(std::shared_ptr<EventSource> source,
                                     std::shared_ptr<SettingsStore> settingsStore,
                                     std::shared_ptr<AdjustmentsStore> adjustmentsStore, Clock now,
                                     ZoneProvider currentZone, QObject* parent)
    : QObject(parent), m_source(std::move(source)), m_settingsStore(std::move(settingsStore)),
      m_adjustmentsStore(std::move(adjustmentsStore)), m_now(std::move(now)),
      m_currentZone(std::move(currentZone)), m_zone(TimeZone::utc())
{
    const TimeZone current = m_currentZone();
    m_settings = m_settingsStore ? m_settingsStore->load(current) : Settings::initial(current);
    m_adjustments = m_adjustmentsStore ? m_adjustmentsStore->load() : Adjustments::empty();
    m_zone = candidateZone();
    m_today = Calendar(m_zone).startOfDay(m_now());
    m_rangeStart = m_today;

    m_pendingSave = new QTimer(this);
    m_pendingSave->setSingleShot(true);
    m_pendingSave->setInterval(settingsSaveDelayMilliseconds);
    connect(m_pendingSave, &QTimer::timeout, this, [this] {
        if (m_settingsStore)
            m_settingsStore->save(m_settings);
    });

    if (m_source) {
        QPointer<AvailabilityModel> weak(this);
        m_source->observeChanges([weak] {
            if (weak)
                weak->reload();
        });
    }
    reload();
}

AvailabilityModel::~AvailabilityModel()
{
    // A change made just before the window closed is not lost with the timer.
    if (m_pendingSave->isActive())
        saveSettingsNow();
    if (m_adjustmentsUnsaved)
        saveAdjustmentsNow();  // a drag the window never ended
    if (m_source)
        m_source->observeChanges({});
}

template <typename T>
void AvailabilityModel::publish(T& field, T value, void (AvailabilityModel::*changed)())
{
    if (field == value)
        return;
    field = std::move(value);
    Q_EMIT(this->*changed)();
}

void AvailabilityModel::setUndoHistory(std::shared_ptr<UndoHistory> history)
{
    m_undoHistory = std::move(history);
}

void AvailabilityModel::setSoundOutput(SoundPlayer::Output output, SoundPlayer::Clock clock)
{
    m_sounds = std::make_unique<SoundPlayer>([this] { return m_settings.soundsEnabled; },
                                             std::move(output), std::move(clock));
}

void AvailabilityModel::play(Sound sound)
{
    if (m_sounds)
        m_sounds->play(sound);
}

// --- Zone, day and settings

TimeZone AvailabilityModel::candidateZone() const
{
    if (m_settings.primaryZoneID) {
        if (auto zone = TimeZone::named(*m_settings.primaryZoneID))
            return *zone;
    }
    return m_currentZone();
}

bool AvailabilityModel::resolveZoneAndDay()
{
    const TimeZone candidate = candidateZone();
    if (candidate == m_zone)
        return false;
    publish(m_zone, candidate, &AvailabilityModel::zoneChanged);
    publish(m_today, Calendar(m_zone).startOfDay(m_now()), &AvailabilityModel::todayChanged);
    return true;
}

void AvailabilityModel::setSettings(Settings settings)
{
    publish(m_settings, std::move(settings), &AvailabilityModel::settingsChanged);
    applySettings();
}

void AvailabilityModel::applySettings()
{
    scheduleSettingsSave();
    if (resolveZoneAndDay())
        reload();
    else
        recompute();
}

void AvailabilityModel::scheduleSettingsSave()
{
    m_pendingSave->start();  // restarts a pending wait
}

void AvailabilityModel::saveSettingsNow()
{
    m_pendingSave->stop();
    if (m_settingsStore)
        m_settingsStore->save(m_settings);
}

// --- Fetching

std::optional<Date> AvailabilityModel::fetchEnd(Date from) const
{
    return Calendar(m_zone).addingDays(fetchDays, from);
}

void AvailabilityModel::noteProblems(const std::vector<SourceProblem>& problems)
{
    // Reading calendars and then their events meets the same unreadable file twice.
    m_fetchProblems.addListed(problems);
}

void AvailabilityModel::noteStates(std::vector<CalendarState> states, bool replace)
{
    std::vector<CalendarState> merged = replace ? std::vector<CalendarState>() : m_calendarStates;
    for (CalendarState& state : states) {
        auto same = std::find_if(merged.begin(), merged.end(), [&](const CalendarState& s) {
            return s.calendarID == state.calendarID;
        });
        if (same != merged.end())
            *same = std::move(state);
        else
            merged.push_back(std::move(state));
    }
    // A calendar that may hide busy time makes the fetch incomplete, whatever the source said.
    if (std::any_of(merged.begin(), merged.end(),
                    [](const CalendarState& s) { return s.hidesBusyTime(); }))
        m_isLastFetchComplete = false;
    publish(m_calendarStates, std::move(merged), &AvailabilityModel::calendarStatesChanged);
}

void AvailabilityModel::fetchEvents(Date from, Date to, bool append)
{
    m_source->setPrimaryZone(m_zone);
    std::vector<CalendarEvent> fetched = m_source->events(from, to);
    // Appending to what an incomplete fetch left is no more complete than that fetch.
    m_isLastFetchComplete = m_source->isLastFetchComplete() && (!append || m_isLastFetchComplete);
    noteProblems(m_source->lastFetchProblems());
    noteStates(m_source->lastFetchStates(), false);

    std::vector<CalendarEvent> events;
    if (append) {
        events = m_events;
        std::unordered_set<AdjustmentKey> held;
        for (const auto& event : events)
            held.insert(event.id());
        for (auto& event : fetched) {
            if (!held.contains(event.id()))
                events.push_back(std::move(event));
        }
    } else {
        events = std::move(fetched);
    }
    std::stable_sort(
        events.begin(), events.end(),
        [](const CalendarEvent& a, const CalendarEvent& b) { return a.start < b.start; });
    publish(m_events, std::move(events), &AvailabilityModel::eventsChanged);
    publish(m_shownProblems, m_fetchProblems.list(), &AvailabilityModel::fetchProblemsChanged);
}

void AvailabilityModel::reload()
{
    resolveZoneAndDay();
    Settings normalised = m_settings;
    normalised.ensurePrimaryRuler(m_currentZone());
    if (normalised != m_settings)
        setSettings(std::move(normalised));

    if (!m_source) {
        recompute();
        return;
    }
    if (!m_source->hasAccess()) {
        // Nothing chosen can be read: the events read before may be gone or changed, so the
        // states say why and the fetch counts as incomplete.
        m_source->calendars();
        m_isLastFetchComplete = m_source->isLastFetchComplete();
        noteStates(m_source->lastFetchStates(), true);
        recompute();
        return;
    }
    m_fetchProblems.clear();
    m_source->setPrimaryZone(m_zone);
    publish(m_calendars, m_source->calendars(), &AvailabilityModel::calendarsChanged);
    m_isLastFetchComplete = m_source->isLastFetchComplete();
    publish(m_accountAddresses, m_source->accountAddresses(),
            &AvailabilityModel::accountAddressesChanged);
    noteProblems(m_source->lastFetchProblems());
    noteStates(m_source->lastFetchStates(), true);
    const bool calendarsComplete = m_isLastFetchComplete;

    publish(m_span, refreshSpan(), &AvailabilityModel::spanChanged);
    const Date fetchStart = startDay().value_or(m_today);
    const Date end = fetchEnd(fetchStart).value_or(rangeEnd());
    fetchEvents(m_today, end, false);
    m_isLastFetchComplete = m_isLastFetchComplete && calendarsComplete;
    publish(m_fetchedEnd, std::optional<Date>(end), &AvailabilityModel::fetchedEndChanged);
    reconcileAfterFetch();
}

void AvailabilityModel::setAddresses(std::vector<std::string> addresses)
{
    if (!m_source)
        return;
    m_source->setAddresses(std::move(addresses));
    reload();
}

std::vector<AnsweredAddress>
AvailabilityModel::addressSuggestions(const std::vector<std::string>& known) const
{
    if (!m_source)
        return {};
    std::vector<AnsweredAddress> ranked = m_source->answeredAddresses();
    std::erase_if(ranked, [&](const AnsweredAddress& candidate) {
        return std::any_of(known.begin(), known.end(), [&](const std::string& address) {
            return IcsText::normalizedAddress(address) == candidate.address;
        });
    });
    return ranked;
}

bool AvailabilityModel::hasInvitationsWithoutUser() const
{
    bool invited = false;
    for (const CalendarEvent& event : m_events) {
        if (event.participation != CalendarEvent::Participation::none)
            return false;
        invited = invited || event.isInvitation;
    }
    return invited;
}

void AvailabilityModel::reconcileAfterFetch()
{
    const auto ends = occurrenceEnds(m_events);
    Adjustments reconciled = m_adjustments;
    reconciled.prune(m_now(), ends, std::nullopt, m_zone);
    // A fetch that missed a calendar cannot tell a deleted meeting from an unread one: keep
    // every freed meeting then, rather than silently undoing the user's choice.
    if (m_isLastFetchComplete) {
        const Date from = m_rangeStart;
        const Date to = rangeEnd();
        std::erase_if(reconciled.movable, [&](const AdjustmentKey& key) {
            const bool inRange = key.occurrenceStart >= from && key.occurrenceStart < to;
            return inRange && !ends.contains(key);
        });
    }
    if (reconciled == m_adjustments)
        recompute();
    else
        assignQuietly(std::move(reconciled));
}

void AvailabilityModel::assignQuietly(Adjustments adjustments)
{
    const bool wasSuppressed = m_suppressUndo;
    m_suppressUndo = true;
    setAdjustments(std::move(adjustments));
    m_suppressUndo = wasSuppressed;
}

IncludedSpan AvailabilityModel::refreshSpan()
{
    if (!m_isDraggingCutoff)
        publish(m_rangeStart, computeRangeStart(), &AvailabilityModel::rangeStartChanged);
    const auto dayCount = static_cast<int>(std::clamp<std::int64_t>(
        m_settings.dayCount, IncludedDays::minDayCount, IncludedDays::maxDayCount));
    return IncludedDays::span(m_rangeStart, dayCount, m_adjustments.exclusions, m_zone,
                              IncludedDays::lookAheadCap);
}

Date AvailabilityModel::computeRangeStart() const
{
    if (const auto pinned = startDay(); pinned && *pinned > m_today)
        return *pinned;
    const Calendar calendar(m_zone);
    const std::string key = DayKey::string(m_today, calendar);
    const auto bounds = AvailabilityEngine::windowBounds(m_today, windowOf(key), calendar);
    if (bounds && m_now() >= bounds->second)
        return calendar.addingDays(1, m_today).value_or(m_today);
    return m_today;
}

DailyWindow AvailabilityModel::windowOf(const std::string& dayKey) const
{
    return m_adjustments.overrides.effectiveWindow(dayKey, m_settings.window);
}

std::optional<std::pair<Date, Date>> AvailabilityModel::includedDateBounds() const
{
    if (m_span.includedKeys.empty())
        return std::nullopt;
    const auto first = DayKey::date(m_span.includedKeys.front(), m_zone);
    const auto last = DayKey::date(m_span.includedKeys.back(), m_zone);
    if (!first || !last)
        return std::nullopt;
    return std::make_pair(*first, *last);
}

std::optional<Date> AvailabilityModel::startDay() const
{
    if (!m_startDayKey)
        return std::nullopt;
    return DayKey::date(*m_startDayKey, m_zone);
}

Date AvailabilityModel::rangeEnd() const
{
    return Calendar(m_zone).addingDays(m_span.calendarDays, m_rangeStart).value_or(m_rangeStart);
}

std::pair<Date, Date> AvailabilityModel::visibleRange(Date dayStart) const
{
    const TimeAxis axis(dayStart, m_hourRange.firstHour, m_hourRange.lastHour, 1.0,
                        Calendar(m_zone));
    return {axis.date(0), axis.date(axis.height())};
}

// --- The pipeline

void AvailabilityModel::recompute()
{
    publish(m_span, refreshSpan(), &AvailabilityModel::spanChanged);
    publish(m_includedCalendars, m_settings.includedCalendars(m_calendars),
            &AvailabilityModel::includedCalendarsChanged);
    m_reasons = classifyEvents();
    publish(m_busyEvents, busyEventsOf(m_reasons), &AvailabilityModel::busyEventsChanged);

    m_busy = busyIntervals();
    publish(m_slots, AvailabilityEngine::slots(m_busy, makeRequest()),
            &AvailabilityModel::slotsChanged);
    publish(m_holdKinds, m_adjustments.holdKinds(m_slots), &AvailabilityModel::holdKindsChanged);

    // The canvas keeps its hours while an edge is dragged, so the drag does not move them.
    if (!m_isDraggingCutoff)
        publish(m_hourRange, computeHourRange(), &AvailabilityModel::hourRangeChanged);
    publish(m_days, makeDays(), &AvailabilityModel::daysChanged);

    publish(m_renderOptions, std::optional<RenderOptions>(makeRenderOptions()),
            &AvailabilityModel::renderOptionsChanged);
    publish(m_table, TableBuilder::build(m_slots, *m_renderOptions),
            &AvailabilityModel::tableChanged);
}

std::vector<BusyClassifier::BusyReason> AvailabilityModel::classifyEvents() const
{
    std::vector<BusyClassifier::BusyReason> reasons;
    reasons.reserve(m_events.size());
    for (const auto& event : m_events)
        reasons.push_back(
            BusyClassifier::reason(event, m_includedCalendars, m_adjustments.movable));
    return reasons;
}

std::vector<CalendarEvent>
AvailabilityModel::busyEventsOf(const std::vector<BusyClassifier::BusyReason>& reasons) const
{
    std::vector<CalendarEvent> busyEvents;
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        if (BusyClassifier::counts(reasons[i]))
            busyEvents.push_back(m_events[i]);
    }
    return busyEvents;
}

AvailabilityRequest AvailabilityModel::makeRequest() const
{
    const Date now = m_now();
    AvailabilityRequest request;
    request.rangeStart = m_rangeStart;
    request.dayCount = m_span.calendarDays;
    request.zone = m_zone;
    request.window = m_settings.window;
    request.overrides = m_adjustments.overrides;
    request.exclusions = m_adjustments.exclusions;
    request.minimumMinutes = m_settings.minimumMinutes;
    request.snapMinutes = AvailabilityEngine::applicationSnapMinutes;
    request.now = now;
    request.leadTime = LeadTime::interval(m_settings.leadTimeMinutes, now, m_zone);
    return request;
}

std::vector<BusyInterval> AvailabilityModel::busyIntervals()
{
    std::vector<BusyInterval> busy;
    busy.reserve(m_busyEvents.size());
    for (const auto& event : m_busyEvents)
        busy.push_back({event.start, event.end});
    m_meetings = AvailabilityEngine::normalizedBusy(busy);
    std::vector<BusyInterval> held;
    held.reserve(m_adjustments.reserved.size());
    for (const auto& block : m_adjustments.reserved)
        held.push_back({block.start, block.end});
    m_held = AvailabilityEngine::normalizedBusy(held);
    busy = m_meetings;
    busy.insert(busy.end(), m_held.begin(), m_held.end());
    return AvailabilityEngine::normalizedBusy(busy);
}

CanvasRules::HourRange AvailabilityModel::computeHourRange() const
{
    const Calendar calendar(m_zone);
    std::vector<DailyWindow> windows;
    for (int i = 0; i < m_span.calendarDays; ++i) {
        if (const auto day = calendar.addingDays(i, m_rangeStart))
            windows.push_back(windowOf(DayKey::string(*day, calendar)));
    }
    return CanvasRules::hourRange(windows);
}

std::vector<DayData> AvailabilityModel::makeDays() const
{
    const std::string todayKey = DayKey::string(m_today, m_zone);
    std::vector<DayData> days;
    days.reserve(static_cast<std::size_t>(std::max(0, m_span.calendarDays)));
    for (int i = 0; i < m_span.calendarDays; ++i) {
        if (auto day = makeDay(i, todayKey))
            days.push_back(std::move(*day));
    }
    return days;
}

RenderOptions AvailabilityModel::makeRenderOptions() const
{
    RenderOptions options;
    options.zones = m_settings.renderZones(m_currentZone());
    options.primary = m_zone;
    options.use24Hour = m_settings.use24Hour;
    options.heading = heading;
    if (const auto bounds = includedDateBounds()) {
        options.dateRange = bounds;
    } else {
        const Date end = rangeEnd();
        options.dateRange =
            std::make_pair(m_rangeStart, Calendar(m_zone).addingDays(-1, end).value_or(end));
    }
    options.rangeZone = m_zone;
    return options;
}

std::optional<DayData> AvailabilityModel::makeDay(int index, const std::string& todayKey) const
{
    const Calendar calendar(m_zone);
    const auto date = calendar.addingDays(index, m_rangeStart);
    if (!date)
        return std::nullopt;
    DayData day;
    day.date = *date;
    day.id = DayKey::string(*date, calendar);
    day.isToday = day.id == todayKey;
    day.window = windowOf(day.id);
    day.startOverridden = m_adjustments.overrides.isOverridden(WindowEdge::start, day.id);
    day.endOverridden = m_adjustments.overrides.isOverridden(WindowEdge::end, day.id);
    day.isExcluded = m_adjustments.exclusions.isExcluded(day.id, calendar.weekday(*date));

    const auto visible = visibleRange(*date);
    for (const Slot& slot : m_slots) {
        const Slot cut{std::max(slot.start, visible.first), std::min(slot.end, visible.second)};
        if (cut.start < cut.end)
            day.slots.push_back(cut);
    }
    const auto cutInto = [&visible](const std::vector<BusyInterval>& from,
                                    std::vector<BusyInterval>& into) {
        for (const BusyInterval& interval : from) {
            const BusyInterval cut{std::max(interval.start, visible.first),
                                   std::min(interval.end, visible.second)};
            if (cut.start < cut.end)
                into.push_back(cut);
        }
    };
    cutInto(m_meetings, day.busy);
    cutInto(m_held, day.held);
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        if (overlaps(m_events[i], visible)) {
            day.events.push_back(m_events[i]);
            day.reasons.push_back(m_reasons[i]);
        }
    }
    return day;
}

void AvailabilityModel::refreshDay()
{
    const Date dayStart = Calendar(m_zone).startOfDay(m_now());
    if (dayStart == m_today) {
        pruneExpiredAdjustments();
        return;
    }
    publish(m_today, dayStart, &AvailabilityModel::todayChanged);
    if (const auto pinned = startDay(); pinned && !(*pinned > m_today))
        publish(m_startDayKey, std::optional<std::string>{},
                &AvailabilityModel::startDayKeyChanged);
    reload();
}

void AvailabilityModel::pruneExpiredAdjustments()
{
    Adjustments pruned = m_adjustments;
    pruned.prune(m_now(), occurrenceEnds(m_events), std::nullopt, m_zone);
    if (pruned == m_adjustments)
        recompute();
    else
        assignQuietly(std::move(pruned));
}

// --- Adjustments and undo

void AvailabilityModel::setAdjustments(Adjustments adjustments)
{
    const Adjustments old = m_adjustments;
    publish(m_adjustments, std::move(adjustments), &AvailabilityModel::adjustmentsChanged);
    // During a bar drag each movement would write and sync the file; the drag's end saves.
    if (m_isDraggingCutoff)
        m_adjustmentsUnsaved = true;
    else
        saveAdjustmentsNow();
    recompute();
    if (!m_suppressUndo && !m_isDraggingCutoff)
        registerUndo(m_settings.window, old);
}

void AvailabilityModel::saveAdjustmentsNow()
{
    m_adjustmentsUnsaved = false;
    if (m_adjustmentsStore)
        m_adjustmentsStore->save(m_adjustments);  // a failure leaves the edit in memory
}

void AvailabilityModel::registerUndo(const DailyWindow& window, const Adjustments& adjustments)
{
    if (!m_undoHistory)
        return;
    if (window == m_settings.window && adjustments == m_adjustments)
        return;  // an edit that changed nothing records nothing
    // Each direction remembers the state it leaves, so that a quiet prune in between (past
    // time dropped, a vanished meeting forgotten) is not brought back by the other.
    struct States {
        UndoState before;
        UndoState after;
    };
    auto states = std::make_shared<States>(States{{window, adjustments}, undoState()});
    QPointer<AvailabilityModel> model(this);
    m_undoHistory->push(
        undoActionName,
        [model, states] {
            if (!model)
                return;
            states->after = model->undoState();
            model->applyUndoState(states->before);
        },
        [model, states] {
            if (!model)
                return;
            states->before = model->undoState();
            model->applyUndoState(states->after);
        });
}

void AvailabilityModel::applyUndoState(const UndoState& state)
{
    m_suppressUndo = true;
    const auto apply = [this, &state] {
        if (state.window != m_settings.window) {
            Settings changed = m_settings;
            changed.window = state.window;
            setSettings(std::move(changed));
        }
        if (state.adjustments != m_adjustments)
            setAdjustments(state.adjustments);
    };
    if (m_animateUndo)
        m_animateUndo(apply);
    else
        apply();
    m_suppressUndo = false;
}

// --- Edits

void AvailabilityModel::setSharedEdge(WindowEdge edge, double minute)
{
    const DailyWindow old = m_settings.window;
    const DailyWindow window = CanvasRules::window(old, edge, minute);
    if (window == old)
        return;
    play(Sound::tick);
    Settings changed = m_settings;
    changed.window = window;
    setSettings(std::move(changed));
    if (!m_isDraggingCutoff)
        registerUndo(old, m_adjustments);
}

void AvailabilityModel::setDayEdge(WindowEdge edge, double minute, const std::string& dayKey)
{
    const DailyWindow current = windowOf(dayKey);
    const DailyWindow window = CanvasRules::window(current, edge, minute);
    if (window == current)
        return;
    play(Sound::tick);
    Adjustments changed = m_adjustments;
    changed.overrides.set(edge, edge == WindowEdge::start ? window.startMinutes : window.endMinutes,
                          dayKey);
    setAdjustments(std::move(changed));
}

void AvailabilityModel::clearDayEdge(WindowEdge edge, const std::string& dayKey)
{
    Adjustments changed = m_adjustments;
    changed.overrides.clear(edge, dayKey);
    setAdjustments(std::move(changed));
}

void AvailabilityModel::nudgeEdge(WindowEdge edge, int deltaMinutes,
                                  const std::optional<std::string>& dayKey)
{
    const DailyWindow current = dayKey ? windowOf(*dayKey) : m_settings.window;
    double target =
        static_cast<double>(edge == WindowEdge::start ? current.startMinutes : current.endMinutes) +
        deltaMinutes;
    if (edge == WindowEdge::end && current.startMinutes >= current.endMinutes)
        target += 1440;  // the end lies on the next day
    if (dayKey)
        setDayEdge(edge, target, *dayKey);
    else
        setSharedEdge(edge, target);
}

void AvailabilityModel::beginEdgeDrag()
{
    if (m_isDraggingCutoff)
        return;
    publish(m_isDraggingCutoff, true, &AvailabilityModel::isDraggingCutoffChanged);
    m_dragSnapshot = UndoState{m_settings.window, m_adjustments};
}

void AvailabilityModel::endEdgeDrag()
{
    if (m_isDraggingCutoff)
        publish(m_isDraggingCutoff, false, &AvailabilityModel::isDraggingCutoffChanged);
    if (m_adjustmentsUnsaved)
        saveAdjustmentsNow();
    if (m_dragSnapshot) {
        const UndoState snapshot = std::move(*m_dragSnapshot);
        m_dragSnapshot.reset();
        registerUndo(snapshot.window, snapshot.adjustments);
    }
    recompute();
}

void AvailabilityModel::trimBand(const Slot& slot, WindowEdge edge, Date target)
{
    Adjustments changed = m_adjustments;
    changed.trim(slot, edge, target, AvailabilityEngine::applicationSnapMinutes, m_zone,
                 m_settings.minimumMinutes, Uuid::random);
    const bool reservedChanged = changed.reserved != m_adjustments.reserved;
    setAdjustments(std::move(changed));
    if (reservedChanged)
        play(Sound::tick);
}

std::optional<Date> AvailabilityModel::trimmedEdge(const Slot& slot, WindowEdge edge,
                                                   Date target) const
{
    return m_adjustments.trimmedEdge(slot, edge, target, AvailabilityEngine::applicationSnapMinutes,
                                     m_zone, m_settings.minimumMinutes);
}

void AvailabilityModel::restoreBand(const Slot& slot)
{
    Adjustments changed = m_adjustments;
    changed.restoreHolds(slot);
    setAdjustments(std::move(changed));
}

void AvailabilityModel::restoreDay(const std::string& dayKey)
{
    const auto day = std::find_if(m_days.begin(), m_days.end(),
                                  [&](const DayData& d) { return d.id == dayKey; });
    if (day == m_days.end())
        return;
    const auto visible = visibleRange(day->date);
    Adjustments changed = m_adjustments;
    changed.restoreHolds(Slot{visible.first, visible.second});
    setAdjustments(std::move(changed));
}

void AvailabilityModel::toggleMovable(const CalendarEvent& event)
{
    const AdjustmentKey key = event.id();
    play(m_adjustments.movable.contains(key) ? Sound::restore : Sound::remove);
    Adjustments changed = m_adjustments;
    changed.toggleMovable(key);
    setAdjustments(std::move(changed));
}

void AvailabilityModel::toggleDay(const std::string& dayKey)
{
    Adjustments changed = m_adjustments;
    changed.exclusions.toggleOnce(dayKey);
    setAdjustments(std::move(changed));
}

void AvailabilityModel::setWeekendsExcluded(bool excluded)
{
    Adjustments changed = m_adjustments;
    changed.exclusions.setWeekendsOff(excluded);
    setAdjustments(std::move(changed));
}

void AvailabilityModel::setStartDay(std::optional<Date> day)
{
    std::optional<std::string> key;
    if (day) {
        const Calendar calendar(m_zone);
        const Date start = calendar.startOfDay(*day);
        if (start > m_today)
            key = DayKey::string(start, calendar);
    }
    if (key == m_startDayKey)
        return;
    publish(m_startDayKey, std::move(key), &AvailabilityModel::startDayKeyChanged);

    if (!m_source || !m_source->hasAccess() || !m_fetchedEnd) {
        reload();
        return;
    }
    publish(m_span, refreshSpan(), &AvailabilityModel::spanChanged);
    const Date from = startDay().value_or(m_today);
    const Date needed = fetchEnd(from).value_or(rangeEnd());
    if (needed > *m_fetchedEnd) {
        fetchEvents(*m_fetchedEnd, needed, true);
        publish(m_fetchedEnd, std::optional<Date>(needed), &AvailabilityModel::fetchedEndChanged);
    }
    reconcileAfterFetch();
}

void AvailabilityModel::setDayCount(std::int64_t count)
{
    count = std::clamp<std::int64_t>(count, IncludedDays::minDayCount, IncludedDays::maxDayCount);
    if (count == m_settings.dayCount)
        return;  // no sound, no signal, no save, no recompute
    play(count > m_settings.dayCount ? Sound::slideIn : Sound::slideOut);
    Settings changed = m_settings;
    changed.dayCount = count;
    setSettings(std::move(changed));
}

void AvailabilityModel::addZone(const std::string& id)
{
    Settings changed = m_settings;
    changed.addZone(id);
    setSettings(std::move(changed));
}

void AvailabilityModel::removeZone(const std::string& id)
{
    Settings changed = m_settings;
    changed.removeZone(id, m_currentZone());
    setSettings(std::move(changed));
}

void AvailabilityModel::moveZone(const std::string& id, std::int64_t index)
{
    Settings changed = m_settings;
    changed.moveZone(id, index);
    setSettings(std::move(changed));
}

void AvailabilityModel::renameZone(const std::string& id, const std::optional<std::string>& label)
{
    Settings changed = m_settings;
    changed.renameZone(id, label ? std::optional<std::string_view>(*label) : std::nullopt);
    setSettings(std::move(changed));
}

void AvailabilityModel::setCalendarIncluded(const std::string& calendarId, bool included)
{
    Settings changed = m_settings;
    changed.setCalendar(calendarId, included, m_calendars);
    setSettings(std::move(changed));
}

// --- Queries

Date AvailabilityModel::earliestStart() const
{
    const Date now = m_now();
    return now.addingSeconds(LeadTime::interval(m_settings.leadTimeMinutes, now, m_zone));
}

BandReach::Reach AvailabilityModel::bandReach(const Slot& slot, const std::string& dayKey) const
{
    const Calendar calendar(m_zone);
    const auto dayStart = DayKey::date(dayKey, m_zone);
    std::pair<Date, Date> window{slot.start, slot.end};
    if (dayStart) {
        if (auto bounds = AvailabilityEngine::windowBounds(*dayStart, windowOf(dayKey), calendar))
            window = *bounds;
    }
    std::vector<BusyInterval> busy;
    busy.reserve(m_busyEvents.size());
    for (const auto& event : m_busyEvents)
        busy.push_back({event.start, event.end});
    const auto neighbours = m_adjustments.holdsAdjacent(slot);
    return BandReach::reach(slot, neighbours.before, neighbours.after, busy, window,
                            earliestStart(), AvailabilityEngine::applicationSnapMinutes, m_zone);
}

bool AvailabilityModel::hasMeetingToFree(const DayData& day) const
{
    const Calendar calendar(m_zone);
    const auto bounds = AvailabilityEngine::windowBounds(day.date, day.window, calendar);
    if (!bounds)
        return false;
    const std::pair<Date, Date> open{std::max(bounds->first, earliestStart()), bounds->second};
    if (!(open.first < open.second))
        return false;
    return std::any_of(day.events.begin(), day.events.end(), [&](const CalendarEvent& event) {
        const bool counts =
            m_includedCalendars.contains(event.calendarID) &&
            (BusyClassifier::countsAsBusy(event, m_includedCalendars, m_adjustments.movable) ||
             m_adjustments.movable.contains(event.id()));
        return counts && overlaps(event, open);
    });
}

std::pair<Date, Date> AvailabilityModel::startDayRange() const
{
    const Calendar calendar(m_zone);
    const auto parts = calendar.parts(m_today);
    // February 29 a year on is the last day of February.
    const int day = std::min(parts.day, Civil::daysInMonth(parts.year + 1, parts.month));
    return {m_today, calendar.date(parts.year + 1, parts.month, day).value_or(m_today)};
}

std::string AvailabilityModel::startDayLabel() const
{
    if (const auto day = startDay())
        return SlotFormatter::dayLabel(*day, m_zone);
    return "Today";
}

std::string AvailabilityModel::spanLabel() const
{
    const auto bounds = includedDateBounds();
    if (!bounds)
        return {};
    std::string label = SlotFormatter::dayLabel(bounds->first, m_zone);
    if (bounds->second != bounds->first)
        label += " – " + SlotFormatter::dayLabel(bounds->second, m_zone);
    return label;
}

// --- Text outputs

std::string AvailabilityModel::chatText() const
{
    if (!m_renderOptions)
        return emptyRangeText;
    return ChatRenderer::render(MessageLayout::build(m_slots, *m_renderOptions));
}

std::string AvailabilityModel::markdownText() const
{
    if (!m_renderOptions)
        return emptyRangeText;
    return MarkdownRenderer::render(MessageLayout::build(m_slots, *m_renderOptions));
}

std::string AvailabilityModel::richHTML() const
{
    if (!m_renderOptions)
        return HTMLRenderer::document(std::string("<p>") + emptyRangeText + "</p>");
    return HTMLRenderer::document(
        HTMLRenderer::render(MessageLayout::build(m_slots, *m_renderOptions)));
}

std::string AvailabilityModel::tableHTML() const
{
    if (!m_renderOptions)
        return HTMLRenderer::document(std::string("<p>") + emptyRangeText + "</p>");
    return HTMLRenderer::document(HTMLRenderer::renderTable(m_slots, *m_renderOptions));
}

std::string AvailabilityModel::tableMarkdown() const
{
    RenderedTable headless = m_table;
    headless.heading.reset();
    const std::string body = MarkdownRenderer::render(headless);
    if (!m_table.heading)
        return body;
    return *m_table.heading + "\n\n" + body;
}

std::string AvailabilityModel::richRTF() const
{
    if (!m_renderOptions)
        return RTFRenderer::render(MessageLayout{});
    return RTFRenderer::render(MessageLayout::build(m_slots, *m_renderOptions));
}

std::string AvailabilityModel::tableRTF() const
{
    if (!m_renderOptions)
        return RTFRenderer::render(MessageLayout{});
    return RTFRenderer::renderTable(m_slots, *m_renderOptions);
}

std::string AvailabilityModel::emailHTML() const
{
    return EmailRenderer::render(m_table);
}

std::string AvailabilityModel::text(TextFormat format) const
{
    switch (format) {
    case TextFormat::chat:
        return chatText();
    case TextFormat::markdown:
        return markdownText();
    case TextFormat::html:
        return richHTML();
    case TextFormat::rtf:
        return richRTF();
    case TextFormat::table:
        return tableMarkdown();
    case TextFormat::tableMarkdown:
        return MarkdownRenderer::render(m_table);
    case TextFormat::tableHtml:
        return tableHTML();
    case TextFormat::tableRtf:
        return tableRTF();
    case TextFormat::email:
        return emailHTML();
    }
    return {};
}

std::string AvailabilityModel::title() const
{
    const auto bounds = includedDateBounds();
    if (!bounds)
        return heading;
    return std::string(heading) + " · " +
           SlotFormatter::rangeLabel(bounds->first, bounds->second, m_zone);
}

std::string AvailabilityModel::fileNameStem() const
{
    return fileNameStem(title());
}

std::string AvailabilityModel::fileNameStem(std::string title)
{
    std::replace(title.begin(), title.end(), '/', '-');
    std::replace(title.begin(), title.end(), ':', '-');
    return title;
}

}  // namespace nelvo
