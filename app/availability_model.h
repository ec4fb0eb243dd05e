#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "app/answered_address.h"
#include "app/calendar_state.h"
#include "app/day_data.h"
#include "app/sound/sound_player.h"
#include "app/source_problem_list.h"
#include "app/text_format.h"
#include "app/undo_history.h"
#include "kit/canvas/band_reach.h"
#include "kit/canvas/canvas_rules.h"
#include "kit/core/calendar_event.h"
#include "kit/core/calendar_info.h"
#include "kit/core/included_span.h"
#include "kit/core/slot.h"
#include "kit/core/time_zone.h"
#include "kit/model/adjustments.h"
#include "kit/model/settings.h"
#include "kit/render/render_options.h"
#include "kit/render/rendered_table.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>
#endif

class QTimer;

namespace nelvo {

class AdjustmentsStore;
class EventSource;
class SettingsStore;
struct AvailabilityRequest;

// One-word names for the property types below: moc cannot read a template argument list
// (its comma, or a nested template) in a Q_PROPERTY.
using HoldKindMap = std::unordered_map<Uuid, HoldKind>;
using CalendarIdSet = std::set<std::string>;
using OptionalRenderOptions = std::optional<RenderOptions>;
using OptionalDayKey = std::optional<std::string>;
using OptionalDate = std::optional<Date>;

// The one object that ties the system together: it owns the source, the stores, the settings
// and the adjustments, fetches events, runs the pipeline, and publishes what the window, the
// command line and the copy commands read. Every edit goes through it. Main thread only.
class AvailabilityModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(nelvo::Settings settings READ settings NOTIFY settingsChanged)
    Q_PROPERTY(nelvo::Adjustments adjustments READ adjustments NOTIFY adjustmentsChanged)
    Q_PROPERTY(nelvo::TimeZone zone READ zone NOTIFY zoneChanged)
    Q_PROPERTY(nelvo::Date today READ today NOTIFY todayChanged)
    Q_PROPERTY(std::vector<nelvo::CalendarInfo> calendars READ calendars NOTIFY calendarsChanged)
    Q_PROPERTY(std::vector<nelvo::CalendarEvent> events READ events NOTIFY eventsChanged)
    Q_PROPERTY(std::vector<nelvo::Slot> slots READ slots NOTIFY slotsChanged)
    Q_PROPERTY(std::vector<nelvo::DayData> days READ days NOTIFY daysChanged)
    Q_PROPERTY(nelvo::CanvasRules::HourRange hourRange READ hourRange NOTIFY hourRangeChanged)
    Q_PROPERTY(nelvo::IncludedSpan span READ span NOTIFY spanChanged)
    Q_PROPERTY(nelvo::HoldKindMap holdKinds READ holdKinds NOTIFY holdKindsChanged)
    Q_PROPERTY(bool isDraggingCutoff READ isDraggingCutoff NOTIFY isDraggingCutoffChanged)
    Q_PROPERTY(nelvo::RenderedTable table READ table NOTIFY tableChanged)
    Q_PROPERTY(
        nelvo::OptionalRenderOptions renderOptions READ renderOptions NOTIFY renderOptionsChanged)
    Q_PROPERTY(nelvo::CalendarIdSet includedCalendars READ includedCalendars NOTIFY
                   includedCalendarsChanged)
    Q_PROPERTY(
        std::vector<nelvo::CalendarEvent> busyEvents READ busyEvents NOTIFY busyEventsChanged)
    Q_PROPERTY(nelvo::Date rangeStart READ rangeStart NOTIFY rangeStartChanged)
    Q_PROPERTY(nelvo::OptionalDayKey startDayKey READ startDayKey NOTIFY startDayKeyChanged)
    Q_PROPERTY(nelvo::OptionalDate fetchedEnd READ fetchedEnd NOTIFY fetchedEndChanged)

public:
    using Clock = std::function<Date()>;
    using ZoneProvider = std::function<TimeZone()>;
    // Runs an undo or redo inside an animation (or directly).
    using AnimateUndo = std::function<void(const std::function<void()>&)>;

    // Loads the settings and adjustments and runs reload(). `now` is the clock every reading
    // of the current instant uses; `currentZone` the system's zone (read anew each time).
    AvailabilityModel(std::shared_ptr<EventSource> source,
                      std::shared_ptr<SettingsStore> settingsStore,
                      std::shared_ptr<AdjustmentsStore> adjustmentsStore, Clock now = systemNow,
                      ZoneProvider currentZone = &TimeZone::system, QObject* parent = nullptr);
    ~AvailabilityModel() override;

    static Date systemNow();

    // The delay between the last settings change and its save.
    static constexpr int settingsSaveDelayMilliseconds = 250;
    // Days of events fetched from the first day on.
    static constexpr int fetchDays = 30;
    static constexpr const char* undoActionName = "Change Availability";
    static constexpr const char* heading = "My availability";

    // --- Published state
    const Settings& settings() const { return m_settings; }
    const Adjustments& adjustments() const { return m_adjustments; }
    const TimeZone& zone() const { return m_zone; }
    Date today() const { return m_today; }
    // The model's clock: everything that needs the time asks it, never the system.
    Date now() const { return m_now(); }
    const std::vector<CalendarInfo>& calendars() const { return m_calendars; }
    const std::vector<CalendarEvent>& events() const { return m_events; }
    const std::vector<Slot>& slots() const { return m_slots; }
    const std::vector<DayData>& days() const { return m_days; }
    CanvasRules::HourRange hourRange() const { return m_hourRange; }
    const IncludedSpan& span() const { return m_span; }
    const HoldKindMap& holdKinds() const { return m_holdKinds; }
    bool isDraggingCutoff() const { return m_isDraggingCutoff; }
    const RenderedTable& table() const { return m_table; }
    const std::optional<RenderOptions>& renderOptions() const { return m_renderOptions; }
    const std::set<std::string>& includedCalendars() const { return m_includedCalendars; }
    const std::vector<CalendarEvent>& busyEvents() const { return m_busyEvents; }
    Date rangeStart() const { return m_rangeStart; }
    const std::optional<std::string>& startDayKey() const { return m_startDayKey; }
    std::optional<Date> fetchedEnd() const { return m_fetchedEnd; }
    // Whether the last fetch read every chosen calendar, and what it met on the way.
    bool isLastFetchComplete() const { return m_isLastFetchComplete; }
    // What the last fetch met, each told once; `fetchProblemsChanged` follows each fetch.
    std::vector<SourceProblem> fetchProblems() const { return m_shownProblems; }
    // The state of every calendar the last fetch was asked to read, chosen files that could
    // not be read included, in the source's order.
    const std::vector<CalendarState>& calendarStates() const { return m_calendarStates; }
    // The addresses the desktop's accounts know as the user's (EventSource::accountAddresses),
    // as of the last reload.
    const std::vector<std::string>& accountAddresses() const { return m_accountAddresses; }

    // --- Wiring, by the window
    void setUndoHistory(std::shared_ptr<UndoHistory> history);
    void setAnimateUndo(AnimateUndo animate) { m_animateUndo = std::move(animate); }
    // Where sounds go; none by default. The player checks settings.soundsEnabled itself.
    void setSoundOutput(SoundPlayer::Output output,
                        SoundPlayer::Clock clock = &SoundPlayer::monotonicSeconds);
    // Plays a sound unless the user switched sounds off; the copy commands use it too.
    void play(Sound sound);

    // --- The pipeline
    void reload();
    void recompute();
    void refreshDay();
    void saveSettingsNow();
    // Assigning settings runs the debounced save and a recompute (a reload when the primary
    // zone changed). Not undoable.
    void setSettings(Settings settings);
    // Saves at once, recomputes, and records an undo step unless one is being applied or a
    // bar drag is on.
    void setAdjustments(Adjustments adjustments);

    std::optional<std::pair<Date, Date>> includedDateBounds() const;
    std::optional<Date> startDay() const;
    Date rangeEnd() const;

    // --- Edits
    void setSharedEdge(WindowEdge edge, double minute);
    void setDayEdge(WindowEdge edge, double minute, const std::string& dayKey);
    void clearDayEdge(WindowEdge edge, const std::string& dayKey);
    void nudgeEdge(WindowEdge edge, int deltaMinutes, const std::optional<std::string>& dayKey);
    void beginEdgeDrag();
    void endEdgeDrag();
    void trimBand(const Slot& slot, WindowEdge edge, Date target);
    void restoreBand(const Slot& slot);
    void restoreDay(const std::string& dayKey);
    void toggleMovable(const CalendarEvent& event);
    void toggleDay(const std::string& dayKey);
    void setWeekendsExcluded(bool excluded);
    void setStartDay(std::optional<Date> day);
    void setDayCount(std::int64_t count);
    void addZone(const std::string& id);
    void removeZone(const std::string& id);
    void moveZone(const std::string& id, std::int64_t index);
    void renameZone(const std::string& id, const std::optional<std::string>& label);
    void setCalendarIncluded(const std::string& calendarId, bool included);
    // The user's own calendar addresses (kept by the caller, in "calendars.addresses"): the
    // calendars are read again with them, so that a declined invitation stops counting.
    void setAddresses(std::vector<std::string> addresses);

    // --- Queries while editing
    Date earliestStart() const;
    BandReach::Reach bandReach(const Slot& slot, const std::string& dayKey) const;
    // Where trimBand() with the same arguments puts the dragged edge; empty when the band
    // would go whole (what stays is shorter than the minimum).
    std::optional<Date> trimmedEdge(const Slot& slot, WindowEdge edge, Date target) const;
    bool hasMeetingToFree(const DayData& day) const;
    std::pair<Date, Date> startDayRange() const;
    std::string startDayLabel() const;
    std::string spanLabel() const;
    // The visible range of a day: the instants at the hour range's bounds.
    std::pair<Date, Date> visibleRange(Date dayStart) const;
    // Attendees who answered invitations in the calendars read, most events first, without
    // those in `known` (in any case, with or without "mailto:").
    std::vector<AnsweredAddress> addressSuggestions(const std::vector<std::string>& known) const;
    // Some event read is an invitation, and on none of them is the user found: no address of
    // the user's is known.
    bool hasInvitationsWithoutUser() const;

    // --- Text outputs
    std::string chatText() const;
    std::string markdownText() const;
    std::string richHTML() const;
    std::string tableHTML() const;
    std::string tableMarkdown() const;
    std::string richRTF() const;
    std::string tableRTF() const;
    std::string emailHTML() const;
    // Any of the texts above by its format: where the format is chosen at run time.
    std::string text(TextFormat format) const;
    std::string title() const;
    // `title` with "/" and ":" replaced by "-".
    std::string fileNameStem() const;
    // The name of a saved or shared file made from a title: "/" and ":" become "-".
    static std::string fileNameStem(std::string title);

public Q_SLOTS:
    // Entry points the window connects.
    void applicationBecameActive() { reload(); }
    void systemTimeZoneChanged() { reload(); }

Q_SIGNALS:
    void settingsChanged();
    void adjustmentsChanged();
    void zoneChanged();
    void todayChanged();
    void calendarsChanged();
    void eventsChanged();
    void slotsChanged();
    void daysChanged();
    void hourRangeChanged();
    void spanChanged();
    void holdKindsChanged();
    void isDraggingCutoffChanged();
    void tableChanged();
    void renderOptionsChanged();
    void includedCalendarsChanged();
    void busyEventsChanged();
    void rangeStartChanged();
    void startDayKeyChanged();
    void fetchedEndChanged();
    void calendarStatesChanged();
    void fetchProblemsChanged();
    void accountAddressesChanged();

private:
    struct UndoState {
        DailyWindow window;
        Adjustments adjustments;
    };

    template <typename T>
    void publish(T& field, T value, void (AvailabilityModel::*changed)());

    void applySettings();
    void scheduleSettingsSave();
    // Returns whether the zone changed.
    bool resolveZoneAndDay();
    TimeZone candidateZone() const;
    void reconcileAfterFetch();
    IncludedSpan refreshSpan();
    Date computeRangeStart() const;
    // The parts of recompute(), in its order.
    std::vector<BusyClassifier::BusyReason> classifyEvents() const;
    std::vector<CalendarEvent>
    busyEventsOf(const std::vector<BusyClassifier::BusyReason>& reasons) const;
    // Everything busy, normalised, for the engine; keeps its two parts for the days.
    std::vector<BusyInterval> busyIntervals();
    AvailabilityRequest makeRequest() const;
    CanvasRules::HourRange computeHourRange() const;
    std::vector<DayData> makeDays() const;
    std::optional<DayData> makeDay(int index, const std::string& todayKey) const;
    RenderOptions makeRenderOptions() const;
    std::optional<Date> fetchEnd(Date from) const;
    void fetchEvents(Date from, Date to, bool append);
    void noteProblems(const std::vector<SourceProblem>& problems);
    // Takes the source's states after a fetch, by calendar: a later read of a calendar
    // replaces what an earlier one said of it.
    void noteStates(std::vector<CalendarState> states, bool replace);
    void pruneExpiredAdjustments();
    void assignQuietly(Adjustments adjustments);
    void saveAdjustmentsNow();
    void registerUndo(const DailyWindow& window, const Adjustments& adjustments);
    UndoState undoState() const { return {m_settings.window, m_adjustments}; }
    void applyUndoState(const UndoState& state);
    DailyWindow windowOf(const std::string& dayKey) const;

    std::shared_ptr<EventSource> m_source;
    std::shared_ptr<SettingsStore> m_settingsStore;
    std::shared_ptr<AdjustmentsStore> m_adjustmentsStore;
    Clock m_now;
    ZoneProvider m_currentZone;

    Settings m_settings;
    Adjustments m_adjustments;
    QTimer* m_pendingSave = nullptr;
    std::shared_ptr<UndoHistory> m_undoHistory;
    AnimateUndo m_animateUndo;
    bool m_suppressUndo = false;
    std::optional<UndoState> m_dragSnapshot;
    std::unique_ptr<SoundPlayer> m_sounds;

    TimeZone m_zone;
    Date m_today;
    std::vector<CalendarInfo> m_calendars;
    std::vector<CalendarEvent> m_events;
    std::vector<Slot> m_slots;
    std::vector<BusyInterval> m_busy;                   // normalised, as the engine got it
    std::vector<BusyInterval> m_meetings;               // the events that count, normalised
    std::vector<BusyInterval> m_held;                   // the reserved blocks, normalised
    std::vector<BusyClassifier::BusyReason> m_reasons;  // one per event of m_events
    std::vector<DayData> m_days;
    CanvasRules::HourRange m_hourRange = CanvasRules::defaultHourRange;
    IncludedSpan m_span{1, {}};
    HoldKindMap m_holdKinds;
    bool m_isDraggingCutoff = false;
    bool m_adjustmentsUnsaved = false;  // changed during a bar drag, saved when it ends
    RenderedTable m_table;
    std::optional<RenderOptions> m_renderOptions;
    std::set<std::string> m_includedCalendars;
    std::vector<CalendarEvent> m_busyEvents;
    Date m_rangeStart;
    std::optional<std::string> m_startDayKey;
    std::optional<Date> m_fetchedEnd;
    bool m_isLastFetchComplete = true;
    SourceProblemList m_fetchProblems;
    std::vector<SourceProblem> m_shownProblems;
    std::vector<CalendarState> m_calendarStates;
    std::vector<std::string> m_accountAddresses;
};

}  // namespace nelvo
