#pragma once

#include "kit/core/decoded.h"

#include <string>
#include <string_view>

namespace nelvo {

// A calendar address: the private https or webcal address of an iCalendar calendar that a
// calendar service publishes. Anyone who has it can read the calendar, so it is a secret:
// only the host is ever shown, the identity and the saved copy's name are hashes of it.
namespace CalendarAddress {

// Whether the text is meant as an address rather than a path (it has a web scheme).
bool looksLikeAddress(std::string_view text);

// The address to fetch: "webcal://" becomes "https://", surrounding blanks go. Refused with
// a reason (that never repeats the text): another scheme, no host, credentials in it, or
// plain "http://" to anything but this computer.
Decoded<std::string> normalized(std::string_view text);

// The host, as a message shows it: "calendar.example.com".
std::string host(const std::string& address);

// The identity of the address's calendar: "web:" and a hash of the address.
std::string calendarID(const std::string& address);

// The name of the address's saved copy: a hash of the address, nothing of it readable.
std::string copyName(const std::string& address);

}  // namespace CalendarAddress

}  // namespace nelvo
