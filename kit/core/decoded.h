#pragma once

#include <optional>
#include <string>

namespace nelvo {

// What a reader of outside data returns: a value, or the reason there is none.
template <typename T>
struct Decoded {
    std::optional<T> value;
    std::string error;  // "startMinutes: expected an integer"

    static Decoded failure(std::string reason) { return Decoded{std::nullopt, std::move(reason)}; }
    explicit operator bool() const { return value.has_value(); }
};

}  // namespace nelvo
