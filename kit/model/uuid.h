#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nelvo {

// A 128-bit identifier; new ones are random (version 4).
struct Uuid {
    std::array<std::uint8_t, 16> bytes{};

    static Uuid random();
    // "E621E1F8-C36C-495A-93FC-0C247A3E6E5F": 36 characters, hyphens at 8, 13, 18 and 23,
    // hexadecimal digits in either case. Empty for anything else.
    static std::optional<Uuid> fromString(std::string_view text);
    // Upper case.
    std::string string() const;

    auto operator<=>(const Uuid&) const = default;
};

// Where new ids come from: `Uuid::random` in the program, a known sequence in tests.
using UuidGenerator = std::function<Uuid()>;

}  // namespace nelvo

template <>
struct std::hash<nelvo::Uuid> {
    std::size_t operator()(const nelvo::Uuid& u) const noexcept
    {
        std::size_t h = 0;
        for (auto b : u.bytes)
            h = h * 131 + b;
        return h;
    }
};
