#include "kit/store/in_memory_user_defaults.h"

namespace nelvo {

std::optional<UserDefaults::Value> InMemoryUserDefaults::value(std::string_view key) const
{
    const auto it = m_values.find(key);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

bool InMemoryUserDefaults::setValue(std::string_view key, std::optional<Value> value)
{
    ++m_writeCount;
    if (value)
        m_values.insert_or_assign(std::string(key), std::move(*value));
    else if (const auto it = m_values.find(key); it != m_values.end())
        m_values.erase(it);
    return true;
}

}  // namespace nelvo
