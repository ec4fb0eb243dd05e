#pragma once

#include <QWidget>

namespace nelvo {

// Fades over the edges of the canvas behind which more content lies. Lets the pointer
// through.
class EdgeFadeView : public QWidget {
    Q_OBJECT

public:
    explicit EdgeFadeView(QWidget* parent);

    void setEdges(bool below, bool leading, bool trailing);
    bool below() const { return m_below; }
    bool leading() const { return m_leading; }
    bool trailing() const { return m_trailing; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_below = false;
    bool m_leading = false;
    bool m_trailing = false;
};

}  // namespace nelvo
