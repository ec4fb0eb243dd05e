#include "app/web/calendar_address.h"

#include <QCryptographicHash>
#include <QUrl>

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>

namespace nelvo {

namespace {

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && lower(text.substr(0, prefix.size())) == prefix;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool isLoopback(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    // Plain inet_pton rather than QHostAddress: Qt Network is loaded only to fetch.
    const std::string text = host.toStdString();
    in_addr v4{};
    if (::inet_pton(AF_INET, text.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (::inet_pton(AF_INET6, text.c_str(), &v6) == 1)
        return IN6_IS_ADDR_LOOPBACK(&v6) || (IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127);
    return false;
}

QByteArray digest(const std::string& address)
{
    return QCryptographicHash::hash(QByteArray::fromStdString(address), QCryptographicHash::Sha256)
        .toHex();
}

}  // namespace

namespace CalendarAddress {

bool looksLikeAddress(std::string_view text)
{
    text = trimmed(text);
    return startsWith(text, "https://") || startsWith(text, "webcal://") ||
           startsWith(text, "webcals://") || startsWith(text, "http://");
}

Decoded<std::string> normalized(std::string_view text)
{
    text = trimmed(text);
    std::string address(text);
    if (startsWith(text, "webcal://"))
        address = "https://" + address.substr(9);
    else if (startsWith(text, "webcals://"))
        address = "https://" + address.substr(10);
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return Decoded<std::string>::failure("not a web address");
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("https") && scheme != QLatin1String("http"))
        return Decoded<std::string>::failure("only https:// and webcal:// addresses are read");
    if (scheme == QLatin1String("http") && !isLoopback(url.host()))
        return Decoded<std::string>::failure(
            "an http:// address would send the calendar unencrypted; use its https:// address");
    if (!url.userInfo().isEmpty())
        return Decoded<std::string>::failure(
            "an address with a user name or password in it is not read");
    QUrl clean = url.adjusted(QUrl::RemoveFragment | QUrl::NormalizePathSegments);
    clean.setScheme(scheme);
    return {clean.toString(QUrl::FullyEncoded).toStdString(), {}};
}

std::string host(const std::string& address)
{
    const QUrl url(QString::fromStdString(address));
    return url.host(QUrl::FullyDecoded).toStdString();
}

std::string calendarID(const std::string& address)
{
    return "web:" + digest(address).left(24).toStdString();
}

std::string copyName(const std::string& address)
{
    return digest(address).toStdString();
}

}  // namespace CalendarAddress

}  // namespace nelvo
