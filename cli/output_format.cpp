#include "cli/output_format.h"

#include "app/availability_model.h"
#include "app/text_format.h"
#include "cli/command_line.h"
#include "cli/picture_output.h"
#include "kit/core/day_key.h"

#include <nlohmann/json.hpp>

#include <vector>

namespace nelvo {

namespace {

nlohmann::ordered_json slotsJson(const std::vector<Slot>& slots)
{
    auto list = nlohmann::ordered_json::array();
    for (const Slot& slot : slots)
        list.push_back({{"start", slot.start.iso8601()}, {"end", slot.end.iso8601()}});
    return list;
}

std::string jsonDocument(const AvailabilityModel& model, const PrintOptions&)
{
    nlohmann::ordered_json days = nlohmann::ordered_json::array();
    for (const DayData& day : model.days()) {
        days.push_back(
            {{"id", day.id},
             {"isToday", day.isToday},
             {"isExcluded", day.isExcluded},
             {"window",
              {{"startMinutes", day.window.startMinutes}, {"endMinutes", day.window.endMinutes}}},
             {"slots", slotsJson(day.slots)}});
    }
    const nlohmann::ordered_json document{
        {"zone", model.zone().id()},
        {"rangeStart", DayKey::string(model.rangeStart(), model.zone())},
        {"slots", slotsJson(model.slots())},
        {"days", std::move(days)}};
    return document.dump(2);
}

// The picture as PNG bytes; empty when it cannot be drawn. Needs a live PictureOutput.
std::string picture(const AvailabilityModel& model, const PrintOptions& options)
{
    return PictureOutput::png(model, options.scale);
}

OutputFormat modelText(std::string_view name, TextFormat format)
{
    return {name, [format](const AvailabilityModel& model, const PrintOptions&) {
                return model.text(format);
            }};
}

const std::vector<OutputFormat>& formats()
{
    // Adding a format is adding a row.
    static const std::vector<OutputFormat> table = {
        modelText("text", TextFormat::chat),
        modelText("markdown", TextFormat::markdown),
        modelText("html", TextFormat::html),
        modelText("table", TextFormat::table),
        modelText("table-markdown", TextFormat::tableMarkdown),
        modelText("table-html", TextFormat::tableHtml),
        modelText("email", TextFormat::email),
        modelText("rtf", TextFormat::rtf),
        {"png", &picture, false},
        {"json", &jsonDocument},
    };
    return table;
}

}  // namespace

std::span<const OutputFormat> OutputFormat::all()
{
    return formats();
}

const OutputFormat* OutputFormat::named(std::string_view name)
{
    for (const auto& format : formats()) {
        if (format.name == name)
            return &format;
    }
    return nullptr;
}

std::string OutputFormat::names()
{
    std::string list;
    for (const auto& format : formats())
        list += (list.empty() ? "" : ", ") + std::string(format.name);
    return list;
}

}  // namespace nelvo
