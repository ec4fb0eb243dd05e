#pragma once

#include <QWidget>

#include <vector>

class QToolButton;

namespace nelvo {

class RulerNameView;

// The rulers' names above the zone axis, in ruler order, ending with the add button.
class ZoneNamesRow : public QWidget {
    Q_OBJECT

public:
    explicit ZoneNamesRow(QWidget* parent);

    // Grows or shrinks to `count` name views; the caller fills them.
    void setCount(int count);
    const std::vector<RulerNameView*>& names() const { return m_names; }
    QToolButton* addButton() const { return m_add; }
    // Moves one name with its ruler while that is dragged.
    void setDragOffset(int index, double dx);

Q_SIGNALS:
    void addRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutNames();

    std::vector<RulerNameView*> m_names;
    QToolButton* m_add;
    int m_dragIndex = -1;
    double m_dragOffset = 0;
};

}  // namespace nelvo
