#include "ui/canvas/day_column_view.h"

#include "app/availability_model.h"
#include "kit/core/availability_engine.h"
#include "kit/core/calendar.h"
#include "kit/model/busy_classifier.h"
#include "ui/canvas/busy_block_view.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"
#include "ui/canvas/cutoff_bar_view.h"
#include "ui/canvas/free_band_view.h"
#include "ui/canvas/freed_mark_view.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace nelvo {

namespace {
constexpr int bandInset = 6;
}

DayColumnView::DayColumnView(AvailabilityModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_calendar(std::make_unique<Calendar>(TimeZone::utc())),
      m_startBar(new CutoffBarView(WindowEdge::start, this)),
      m_endBar(new CutoffBarView(WindowEdge::end, this))
{
    for (auto* bar : {m_startBar, m_endBar}) {
        const WindowEdge edge = bar->edge();
        connect(bar, &CutoffBarView::dragged, this,
                [this, edge](double y) { dragDayEdge(edge, y); });
        connect(bar, &CutoffBarView::dragEnded, this, [this] { m_model.endEdgeDrag(); });
        connect(bar, &CutoffBarView::doubleClicked, this, [this, edge] {
            const std::string key = m_day.id;
            m_model.clearDayEdge(edge, key);
        });
        connect(bar, &CutoffBarView::nudged, this, [this, edge](int delta) {
            const std::string key = m_day.id;
            m_model.nudgeEdge(edge, delta, key);
        });
    }
    // Busy blocks name their calendars: a renamed calendar leaves the day's data as it was.
    connect(&m_model, &AvailabilityModel::calendarsChanged, this, [this] {
        if (m_hasDay)
            layoutChildren(false);
    });
}

DayColumnView::~DayColumnView() = default;

void DayColumnView::dragDayEdge(WindowEdge edge, double y)
{
    const std::string key = m_day.id;
    m_model.beginEdgeDrag();
    m_model.setDayEdge(edge, m_context.geometry.minutes(y), key);
}

CutoffBarView* DayColumnView::bar(WindowEdge edge) const
{
    return edge == WindowEdge::start ? m_startBar : m_endBar;
}

std::vector<FreeBandView*> DayColumnView::bands() const
{
    return {m_bands.begin(), m_bands.begin() + static_cast<std::ptrdiff_t>(m_bandCount)};
}

std::vector<BusyBlockView*> DayColumnView::busyBlocks() const
{
    return {m_busy.begin(), m_busy.begin() + static_cast<std::ptrdiff_t>(m_busyCount)};
}

std::vector<BusyBlockView*> DayColumnView::heldBlocks() const
{
    std::vector<BusyBlockView*> shown;
    for (auto* block : m_held)
        if (!block->isHidden())
            shown.push_back(block);
    return shown;
}

std::vector<FreedMarkView*> DayColumnView::freedMarks() const
{
    return {m_freed.begin(), m_freed.begin() + static_cast<std::ptrdiff_t>(m_freedCount)};
}

double DayColumnView::yOf(Date date) const
{
    return CanvasStyle::topInset + m_context.geometry.axis(m_day.date, *m_calendar).y(date);
}

Date DayColumnView::dateAt(double y) const
{
    return m_context.geometry.axis(m_day.date, *m_calendar).date(y - CanvasStyle::topInset);
}

QString DayColumnView::bandRange(const Slot& slot) const
{
    return CanvasText::range(slot, m_context.zone, m_day.date, m_context.zone, m_context.use24Hour);
}

QStringList DayColumnView::bandOtherZones(const Slot& slot) const
{
    QStringList lines;
    for (const auto& [name, zone] : m_context.otherZones)
        lines << name + QStringLiteral("  ") +
                     CanvasText::range(slot, zone, m_day.date, m_context.zone, m_context.use24Hour);
    return lines;
}

void DayColumnView::setDay(const DayData& day, const ColumnContext& context, bool animated)
{
    if (m_hasDay && day == m_day && context == m_context)
        return;
    if (!m_hasDay || !(context.zone == m_context.zone))
        m_calendar = std::make_unique<Calendar>(context.zone);
    // The column's own drawing (background, hour lines, message) follows these alone; a
    // drag moves only its children, which repaint what they leave and enter.
    const bool looksDifferent =
        !m_hasDay || !(context == m_context) || day.isExcluded != m_day.isExcluded ||
        day.isToday != m_day.isToday || day.slots.empty() != m_day.slots.empty();
    m_hasDay = true;
    m_day = day;
    m_context = context;
    setAccessibleName(CanvasText::dayTitle(day.date, context.zone) +
                      (day.isExcluded ? QStringLiteral(", left out") : QString()));
    layoutChildren(animated);
    if (looksDifferent)
        update();
}

void DayColumnView::resizeEvent(QResizeEvent*)
{
    if (m_hasDay)
        layoutChildren(false);
}

FreeBandView* DayColumnView::makeBand()
{
    auto* band = new FreeBandView(this);
    connect(band, &FreeBandView::trimmed, this, [this, band](WindowEdge edge, double y) {
        const Slot slot = band->content().slot;
        m_model.trimBand(slot, edge, dateAt(y));
    });
    connect(band, &FreeBandView::nudged, this, [this, band](WindowEdge edge, int minutes) {
        const Slot slot = band->content().slot;
        const Date from = edge == WindowEdge::start ? slot.start : slot.end;
        m_model.trimBand(slot, edge, from.addingSeconds(minutes * 60.0));
    });
    connect(band, &FreeBandView::restoreRequested, this, [this, band] {
        const Slot slot = band->content().slot;
        m_model.restoreBand(slot);
    });
    connect(band, &FreeBandView::dayEdgeDragged, this,
            [this](WindowEdge edge, double y) { dragDayEdge(edge, y); });
    connect(band, &FreeBandView::dayEdgeDragEnded, this, [this] { m_model.endEdgeDrag(); });
    return band;
}

std::int64_t DayColumnView::minuteOfDay(Date date) const
{
    const auto parts = m_calendar->parts(date);
    return static_cast<std::int64_t>(parts.hour) * 60 + parts.minute;
}

QRect DayColumnView::blockRect(Date start, Date end, int contentWidth) const
{
    const double top = yOf(start);
    const double bottom = yOf(end);
    return {bandInset + 10, static_cast<int>(std::lround(top)), contentWidth - 10,
            std::max(2, static_cast<int>(std::lround(bottom - top)))};
}

QString DayColumnView::calendarName(const std::string& calendarID) const
{
    for (const auto& calendar : m_model.calendars())
        if (calendar.id == calendarID)
            return QString::fromStdString(calendar.title);
    return {};
}

QString DayColumnView::reasonLine(std::size_t event) const
{
    const QString calendar = calendarName(m_day.events[event].calendarID);
    const QString reason = QString::fromLatin1(BusyClassifier::reasonText(m_day.reasons[event]));
    return calendar.isEmpty() ? reason : calendar + QStringLiteral(": ") + reason;
}

bool DayColumnView::layoutBusy(bool showContent, int contentWidth)
{
    bool grew = false;
    // Time taken out lies beneath meetings: where the two overlap, the meeting shows.
    const std::size_t heldCount = showContent ? m_day.held.size() : 0;
    while (m_held.size() < heldCount) {
        auto* block = new BusyBlockView(BusyBlockView::Kind::held, this);
        block->lower();
        connect(block, &BusyBlockView::restoreRequested, this, [this, block] {
            const auto at = static_cast<std::size_t>(
                std::find(m_held.begin(), m_held.end(), block) - m_held.begin());
            if (at < m_day.held.size())
                m_model.restoreBand(Slot{m_day.held[at].start, m_day.held[at].end});
        });
        m_held.push_back(block);
        grew = true;
    }
    for (std::size_t i = 0; i < m_held.size(); ++i) {
        auto* block = m_held[i];
        if (i >= heldCount) {
            block->hide();
            continue;
        }
        const BusyInterval& held = m_day.held[i];
        const QRect rect = blockRect(held.start, held.end, contentWidth);
        if (block->geometry() != rect)
            block->setGeometry(rect);
        block->setTexts(QStringLiteral("Taken out, ") +
                            CanvasText::spokenRange(minuteOfDay(held.start), minuteOfDay(held.end),
                                                    m_context.use24Hour),
                        {QString::fromLatin1(CanvasText::heldReason)});
        block->show();
    }

    m_busyCount = showContent ? m_day.busy.size() : 0;
    while (m_busy.size() < m_busyCount) {
        m_busy.push_back(new BusyBlockView(BusyBlockView::Kind::meeting, this));
        grew = true;
    }
    for (std::size_t i = 0; i < m_busy.size(); ++i) {
        auto* block = m_busy[i];
        if (i >= m_busyCount) {
            block->hide();
            continue;
        }
        const BusyInterval& busy = m_day.busy[i];
        const QRect rect = blockRect(busy.start, busy.end, contentWidth);
        if (block->geometry() != rect)
            block->setGeometry(rect);
        // Each calendar and rule once: a block of several meetings says every reason, briefly.
        QStringList why;
        for (std::size_t e = 0; e < m_day.events.size(); ++e) {
            const CalendarEvent& event = m_day.events[e];
            if (BusyClassifier::counts(m_day.reasons[e]) && event.start < busy.end &&
                busy.start < event.end) {
                const QString line = reasonLine(e);
                if (!why.contains(line))
                    why << line;
            }
        }
        block->setTexts(CanvasText::busyName(minuteOfDay(busy.start), minuteOfDay(busy.end),
                                             m_context.use24Hour),
                        why);
        block->show();
    }
    return grew;
}

bool DayColumnView::layoutFreed(bool showContent, int contentWidth)
{
    bool grew = false;
    m_freedCount = 0;
    const bool anyFreed = std::find(m_day.reasons.begin(), m_day.reasons.end(),
                                    BusyClassifier::BusyReason::freed) != m_day.reasons.end();
    const auto visible = anyFreed ? m_model.visibleRange(m_day.date) : std::pair<Date, Date>{};
    for (std::size_t e = 0; showContent && anyFreed && e < m_day.events.size(); ++e) {
        const CalendarEvent& event = m_day.events[e];
        if (m_day.reasons[e] != BusyClassifier::BusyReason::freed || event.isAllDay)
            continue;
        const Date start = std::max(event.start, visible.first);
        const Date end = std::min(event.end, visible.second);
        if (!(start < end))
            continue;
        if (m_freed.size() <= m_freedCount) {
            auto* mark = new FreedMarkView(this);
            connect(mark, &FreedMarkView::busyAgainRequested, this,
                    [this](const CalendarEvent& freed) { m_model.toggleMovable(freed); });
            m_freed.push_back(mark);
            grew = true;
        }
        auto* mark = m_freed[m_freedCount++];
        const QRect span = blockRect(start, end, contentWidth);
        const int w = FreedMarkView::widthFor(font());
        const QRect rect(bandInset + contentWidth - w - 2, span.top(), w,
                         std::max(span.height(), FreedMarkView::minimumHeightFor(font())));
        if (mark->geometry() != rect)
            mark->setGeometry(rect);
        mark->setEvent(event,
                       QStringLiteral("Freed, ") + CanvasText::spokenRange(minuteOfDay(start),
                                                                           minuteOfDay(end),
                                                                           m_context.use24Hour),
                       reasonLine(e));
        mark->show();
    }
    for (std::size_t i = m_freedCount; i < m_freed.size(); ++i)
        m_freed[i]->hide();
    return grew;
}

void DayColumnView::layoutChildren(bool animated)
{
    const bool showContent = !m_day.isExcluded;
    const int contentWidth = width() - 2 * bandInset;

    const bool grew = layoutBusy(showContent, contentWidth);
    const bool grewFreed = layoutFreed(showContent, contentWidth);
    std::vector<QRect> marks;
    for (std::size_t i = 0; i < m_freedCount; ++i)
        marks.push_back(m_freed[i]->geometry());

    m_bandCount = showContent ? m_day.slots.size() : 0;
    const std::size_t bandsBefore = m_bands.size();
    while (m_bands.size() < m_bandCount)
        m_bands.push_back(makeBand());
    const auto window = AvailabilityEngine::windowBounds(m_day.date, m_day.window, *m_calendar);
    const std::pair<Date, Date> windowPair =
        window ? std::pair{window->first, window->second} : std::pair{Date{}, Date{}};
    for (std::size_t i = 0; i < m_bands.size(); ++i) {
        auto* band = m_bands[i];
        if (i >= m_bandCount) {
            band->hide();
            continue;
        }
        const Slot slot = m_day.slots[i];
        FreeBandView::Content content;
        content.slot = slot;
        content.window = windowPair;
        content.range = bandRange(slot);
        content.otherZones = bandOtherZones(slot);
        content.top = yOf(slot.start);
        content.bottom = yOf(slot.end);
        content.x = bandInset;
        content.width = contentWidth;
        content.keepClear = marks;
        const std::string key = m_day.id;
        const auto reach = [this, slot, key] {
            const auto r = m_model.bandReach(slot, key);
            return std::pair{yOf(r.top), yOf(r.bottom)};
        };
        const auto trim = [this, slot](WindowEdge edge, double y) {
            FreeBandView::TrimOutcome outcome;
            const auto cut = m_model.trimmedEdge(slot, edge, dateAt(y));
            if (!cut) {
                outcome.range = QString::fromLatin1(CanvasText::tooShortToOffer);
                return outcome;
            }
            const Slot kept =
                edge == WindowEdge::start ? Slot{*cut, slot.end} : Slot{slot.start, *cut};
            outcome.edgeY = yOf(*cut);
            outcome.range = bandRange(kept);
            outcome.otherZones = bandOtherZones(kept);
            return outcome;
        };
        band->setContent(content, reach, trim);
        band->show();
    }

    // A freed meeting's trace lies over the band that took its time, under the bars.
    if (grewFreed || grew || m_bands.size() > bandsBefore)
        for (std::size_t i = 0; i < m_freedCount; ++i)
            m_freed[i]->raise();

    // Overnight windows end on the next day, below midnight.
    const auto start = m_day.window.startMinutes;
    const auto end = m_day.window.endMinutes + (m_day.window.endMinutes <= start ? 1440 : 0);
    const auto& geometry = m_context.geometry;
    m_startBar->setState(start, CanvasText::timeLabel(start, m_context.use24Hour),
                         m_day.startOverridden);
    m_endBar->setState(m_day.window.endMinutes,
                       CanvasText::timeLabel(m_day.window.endMinutes, m_context.use24Hour),
                       m_day.endOverridden);
    m_startBar->place(geometry.y(static_cast<double>(start)), 0, width(), animated);
    m_endBar->place(geometry.y(static_cast<double>(end)), 0, width(), animated);
    m_startBar->setVisible(showContent);
    m_endBar->setVisible(showContent);
    m_startBar->raise();
    m_endBar->raise();
}

void DayColumnView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colours = palette();
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_day.isExcluded ? CanvasStyle::leftOutBackground(colours)
                                      : CanvasStyle::columnBackground(colours, m_day.isToday));
    painter.drawRoundedRect(box, 8, 8);

    // Hour lines; at small zooms every other one.
    const auto& geometry = m_context.geometry;
    const int every = geometry.pointsPerHour < 24 ? 2 : 1;
    painter.setPen(QPen(CanvasStyle::hourLine(colours), 1));
    for (int hour = geometry.hours.firstHour; hour <= geometry.hours.lastHour; hour += every) {
        const double y = std::round(geometry.y(hour * 60.0)) + 0.5;
        painter.drawLine(QPointF(4, y), QPointF(width() - 4, y));
    }

    QString message;
    if (m_day.isExcluded)
        message = QString::fromLatin1(CanvasText::leftOutText);
    else if (m_day.slots.empty())
        message = QString::fromLatin1(m_day.isToday ? CanvasText::noneLeftToday
                                                    : CanvasText::noneThisDay);
    if (message.isEmpty())
        return;
    painter.setPen(CanvasStyle::secondaryText(colours));
    painter.setFont(CanvasStyle::font(font(), m_day.isExcluded ? -1.5 : -0.5));
    // Near the top of the visible hours, where the eye starts.
    const double top = std::max(12.0, geometry.y(geometry.hours.firstHour * 60.0 + 60));
    painter.drawText(QRectF(8, top, width() - 16, 160),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, message);
}

}  // namespace nelvo
