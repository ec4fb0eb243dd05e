#include "kit/render/slot_days.h"

namespace nelvo {

Date SlotDays::startOfDay(Date date)
{
    if (m_start && m_end && *m_start <= date && date < *m_end)
        return *m_start;
    m_start = m_calendar.startOfDay(date);
    m_end.reset();
    if (const auto sameTimeTomorrow = m_calendar.addingDays(1, *m_start))
        m_end = m_calendar.startOfDay(*sameTimeTomorrow);
    return *m_start;
}

}  // namespace nelvo
