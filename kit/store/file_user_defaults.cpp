#include "kit/store/file_user_defaults.h"

#include "kit/store/atomic_file.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace nelvo {

using nlohmann::json;

namespace {

// Deeper than any value this system writes; bounds the recursion of writing a file back.
constexpr int maxDepth = 64;

constexpr char base64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64Encode(std::string_view bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t chunk = 0;
        for (std::size_t k = 0; k < 3; ++k)
            chunk = (chunk << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            text.push_back(k <= n ? base64Alphabet[(chunk >> (18 - 6 * k)) & 0x3F] : '=');
    }
    return text;
}

std::optional<std::string> base64Decode(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t chunk = 0;
        int padding = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            std::uint32_t sextet = 0;
            if (c == '=') {
                // Padding only closes the last group, in its last one or two places.
                if (i + 4 != text.size() || k < 2)
                    return std::nullopt;
                ++padding;
            } else {
                if (padding > 0)
                    return std::nullopt;
                const char* found = std::char_traits<char>::find(base64Alphabet, 64, c);
                if (!found)
                    return std::nullopt;
                sextet = static_cast<std::uint32_t>(found - base64Alphabet);
            }
            chunk = (chunk << 6) | sextet;
        }
        for (int k = 0; k < 3 - padding; ++k)
            bytes.push_back(static_cast<char>((chunk >> (16 - 8 * k)) & 0xFF));
    }
    return bytes;
}

// The file's top-level object; the reason when the text is not JSON, not an object or too
// deep.
Decoded<json> parseObject(std::string_view text)
{
    bool tooDeep = false;
    const json::parser_callback_t depthGuard = [&](int depth, json::parse_event_t, json&) {
        if (depth > maxDepth)
            tooDeep = true;
        return !tooDeep;
    };
    try {
        json parsed = json::parse(text.begin(), text.end(), depthGuard);
        if (tooDeep)
            return Decoded<json>::failure("nested too deeply");
        if (!parsed.is_object())
            return Decoded<json>::failure("not a JSON object");
        return Decoded<json>{std::move(parsed), {}};
    } catch (const json::exception&) {
        return Decoded<json>::failure(tooDeep ? "nested too deeply" : "not valid JSON");
    }
}

// The file's object: empty when there is no file; the reason when it cannot be read or
// decoded.
Decoded<json> readObject(const std::filesystem::path& path)
{
    std::error_code error;
    const auto text = AtomicFile::read(path, error);
    if (!text && error == std::errc::no_such_file_or_directory)
        return Decoded<json>{json::object(), {}};
    if (!text)
        return Decoded<json>::failure(AtomicFile::unreadableReason(error, {}));
    auto parsed = parseObject(*text);
    if (!parsed)
        return Decoded<json>::failure(AtomicFile::unreadableReason({}, parsed.error));
    return parsed;
}

std::optional<UserDefaults::Value> toValue(const json& stored)
{
    if (stored.is_boolean())
        return UserDefaults::Value{stored.get<bool>()};
    if (stored.is_number())
        return UserDefaults::Value{stored.get<double>()};
    if (stored.is_array()) {
        std::vector<std::string> strings;
        for (const json& item : stored) {
            if (!item.is_string())
                return std::nullopt;
            strings.push_back(item.get<std::string>());
        }
        return UserDefaults::Value{std::move(strings)};
    }
    if (stored.is_object() && stored.size() == 1 && stored.contains("base64") &&
        stored.at("base64").is_string()) {
        if (auto bytes = base64Decode(stored.at("base64").get_ref<const std::string&>()))
            return UserDefaults::Value{UserDefaults::Data{std::move(*bytes)}};
    }
    return std::nullopt;
}

json toJson(const UserDefaults::Value& value)
{
    return std::visit(
        [](const auto& held) -> json {
            using T = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<T, UserDefaults::Data>)
                return json{{"base64", base64Encode(held.bytes)}};
            else if constexpr (std::is_same_v<T, double>)
                return std::isfinite(held) ? json(held) : json(nullptr);
            else
                return json(held);
        },
        value);
}

// Holds an exclusive flock for its lifetime. The lock lives on a file of its own: the
// defaults file itself is replaced by each write, so a lock on it would guard an old inode.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const std::filesystem::path& lockPath)
    {
        do
            m_fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        while (m_fd < 0 && errno == EINTR);
        if (m_fd < 0) {
            m_error = {errno, std::generic_category()};
            return;
        }
        int result;
        do
            result = ::flock(m_fd, LOCK_EX);
        while (result != 0 && errno == EINTR);
        if (result != 0) {
            m_error = {errno, std::generic_category()};
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~ExclusiveLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);  // releases the lock
    }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

    bool isHeld() const { return m_fd >= 0; }
    std::error_code error() const { return m_error; }

private:
    int m_fd = -1;
    std::error_code m_error;
};

}  // namespace

FileUserDefaults::FileUserDefaults(std::filesystem::path path, AtomicFile::Report report)
    : m_path(std::move(path)), m_report(std::move(report))
{
}

std::filesystem::path FileUserDefaults::standardPath(const XdgFolders& folders)
{
    return folders.configHome / "nelvo" / "defaults.json";
}

std::filesystem::path FileUserDefaults::demoPath(const XdgFolders& folders)
{
    return folders.configHome / "nelvo" / "defaults.demo.json";
}

std::optional<FileUserDefaults::Values> FileUserDefaults::decode(std::string_view text)
{
    const auto object = parseObject(text);
    if (!object)
        return std::nullopt;
    Values values;
    for (const auto& [key, stored] : object.value->items())
        if (auto value = toValue(stored))
            values.emplace(key, std::move(*value));
    return values;
}

Decoded<FileUserDefaults::Values> FileUserDefaults::read() const
{
    const auto object = readObject(m_path);
    if (!object)
        return Decoded<Values>::failure(object.error);
    Values values;
    for (const auto& [key, stored] : object.value->items())
        if (auto value = toValue(stored))
            values.emplace(key, std::move(*value));
    return Decoded<Values>{std::move(values), {}};
}

std::optional<UserDefaults::Value> FileUserDefaults::value(std::string_view key) const
{
    const auto object = readObject(m_path);
    if (!object)
        return std::nullopt;
    const auto it = object.value->find(key);
    if (it == object.value->end())
        return std::nullopt;
    return toValue(*it);
}

bool FileUserDefaults::update(std::string_view key, const Change& change)
{
    m_lastError = {};
    std::error_code& error = m_lastError;
    if (m_path.has_parent_path())
        std::filesystem::create_directories(m_path.parent_path(), error);
    if (error)
        return false;
    std::filesystem::path lockPath = m_path;
    lockPath += ".lock";
    const ExclusiveLock lock(lockPath);
    if (!lock.isHeld()) {
        error = lock.error();
        return false;
    }

    // From here to the write no other process changes the file.
    auto object = readObject(m_path);
    const bool isUnreadable = !object;
    if (isUnreadable)
        object.value = json::object();
    const auto stored = object.value->find(key);
    const bool isPresent = stored != object.value->end();
    const std::optional<Value> current = isPresent ? toValue(*stored) : std::nullopt;
    const std::optional<Value> next = change(current);
    // A value of a shape this version does not read stays unless replaced.
    if (next == current && (next || !isPresent))
        return true;

    if (isUnreadable) {
        // Never replace what could not be kept.
        const auto keptAs = AtomicFile::setAsideUnreadable(m_path, error);
        if (!keptAs)
            return false;
        if (m_report)
            m_report(AtomicFile::keptAsideLine(m_path, object.error, *keptAs));
    }
    if (next)
        (*object.value)[std::string(key)] = toJson(*next);
    else
        object.value->erase(std::string(key));
    // The defaults may hold private calendar addresses: only the user reads them.
    error = AtomicFile::writePrivate(
        m_path, object.value->dump(2, ' ', false, json::error_handler_t::replace) + "\n");
    return !error;
}

}  // namespace nelvo
