#include "ui/canvas/ruler_hours_view.h"

#include "kit/core/calendar.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"

#include <QEvent>
#include <QFontMetricsF>
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
    m_look.reset();
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

const RulerHoursView::Look& RulerHoursView::look() const
{
    if (!m_look) {
        Look look{CanvasStyle::font(font(), -1.5, m_content.isPrimary),
                  CanvasStyle::font(font(), -2.5, true)};
        look.lineHeight = QFontMetricsF(look.timeFont).height();
        look.every = m_content.geometry.pointsPerHour < look.lineHeight + 2 ? 2 : 1;
        m_look = std::move(look);
    }
    return *m_look;
}

void RulerHoursView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_look.reset();
    QWidget::changeEvent(event);
}

std::optional<double> RulerHoursView::shownTop(std::size_t index, const Look& look) const
{
    const auto& label = m_labels[index];
    if (index % static_cast<std::size_t>(look.every) != 0 && label.weekday.isEmpty())
        return std::nullopt;
    // The last label sits above its line so that it is not cut off at the bottom.
    const bool last = index + 1 == m_labels.size();
    return last ? label.y - look.lineHeight : label.y - look.lineHeight / 2;
}

std::optional<std::pair<double, double>> RulerHoursView::labelSpan(double y) const
{
    const Look& shown = look();
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        const auto top = shownTop(i, shown);
        if (!top || y < *top || y > *top + shown.lineHeight)
            continue;
        const double right = width() - 4;
        return std::pair(right - QFontMetricsF(shown.timeFont).horizontalAdvance(m_labels[i].time),
                         right);
    }
    return std::nullopt;
}

void RulerHoursView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const Look& shown = look();
    for (std::size_t i = 0; i < m_labels.size(); ++i) {
        const auto& label = m_labels[i];
        const auto top = shownTop(i, shown);
        if (!top)
            continue;
        painter.setFont(shown.timeFont);
        painter.setPen(m_content.isPrimary ? palette().color(QPalette::Text)
                                           : CanvasStyle::secondaryText(palette()));
        painter.drawText(QRectF(0, *top, width() - 4, shown.lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, label.time);
        if (!label.weekday.isEmpty() && i + 1 != m_labels.size()) {
            painter.setFont(shown.dayFont);
            painter.setPen(palette().color(QPalette::Highlight));
            painter.drawText(QRectF(0, *top + shown.lineHeight - 1, width() - 4, shown.lineHeight),
                             Qt::AlignRight | Qt::AlignTop, label.weekday);
        }
    }
}

}  // namespace nelvo
