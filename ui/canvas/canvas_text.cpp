#include "ui/canvas/canvas_text.h"

#include "kit/core/date_formatter.h"
#include "kit/render/slot_formatter.h"

#include <cstdio>

namespace nelvo::CanvasText {

QString timeLabel(std::int64_t minutes, bool use24Hour)
{
    const long long hour = minutes / 60;
    const long long minute = minutes % 60;
    char buffer[32];
    if (use24Hour) {
        std::snprintf(buffer, sizeof buffer, "%02lld:%02lld", hour, minute);
    } else {
        const long long twelve = hour % 12 == 0 ? 12 : hour % 12;
        std::snprintf(buffer, sizeof buffer, "%lld:%02lld%s", twelve, minute,
                      minutes < 720 ? "am" : "pm");
    }
    return QString::fromLatin1(buffer);
}

QString range(const Slot& slot, const TimeZone& zone, Date referenceDay,
              const TimeZone& referenceZone, bool use24Hour)
{
    return QString::fromStdString(
        SlotFormatter::text(slot, zone, referenceDay, referenceZone, use24Hour, " – ", false));
}

QString dayTitle(Date day, const TimeZone& zone)
{
    return QString::fromStdString(DateFormatter::cached("EEE d", zone).string(day));
}

QString weekday(Date day, const TimeZone& zone)
{
    return QString::fromStdString(DateFormatter::cached("EEE", zone).string(day));
}

QString barName(WindowEdge edge, bool isOverride)
{
    return QStringLiteral("This day's ") +
           (edge == WindowEdge::start ? QStringLiteral("start") : QStringLiteral("end")) +
           QStringLiteral(" of availability") +
           (isOverride ? QStringLiteral(". Double-click to follow the shared bar.")
                       : QStringLiteral(". Drag to change this day only."));
}

QString sharedHandleName(WindowEdge edge)
{
    return edge == WindowEdge::start ? QStringLiteral("Start of availability, every day")
                                     : QStringLiteral("End of availability, every day");
}

QString bandName(const QString& range)
{
    return QStringLiteral("Free ") + range;
}

QString spokenTime(const QString& timeLabel)
{
    for (const char* half : {"am", "pm"})
        if (timeLabel.endsWith(QLatin1String(half)))
            return timeLabel.chopped(2) + QLatin1Char(' ') + QString::fromLatin1(half).toUpper();
    return timeLabel;
}

QString spokenRange(std::int64_t startMinutes, std::int64_t endMinutes, bool use24Hour)
{
    const auto label = [use24Hour](std::int64_t m) { return timeLabel(m % 1440, use24Hour); };
    QString start = spokenTime(label(startMinutes));
    const QString end = spokenTime(label(endMinutes));
    // The half of the day is said once when both times share it.
    if (!use24Hour && start.right(2) == end.right(2))
        start.chop(3);
    return start + QStringLiteral(" to ") + end;
}

QString busyName(std::int64_t startMinutes, std::int64_t endMinutes, bool use24Hour)
{
    return QStringLiteral("Busy, ") + spokenRange(startMinutes, endMinutes, use24Hour);
}

QString eventCount(std::size_t count)
{
    return QString::number(count) +
           (count == 1 ? QStringLiteral(" event") : QStringLiteral(" events"));
}

}  // namespace nelvo::CanvasText
