#include "kit/store/user_defaults.h"

namespace nelvo {

namespace {

template <typename T>
std::optional<T> as(const std::optional<UserDefaults::Value>& value)
{
    if (!value)
        return std::nullopt;
    if (const T* held = std::get_if<T>(&*value))
        return *held;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> UserDefaults::data(std::string_view key) const
{
    if (auto held = as<Data>(value(key)))
        return std::move(held->bytes);
    return std::nullopt;
}

std::optional<bool> UserDefaults::boolValue(std::string_view key) const
{
    return as<bool>(value(key));
}

std::optional<double> UserDefaults::doubleValue(std::string_view key) const
{
    return as<double>(value(key));
}

std::optional<std::vector<std::string>> UserDefaults::stringList(std::string_view key) const
{
    return as<std::vector<std::string>>(value(key));
}

bool UserDefaults::setValue(std::string_view key, std::optional<Value> value)
{
    return update(key, [&value](const std::optional<Value>&) { return std::move(value); });
}

bool UserDefaults::setData(std::string_view key, std::string bytes)
{
    return setValue(key, Value{Data{std::move(bytes)}});
}

bool UserDefaults::setBool(std::string_view key, bool value)
{
    return setValue(key, Value{value});
}

bool UserDefaults::setDouble(std::string_view key, double value)
{
    return setValue(key, Value{value});
}

bool UserDefaults::setStringList(std::string_view key, std::vector<std::string> values)
{
    return setValue(key, Value{std::move(values)});
}

bool UserDefaults::remove(std::string_view key)
{
    return setValue(key, std::nullopt);
}

}  // namespace nelvo
