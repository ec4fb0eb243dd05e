#include "kit/render/message_layout.h"

#include "kit/render/slot_days.h"
#include "kit/render/slot_formatter.h"

namespace nelvo {

namespace {

// Used only when the zone database has no English name for the primary zone.
std::string primaryLabel(const RenderOptions& options)
{
    for (const RenderZone& zone : options.zones) {
        if (zone.zone == options.primary)
            return zone.label;
    }
    return options.primary.id();
}

}  // namespace

MessageLayout MessageLayout::build(std::span<const Slot> slots, const RenderOptions& options)
{
    MessageLayout layout{.heading = options.heading, .zoneLine = std::nullopt, .days = {}};
    if (slots.empty())
        return layout;

    std::vector<Date> instants;
    instants.reserve(slots.size() * 2);
    for (const Slot& slot : slots) {
        instants.push_back(slot.start);
        instants.push_back(slot.end);
    }
    layout.zoneLine = "All times are in " + SlotFormatter::zoneDescription(
                                                options.primary, instants, primaryLabel(options));

    SlotDays::walk(
        slots, options.primary,
        [&](Date dayStart) {
            layout.days.push_back(
                Day{.label = SlotFormatter::longDayLabel(dayStart, options.primary), .slots = {}});
        },
        [&](const Slot& slot, Date dayStart) {
            layout.days.back().slots.push_back(SlotFormatter::text(
                slot, options.primary, dayStart, options.primary, options.use24Hour, " - ", true));
        });
    return layout;
}

}  // namespace nelvo
