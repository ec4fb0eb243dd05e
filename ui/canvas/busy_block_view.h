#pragma once

#include <QWidget>

namespace nelvo {

// Busy time of a day, cut to the visible hours. Shows no event data: only that the time is
// taken. Lets the pointer through to the column.
class BusyBlockView : public QWidget {
    Q_OBJECT

public:
    explicit BusyBlockView(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace nelvo
