#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nelvo {

// A per-user key-value store of small values: the settings record and a few flags.
// Reading a key that holds another kind of value gives nothing.
class UserDefaults {
public:
    // Raw bytes, kept apart from texts and lists.
    struct Data {
        std::string bytes;
        bool operator==(const Data&) const = default;
    };
    using Value = std::variant<Data, bool, double, std::vector<std::string>>;

    virtual ~UserDefaults() = default;

    virtual std::optional<Value> value(std::string_view key) const = 0;
    // Stores `value` under `key`, or removes the key when empty. False when it could not be
    // stored; the earlier value then stays.
    virtual bool setValue(std::string_view key, std::optional<Value> value) = 0;

    std::optional<std::string> data(std::string_view key) const;
    std::optional<bool> boolValue(std::string_view key) const;
    std::optional<double> doubleValue(std::string_view key) const;
    std::optional<std::vector<std::string>> stringList(std::string_view key) const;

    bool setData(std::string_view key, std::string bytes);
    bool setBool(std::string_view key, bool value);
    bool setDouble(std::string_view key, double value);
    bool setStringList(std::string_view key, std::vector<std::string> values);
    bool remove(std::string_view key);
};

}  // namespace nelvo
