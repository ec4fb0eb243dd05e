#include "kit/model/adjustments.h"

#include "kit/core/calendar.h"
#include "kit/core/day_key.h"
#include "kit/core/json_forms.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace nelvo {

using nlohmann::json;

namespace {

// The snapped target of a trim: the next mark for a top edge, the previous one for a
// bottom edge, the target itself when it lies on a mark. The raw target when the mark
// cannot be formed.
Date snapped(Date target, WindowEdge edge, std::int64_t snapMinutes, const TimeZone& zone)
{
    const Calendar calendar{zone};
    const std::int64_t step = snapMinutes >= 2 ? snapMinutes : 1;
    const Date day0 = calendar.startOfDay(target);
    std::int64_t m = calendar.minutesBetween(day0, target);
    std::int64_t r = m % step;
    if (r < 0)
        r += step;
    bool overflow = false;
    if (edge == WindowEdge::start) {
        if (r != 0)
            overflow = __builtin_add_overflow(m, step - r, &m);
        else if (calendar.addingMinutes(m, day0) != std::optional<Date>(target))
            overflow = __builtin_add_overflow(m, step, &m);
    } else {
        overflow = __builtin_sub_overflow(m, r, &m);
    }
    if (overflow)
        return target;
    return calendar.addingMinutes(m, day0).value_or(target);
}

bool shorterThan(double seconds, std::optional<std::int64_t> minimumMinutes)
{
    return minimumMinutes && seconds < static_cast<double>(*minimumMinutes) * 60.0;
}

std::optional<Date> instant(const json& object, const char* key)
{
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string())
        return std::nullopt;
    return Date::fromIso8601(it->get_ref<const std::string&>());
}

Decoded<std::unordered_set<AdjustmentKey>> decodeMovable(const json& value)
{
    using Result = Decoded<std::unordered_set<AdjustmentKey>>;
    if (!value.is_array())
        return Result::failure("movable: expected an array");
    std::unordered_set<AdjustmentKey> keys;
    for (const json& item : value) {
        if (!item.is_object())
            return Result::failure("movable: expected key objects");
        const auto eventID = item.find("eventID");
        if (eventID == item.end() || !eventID->is_string())
            return Result::failure("movable.eventID: expected a string");
        const auto start = instant(item, "occurrenceStart");
        if (!start)
            return Result::failure("movable.occurrenceStart: expected an ISO-8601 instant");
        keys.insert(AdjustmentKey{eventID->get<std::string>(), *start});
    }
    return {std::move(keys), {}};
}

Decoded<std::vector<ReservedBlock>> decodeReserved(const json& value)
{
    using Result = Decoded<std::vector<ReservedBlock>>;
    if (!value.is_array())
        return Result::failure("reserved: expected an array");
    std::vector<ReservedBlock> blocks;
    std::unordered_set<Uuid> seen;
    for (const json& item : value) {
        if (!item.is_object())
            return Result::failure("reserved: expected block objects");
        const auto id = item.find("id");
        if (id == item.end() || !id->is_string())
            return Result::failure("reserved.id: expected a string");
        const auto uuid = Uuid::fromString(id->get_ref<const std::string&>());
        if (!uuid)
            return Result::failure("reserved.id: expected a UUID");
        const auto start = instant(item, "start");
        const auto end = instant(item, "end");
        if (!start || !end)
            return Result::failure("reserved: start and end must be ISO-8601 instants");
        // Hold kinds are keyed by id, so a repeated one would make two blocks one.
        if (seen.insert(*uuid).second)
            blocks.push_back(ReservedBlock{*uuid, *start, *end});
    }
    return {std::move(blocks), {}};
}

}  // namespace

Adjustments::Neighbours Adjustments::holdsAdjacent(const Slot& slot) const
{
    Neighbours neighbours;
    for (const ReservedBlock& block : reserved) {
        if (!neighbours.before && block.end == slot.start)
            neighbours.before = block;
        if (!neighbours.after && block.start == slot.end)
            neighbours.after = block;
    }
    return neighbours;
}

std::optional<Date> Adjustments::trimmedEdge(const Slot& slot, WindowEdge edge, Date target,
                                             std::int64_t snapMinutes, const TimeZone& zone,
                                             std::optional<std::int64_t> minimumMinutes) const
{
    const auto [before, after] = holdsAdjacent(slot);
    const Date t = snapped(target, edge, snapMinutes, zone);
    if (edge == WindowEdge::start) {
        const Date cut = std::min(std::max(before ? before->start : slot.start, t), slot.end);
        if (shorterThan(slot.end - cut, minimumMinutes))
            return std::nullopt;
        return cut;
    }
    const Date cut = std::max(std::min(t, after ? after->end : slot.end), slot.start);
    if (shorterThan(cut - slot.start, minimumMinutes))
        return std::nullopt;
    return cut;
}

void Adjustments::trim(const Slot& slot, WindowEdge edge, Date target, std::int64_t snapMinutes,
                       const TimeZone& zone, std::optional<std::int64_t> minimumMinutes,
                       const UuidGenerator& newId)
{
    const auto cut = trimmedEdge(slot, edge, target, snapMinutes, zone, minimumMinutes);
    if (!cut) {
        remove(slot, newId);
        return;
    }
    const auto [before, after] = holdsAdjacent(slot);
    const auto dropAll = [this](const Uuid& id) {
        std::erase_if(reserved, [&](const ReservedBlock& b) { return b.id == id; });
    };
    if (edge == WindowEdge::start) {
        const Date lower = before ? before->start : slot.start;
        if (before)
            dropAll(before->id);
        if (*cut > lower)
            reserved.push_back(ReservedBlock{newId(), lower, *cut});
    } else {
        const Date upper = after ? after->end : slot.end;
        if (after)
            dropAll(after->id);
        if (*cut < upper)
            reserved.push_back(ReservedBlock{newId(), *cut, upper});
    }
}

void Adjustments::remove(const Slot& slot, const UuidGenerator& newId)
{
    // Named references, not a structured binding: clang 14 cannot capture those in a lambda.
    const Neighbours neighbours = holdsAdjacent(slot);
    const auto& before = neighbours.before;
    const auto& after = neighbours.after;
    const Date start = before ? before->start : slot.start;
    const Date end = after ? after->end : slot.end;
    std::erase_if(reserved, [&](const ReservedBlock& b) {
        return (before && b.id == before->id) || (after && b.id == after->id);
    });
    reserved.push_back(ReservedBlock{newId(), start, end});
}

void Adjustments::restoreHolds(const Slot& overlapping)
{
    const Date lo = overlapping.start;
    const Date hi = overlapping.end;
    std::erase_if(reserved, [&](const ReservedBlock& b) {
        return (b.start < hi && b.end > lo) || b.end == lo || b.start == hi;
    });
}

void Adjustments::toggleMovable(const AdjustmentKey& key)
{
    if (!movable.erase(key))
        movable.insert(key);
}

void Adjustments::prune(Date now, const std::unordered_map<AdjustmentKey, Date>& ends,
                        const std::optional<std::unordered_set<AdjustmentKey>>& knownEvents,
                        const TimeZone& zone)
{
    std::erase_if(movable, [&](const AdjustmentKey& key) {
        const auto end = ends.find(key);
        if (end != ends.end() && end->second < now)
            return true;
        return knownEvents && !knownEvents->contains(key);
    });
    std::erase_if(reserved, [&](const ReservedBlock& b) { return b.end < now; });
    const std::string todayKey = DayKey::string(now, zone);
    overrides.prune(todayKey);
    exclusions.prune(todayKey);
}

std::unordered_map<Uuid, HoldKind> Adjustments::holdKinds(std::span<const Slot> slots) const
{
    std::unordered_set<Date> slotStarts;
    std::unordered_set<Date> slotEnds;
    for (const Slot& slot : slots) {
        slotStarts.insert(slot.start);
        slotEnds.insert(slot.end);
    }
    std::unordered_map<Uuid, HoldKind> kinds;
    for (const ReservedBlock& block : reserved) {
        const bool touches = slotEnds.contains(block.start) || slotStarts.contains(block.end);
        kinds.emplace(block.id, touches ? HoldKind::trimmed : HoldKind::removed);
    }
    return kinds;
}

std::string Adjustments::toJson() const
{
    // Sorted by their written texts: a total order even for odd instants, and the file's own.
    std::vector<std::pair<std::string, std::string>> keys;
    for (const AdjustmentKey& key : movable)
        keys.emplace_back(key.eventID, key.occurrenceStart.iso8601());
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    json movableJson = json::array();
    for (const auto& [eventID, occurrenceStart] : keys)
        movableJson.push_back({{"eventID", eventID}, {"occurrenceStart", occurrenceStart}});
    json reservedJson = json::array();
    for (const ReservedBlock& block : reserved)
        reservedJson.push_back({{"id", block.id.string()},
                                {"start", block.start.iso8601()},
                                {"end", block.end.iso8601()}});
    // nlohmann::json keeps object members sorted by name, which the file form asks for.
    const json file{{"exclusions", JsonForms::encode(exclusions)},
                    {"movable", std::move(movableJson)},
                    {"overrides", JsonForms::encode(overrides)},
                    {"reserved", std::move(reservedJson)}};
    return file.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

Decoded<Adjustments> Adjustments::fromJson(std::string_view text)
{
    json file;
    try {
        file = json::parse(text.begin(), text.end());
    } catch (const json::exception& e) {
        return Decoded<Adjustments>::failure(std::string("invalid JSON: ") + e.what());
    }
    if (!file.is_object())
        return Decoded<Adjustments>::failure("expected an object");
    Adjustments adjustments;
    if (JsonForms::member(file, "exclusions")) {
        auto exclusions = JsonForms::decodeDayExclusions(file.at("exclusions"));
        if (!exclusions)
            return Decoded<Adjustments>::failure(exclusions.error);
        adjustments.exclusions = std::move(*exclusions.value);
    }
    if (JsonForms::member(file, "movable")) {
        auto movable = decodeMovable(file.at("movable"));
        if (!movable)
            return Decoded<Adjustments>::failure(movable.error);
        adjustments.movable = std::move(*movable.value);
    }
    if (JsonForms::member(file, "overrides")) {
        auto overrides = JsonForms::decodeWindowOverrides(file.at("overrides"));
        if (!overrides)
            return Decoded<Adjustments>::failure(overrides.error);
        adjustments.overrides = std::move(*overrides.value);
    }
    if (JsonForms::member(file, "reserved")) {
        auto reserved = decodeReserved(file.at("reserved"));
        if (!reserved)
            return Decoded<Adjustments>::failure(reserved.error);
        adjustments.reserved = std::move(*reserved.value);
    }
    return {std::move(adjustments), {}};
}

}  // namespace nelvo
