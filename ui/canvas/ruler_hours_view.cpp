#include "ui/canvas/ruler_hours_view.h"

#include "kit/core/calendar.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"

#include <QPainter>

namespace nelvo {

RulerHoursView::RulerHoursView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RulerHoursView::setContent(const Content& content)
{
    if (content == m_content && !m_labels.empty())
        return;
    m_content = content;
    m_labels.clear();
    if (content.zone) {
        const Calendar primary(content.primary);
        const Calendar local(*content.zone);
        const TimeAxis axis = content.geometry.axis(content.day, primary);
        const Calendar::Parts first = primary.parts(axis.dayStart());
        std::optional<Calendar::Parts> previous;
        for (int hour = content.geometry.hours.firstHour; hour <= content.geometry.hours.lastHour;
             ++hour) {
            const double y = content.geometry.y(hour * 60.0);
            const Date instant = axis.date(y - CanvasStyle::topInset);
            const Calendar::Parts parts = local.parts(instant);
            Label label{
                y, CanvasText::timeLabel(parts.hour * 60 + parts.minute, content.use24Hour), {}};
            const auto& reference = previous ? *previous : first;
            if (parts.year != reference.year || parts.month != reference.month ||
                parts.day != reference.day)
                label.weekday = CanvasText::weekday(instant, *content.zone);
            previous = parts;
            m_labels.push_back(label);
        }
    }
    update();
}

void RulerHoursView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFont timeFont = CanvasStyle::font(font(), -1.5, m_content.isPrimary);
    const QFont dayFont = CanvasStyle::font(font(), -2.5, true);
    const QFontMetricsF metrics(timeFont);
    const double lineHeight = metrics.height();
    // Labels closer than a line would overlap: show every other one.
    const int every = m_content.geometry.pointsPerHour < lineHeight + 2 ? 2 : 1;
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        const auto& label = m_labels[i];
        const bool last = i + 1 == m_labels.size();
        if (i % every != 0 && label.weekday.isEmpty())
            continue;
        // The last label sits above its line so that it is not cut off at the bottom.
        const double top = last ? label.y - lineHeight : label.y - lineHeight / 2;
        painter.setFont(timeFont);
        painter.setPen(m_content.isPrimary ? palette().color(QPalette::Text)
                                           : CanvasStyle::secondaryText(palette()));
        painter.drawText(QRectF(0, top, width() - 4, lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                         label.time);
        if (!label.weekday.isEmpty() && !last) {
            painter.setFont(dayFont);
            painter.setPen(palette().color(QPalette::Highlight));
            painter.drawText(QRectF(0, top + lineHeight - 1, width() - 4, lineHeight),
                             Qt::AlignRight | Qt::AlignTop, label.weekday);
        }
    }
}

}  // namespace nelvo
