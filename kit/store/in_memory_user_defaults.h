#pragma once

#include "kit/store/user_defaults.h"

#include <map>

namespace nelvo {

// User defaults that live as long as the object: for tests and throw-away runs.
class InMemoryUserDefaults final : public UserDefaults {
public:
    InMemoryUserDefaults() = default;
    explicit InMemoryUserDefaults(std::map<std::string, Value, std::less<>> values);

    std::optional<Value> value(std::string_view key) const override;
    bool update(std::string_view key, const Change& change) override;

    // How many times a value was changed or removed; tests use it to see that nothing was
    // written.
    int writeCount() const { return m_writeCount; }

private:
    std::map<std::string, Value, std::less<>> m_values;
    int m_writeCount = 0;
};

}  // namespace nelvo
