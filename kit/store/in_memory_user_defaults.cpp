#include "kit/store/in_memory_user_defaults.h"

namespace nelvo {

std::optional<UserDefaults::Value> InMemoryUserDefaults::value(std::string_view key) const
{
    const auto it = m_values.find(key);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

InMemoryUserDefaults::InMemoryUserDefaults(std::map<std::string, Value, std::less<>> values)
    : m_values(std::move(values))
{
}

bool InMemoryUserDefaults::update(std::string_view key, const Change& change)
{
    const std::optional<Value> current = value(key);
    std::optional<Value> next = change(current);
    if (next == current)
        return true;
    ++m_writeCount;
    if (next)
        m_values.insert_or_assign(std::string(key), std::move(*next));
    else if (const auto it = m_values.find(key); it != m_values.end())
        m_values.erase(it);
    return true;
}

}  // namespace nelvo
