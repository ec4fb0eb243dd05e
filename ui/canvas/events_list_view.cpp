#include "ui/canvas/events_list_view.h"

#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace nelvo {

EventsListView::EventsListView(QWidget* parent) : QScrollArea(parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void EventsListView::setRows(const std::vector<EventRowView::Content>& rows)
{
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_rows.clear();
    for (const auto& row : rows) {
        auto* view = new EventRowView(row, content);
        connect(view, &EventRowView::actionTriggered, this, &EventsListView::actionTriggered);
        column->addWidget(view);
        m_rows.push_back(view);
    }
    if (rows.empty()) {
        auto* none = new QLabel(QStringLiteral("No events"), content);
        none->setAlignment(Qt::AlignCenter);
        none->setContentsMargins(0, 16, 0, 16);
        column->addWidget(none);
    }
    column->addStretch(1);
    // A row's own button may be what led here: the old rows go once it has returned.
    if (QWidget* old = takeWidget())
        old->deleteLater();
    setWidget(content);
}

QSize EventsListView::sizeHint() const
{
    const int rowsHeight = widget() ? widget()->sizeHint().height() : 0;
    return {340, std::clamp(rowsHeight, 60, 420)};
}

}  // namespace nelvo
