#include "kit/render/table_builder.h"

#include "kit/render/slot_days.h"
#include "kit/render/slot_formatter.h"

#include <optional>

namespace nelvo::TableBuilder {

namespace {

std::optional<std::string> tableHeading(const RenderOptions& options)
{
    if (!options.dateRange)
        return options.heading;
    const auto& [first, last] = *options.dateRange;
    const std::string range =
        SlotFormatter::rangeLabel(first, last, options.rangeZone.value_or(options.primary));
    if (!options.heading)
        return range;
    return *options.heading + " \u00b7 " + range;
}

}  // namespace

RenderedTable build(std::span<const Slot> slots, const RenderOptions& options)
{
    RenderedTable table;
    table.heading = tableHeading(options);
    table.zoneLabels.reserve(options.zones.size());
    for (const RenderZone& zone : options.zones)
        table.zoneLabels.push_back(zone.label);

    SlotDays::walk(
        slots, options.primary,
        [&](Date dayStart) {
            table.days.push_back(
                DayGroup{.label = SlotFormatter::dayLabel(dayStart, options.primary), .rows = {}});
        },
        [&](const Slot& slot, Date dayStart) {
            std::vector<std::string> row;
            row.reserve(options.zones.size());
            for (const RenderZone& zone : options.zones)
                row.push_back(SlotFormatter::text(slot, zone.zone, dayStart, options.primary,
                                                  options.use24Hour, " \u2013 ", false));
            table.days.back().rows.push_back(std::move(row));
        });
    return table;
}

}  // namespace nelvo::TableBuilder
