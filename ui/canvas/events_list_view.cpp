#include "ui/canvas/events_list_view.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace nelvo {

EventsListView::EventsListView(QWidget* parent) : QScrollArea(parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The rows' buttons take the keyboard; the list scrolls to the focused one.
    setFocusPolicy(Qt::NoFocus);
}

void EventsListView::setRows(const std::vector<EventRowView::Content>& rows)
{
    // The keyboard stays on the row it was on: a screen-reader user who freed a meeting
    // hears the row's new action, not the start of the window.
    std::optional<std::size_t> focusedRow;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i]->isAncestorOf(QApplication::focusWidget()))
            focusedRow = i;
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
    if (focusedRow && !m_rows.empty()) {
        const std::size_t row = std::min(*focusedRow, m_rows.size() - 1);
        if (QToolButton* action = m_rows[row]->actionButton())
            action->setFocus(Qt::OtherFocusReason);
    }
}

QSize EventsListView::sizeHint() const
{
    const int rowsHeight = widget() ? widget()->sizeHint().height() : 0;
    return {340, std::clamp(rowsHeight, 60, 420)};
}

}  // namespace nelvo
