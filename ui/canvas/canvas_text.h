#pragma once

#include "kit/core/date.h"
#include "kit/core/slot.h"
#include "kit/core/window_overrides.h"

#include <QString>

#include <cstdint>

namespace nelvo {

class TimeZone;

// The canvas's own texts: time labels of bars and rulers, band ranges, day titles and the
// accessible names of the views.
namespace CanvasText {

// Minutes of the day as a bar or a ruler shows them: "9:05am", "12:00pm" or "09:05", "21:00".
QString timeLabel(std::int64_t minutes, bool use24Hour);

// The slot's range in `zone`, "9:00am – 12:00pm", with the weekday of an end on another day
// than `referenceDay` in `referenceZone`.
QString range(const Slot& slot, const TimeZone& zone, Date referenceDay,
              const TimeZone& referenceZone, bool use24Hour);

// "Mon 3".
QString dayTitle(Date day, const TimeZone& zone);
// The weekday alone, "Tue".
QString weekday(Date day, const TimeZone& zone);

QString barName(WindowEdge edge, bool isOverride);
QString sharedHandleName(WindowEdge edge);
QString bandName(const QString& range);
// A time label as a screen reader says it: "9:00am" becomes "9:00 AM"; 24-hour labels stay.
QString spokenTime(const QString& timeLabel);
// "Busy, 9:30 to 10:00 AM", "Busy, 11:30 AM to 12:30 PM" or "Busy, 09:30 to 10:00", from
// minutes of the day (an end past midnight is said as the next day's time).
QString busyName(std::int64_t startMinutes, std::int64_t endMinutes, bool use24Hour);
// "9:30 to 10:00 AM", as in busyName().
QString spokenRange(std::int64_t startMinutes, std::int64_t endMinutes, bool use24Hour);
QString eventCount(std::size_t count);

inline constexpr const char* bandHelp =
    "Free time. Drag an edge to trim it; double-click to restore.";
inline constexpr const char* trimStartAction = "Trim start";
inline constexpr const char* trimEndAction = "Trim end";
inline constexpr const char* restoreAction = "Restore";
inline constexpr const char* followSharedAction = "Follow the shared bar";
inline constexpr const char* leftOutText =
    "This day is left out of your availability. Click its date to include it.";
inline constexpr const char* leftOutTag = "Left out";
inline constexpr const char* noneLeftToday = "No availability left today";
inline constexpr const char* noneThisDay = "No availability this day";
// A band trimmed below the shortest free time offered: a release takes it out whole.
inline constexpr const char* tooShortToOffer = "Too short to offer";
inline constexpr const char* toggleDayHelp = "Toggles whether this day is offered";
inline constexpr const char* leaveDayOut = "Leave this day out";
inline constexpr const char* includeDay = "Include this day";
inline constexpr const char* showEvents = "Show this day's events";
inline constexpr const char* eventsFooter = "Freeing a meeting changes only what you share.";
inline constexpr const char* freeThisTime = "Free this time";
inline constexpr const char* makeBusyAgain = "Make it busy again";
inline constexpr const char* freedTag = "Freed";
inline constexpr const char* notCountedTag = "Not counted";
// Time the user took out of a free band, and a freed meeting's trace, on the canvas.
inline constexpr const char* heldTag = "Taken out";
inline constexpr const char* heldReason = "Taken out by you";
inline constexpr const char* heldHelp = "Double-click to give it back.";
inline constexpr const char* freedHelp = "Click to make it busy again.";
inline constexpr const char* allDay = "All day";
inline constexpr const char* removeZone = "Remove this time zone";
inline constexpr const char* makeFirst = "Make First";
inline constexpr const char* remove = "Remove";
inline constexpr const char* rename = "Rename";
inline constexpr const char* moveLeft = "Move Left";
inline constexpr const char* moveRight = "Move Right";
inline constexpr const char* addZone = "Add a time zone";
inline constexpr const char* rulerHint =
    ". Click × to remove, drag to reorder or off the axis, double-click the name to rename.";
// The same for the keyboard and screen readers, which have the ruler's actions by name too.
inline constexpr const char* rulerKeys =
    ". Left and Right arrows move it, Home makes it first, Delete removes it, F2 renames it.";
inline constexpr const char* primaryRulerKeys =
    ". Left and Right arrows move it, Home makes it first, F2 renames it.";

}  // namespace CanvasText

}  // namespace nelvo
