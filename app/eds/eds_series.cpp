#include "app/eds/eds_series.h"

#include "app/eds/eds_calendar_source.h"

namespace nelvo {

namespace {

// The starts the series' own rule gives around the window.
std::vector<Date> ruleStarts(const EdsSeriesRead& read, ICalComponent* master)
{
    ICalTimezone* utc = i_cal_timezone_get_utc_timezone();
    ICalTime* from = i_cal_time_new_from_timet_with_zone(
        static_cast<time_t>(read.from.unixSeconds() - edsWindowMargin), FALSE, utc);
    ICalTime* to = i_cal_time_new_from_timet_with_zone(
        static_cast<time_t>(read.to.unixSeconds() + edsWindowMargin), FALSE, utc);
    struct Found {
        const EdsSeriesRead& read;
        std::vector<Date> starts;
    } found{read, {}};
    e_cal_recur_generate_instances_sync(
        master, from, to,
        [](ICalComponent*, ICalTime* start, ICalTime*, gpointer data, GCancellable*,
           GError**) -> gboolean {
            auto& into = *static_cast<Found*>(data);
            if (auto* time =
                    static_cast<icaltimetype*>(i_cal_object_get_native(I_CAL_OBJECT(start))))
                into.starts.push_back(instantOf(*time, into.read.calendar));
            return into.starts.size() < EdsCalendarSource::maxOccurrences;
        },
        &found, e_cal_client_tzlookup_cb, read.client,
        e_cal_client_get_default_timezone(read.client), read.cancellable, nullptr);
    g_object_unref(from);
    g_object_unref(to);
    return std::move(found.starts);
}

}  // namespace

std::vector<CalendarEvent> seriesOccurrences(const EdsSeriesRead& read, const std::string& uid,
                                             GSList* objects,
                                             const std::vector<icalcomponent*>& changes,
                                             std::set<std::pair<std::string, double>> seen)
{
    ICalComponent* master = nullptr;
    std::vector<EdsInstance> single, later;
    for (GSList* link = objects; link; link = link->next) {
        ICalComponent* object = e_cal_component_get_icalcomponent(E_CAL_COMPONENT(link->data));
        auto* native = static_cast<icalcomponent*>(i_cal_object_get_native(I_CAL_OBJECT(object)));
        icalproperty* id = icalcomponent_get_first_property(native, ICAL_RECURRENCEID_PROPERTY);
        if (!id) {
            master = object;
            continue;
        }
        icalparameter* range = icalproperty_get_first_parameter(id, ICAL_RANGE_PARAMETER);
        const bool future = range && icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
        EdsInstance change = read.calendar;
        change.component = native;
        (future ? later : single).push_back(change);
    }
    auto* series = master
                       ? static_cast<icalcomponent*>(i_cal_object_get_native(I_CAL_OBJECT(master)))
                       : nullptr;

    std::vector<CalendarEvent> out;
    const auto map = [&](const EdsInstance& change, Date occurrence) {
        if (series)
            completeFromMaster(change.component, series);
        if (auto event = changedOccurrence(change, occurrence, read.addresses, read.calendarID,
                                           read.colorHex)) {
            seen.emplace(event->eventID, event->occurrenceStart.seconds);
            out.push_back(std::move(*event));
        }
    };
    const auto replaces = [](const EdsInstance& change) {
        return propertyDate(change, ICAL_RECURRENCEID_PROPERTY);
    };
    for (icalcomponent* component : changes) {
        EdsInstance change = read.calendar;
        change.component = component;
        if (const auto occurrence = replaces(change))
            map(change, *occurrence);
    }
    if (!master || later.empty())
        return out;

    // The change an occurrence takes: its own, else the latest "this and future" before it.
    const auto changeOf = [&](Date occurrence) -> const EdsInstance* {
        for (const EdsInstance& one : single)
            if (replaces(one) == occurrence)
                return &one;
        const EdsInstance* latest = nullptr;
        std::optional<Date> since;
        for (const EdsInstance& one : later) {
            const auto replaced = replaces(one);
            if (replaced && *replaced <= occurrence && (!since || *since < *replaced)) {
                since = replaced;
                latest = &one;
            }
        }
        return latest;
    };
    for (const Date occurrence : ruleStarts(read, master)) {
        if (seen.contains({uid, occurrence.seconds}))
            continue;
        if (const EdsInstance* change = changeOf(occurrence))
            map(*change, occurrence);
    }
    return out;
}

}  // namespace nelvo
