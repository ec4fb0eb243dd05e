#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "app/day_data.h"
#include "ui/canvas/column_context.h"
#endif

#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

namespace nelvo {

class AvailabilityModel;
class BusyBlockView;
class Calendar;
class CutoffBarView;
class FreeBandView;
class FreedMarkView;

// One day of the range: its busy blocks (meetings, and apart the time taken out), its free
// bands, the traces of freed meetings, its start and end bars, or, for a day left out, a
// narrow dimmed column that says so. Every gesture inside it ends in one
// model operation for this day.
class DayColumnView : public QWidget {
    Q_OBJECT

public:
    DayColumnView(AvailabilityModel& model, QWidget* parent);
    ~DayColumnView() override;

    // Takes the day and the shared context; nothing happens when both are unchanged, so the
    // columns of other days do not repaint during a drag. With `animated` the bars spring
    // to their new places.
    void setDay(const DayData& day, const ColumnContext& context, bool animated = false);
    const DayData& day() const { return m_day; }

    CutoffBarView* bar(WindowEdge edge) const;
    // The visible bands, top to bottom.
    std::vector<FreeBandView*> bands() const;
    // The meetings, top to bottom; the time taken out; the freed meetings' traces.
    std::vector<BusyBlockView*> busyBlocks() const;
    std::vector<BusyBlockView*> heldBlocks() const;
    std::vector<FreedMarkView*> freedMarks() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutChildren(bool animated);
    // Each returns whether it made new views, which then need stacking.
    bool layoutBusy(bool showContent, int contentWidth);
    bool layoutFreed(bool showContent, int contentWidth);
    std::int64_t minuteOfDay(Date date) const;
    QRect blockRect(Date start, Date end, int contentWidth) const;
    QString calendarName(const std::string& calendarID) const;
    // "Work: Accepted" for the day's event at `event`.
    QString reasonLine(std::size_t event) const;
    FreeBandView* makeBand();
    double yOf(Date date) const;
    Date dateAt(double y) const;
    // A band's texts: its range in the primary zone, and a line per other ruler.
    QString bandRange(const Slot& slot) const;
    QStringList bandOtherZones(const Slot& slot) const;
    void dragDayEdge(WindowEdge edge, double y);

    AvailabilityModel& m_model;
    DayData m_day;
    ColumnContext m_context;
    std::unique_ptr<Calendar> m_calendar;
    bool m_hasDay = false;
    CutoffBarView* m_startBar;
    CutoffBarView* m_endBar;
    std::vector<FreeBandView*> m_bands;  // a pool: the first `m_bandCount` are shown
    std::vector<BusyBlockView*> m_busy;  // likewise
    std::vector<BusyBlockView*> m_held;
    std::vector<FreedMarkView*> m_freed;
    std::size_t m_bandCount = 0;
    std::size_t m_busyCount = 0;
    std::size_t m_freedCount = 0;
};

}  // namespace nelvo
