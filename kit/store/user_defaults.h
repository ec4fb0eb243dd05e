#pragma once

#include <functional>
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

    // Given the value stored under a key (empty: none), the value to store (empty: remove).
    using Change = std::function<std::optional<Value>(const std::optional<Value>& current)>;

    virtual std::optional<Value> value(std::string_view key) const = 0;
    // Reads the value of `key`, passes it to `change` and stores what that returns, with no
    // other writer in between, even in another process: a read-modify-write that works
    // from a value read earlier would bring back what others wrote since. Nothing is
    // written when `change` returns what it was given. False when it could not be stored;
    // the earlier value then stays.
    virtual bool update(std::string_view key, const Change& change) = 0;

    // Stores `value` under `key`, or removes the key when empty.
    bool setValue(std::string_view key, std::optional<Value> value);

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
