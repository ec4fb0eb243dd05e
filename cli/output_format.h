#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace nelvo {

class AvailabilityModel;
struct PrintOptions;

// One value of `print --format`: its name and what it writes.
struct OutputFormat {
    std::string_view name;
    std::function<std::string(const AvailabilityModel&, const PrintOptions&)> render;
    // Texts end with exactly one line feed; other content (the picture) is written as it
    // is, never to a terminal, and needs a live PictureOutput to be drawn.
    bool isText = true;

    // Every format, in the order the usage lists them; the first is the default.
    static std::span<const OutputFormat> all();
    static const OutputFormat* named(std::string_view name);
    // "text, markdown, html, ..." for usage and error texts.
    static std::string names();
};

}  // namespace nelvo
