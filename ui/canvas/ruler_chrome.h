#pragma once

#include <QWidget>

#include <string>

class QToolButton;

namespace nelvo {

class RulerHoursView;

// One zone's ruler on the axis: its hours, a remove badge while hovered, a context menu,
// and the pointer events of a drag, which the axis turns into a reorder or a removal. It
// takes the keyboard focus: Left and Right move it, Home makes it first, Delete removes it
// and F2 or Enter renames it; assistive technologies get the same as named actions.
class RulerChrome : public QWidget {
    Q_OBJECT

public:
    explicit RulerChrome(QWidget* parent);

    // `index` of `count`: where the ruler stands, which decides the moves it offers.
    void setRuler(const std::string& id, const QString& name, bool isPrimary, int index, int count);
    const std::string& id() const { return m_id; }
    bool isPrimary() const { return m_isPrimary; }
    bool canMove(int delta) const;

    // What the keys, the menu and assistive technologies ask for; the axis carries it out.
    void requestMove(int delta);
    void requestRemove();
    void requestMakeFirst();
    void requestRename();
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
    // To `delta` places later (positive) or earlier.
    void moveRequested(int delta);
    void renameRequested();
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
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void placeBadge();

    std::string m_id;
    bool m_isPrimary = false;
    int m_index = 0;
    int m_count = 1;
    bool m_hovering = false;
    bool m_lifted = false;
    bool m_pressed = false;
    int m_visibleTop = 0;
    RulerHoursView* m_hours;
    QToolButton* m_badge;
};

}  // namespace nelvo
