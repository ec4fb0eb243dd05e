#pragma once

#include "ui/tour/tour_anchor.h"

#include <QPointer>
#include <QWidget>

class QTimer;

namespace nelvo {

// A rounded bubble floating inside a window, its arrow pointing at a control found by
// objectName. It follows the control as the window changes, and sits in the window's upper
// middle while the control is missing, hidden or scrolled away.
class CalloutBubble : public QWidget {
    Q_OBJECT

public:
    explicit CalloutBubble(QWidget* host);

    void setAnchorName(const QString& objectName);
    QString anchorName() const { return m_anchorName; }
    // The control pointed at, or none while the bubble floats.
    QWidget* anchorWidget() const { return m_anchor; }
    TourAnchor::ArrowEdge arrowEdge() const { return m_placement.arrowEdge; }

    // Shows the bubble where it belongs and keeps it there.
    void present();
    void reposition();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QString m_anchorName;
    QPointer<QWidget> m_anchor;
    TourAnchor::Placement m_placement;
    QTimer* m_follow;
};

}  // namespace nelvo
