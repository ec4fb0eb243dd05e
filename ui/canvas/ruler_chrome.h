#pragma once

#include <QWidget>

#include <string>

class QToolButton;

namespace nelvo {

class RulerHoursView;

// One zone's ruler on the axis: its hours, a remove badge while hovered, a context menu,
// and the pointer events of a drag, which the axis turns into a reorder or a removal.
class RulerChrome : public QWidget {
    Q_OBJECT

public:
    explicit RulerChrome(QWidget* parent);

    void setRuler(const std::string& id, const QString& name, bool isPrimary);
    const std::string& id() const { return m_id; }
    bool isPrimary() const { return m_isPrimary; }
    RulerHoursView* hours() const { return m_hours; }
    QToolButton* removeBadge() const { return m_badge; }
    // The badge stays at the top of the visible part of the ruler.
    void setVisibleTop(int y);
    void setLifted(bool lifted);

Q_SIGNALS:
    void pressed(QPointF global);
    void moved(QPointF global);
    void released(QPointF global);
    void removeRequested();
    void makeFirstRequested();
    void hovered(bool inside);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void placeBadge();

    std::string m_id;
    bool m_isPrimary = false;
    bool m_hovering = false;
    bool m_lifted = false;
    bool m_pressed = false;
    int m_visibleTop = 0;
    RulerHoursView* m_hours;
    QToolButton* m_badge;
};

}  // namespace nelvo
