#pragma once

#include <QFrame>
#include <QPointer>

namespace nelvo {

// A small window that opens beside the control it belongs to and goes away on Escape or a
// click elsewhere. It keeps only transient state; what it changes goes to the model at once.
class Popover : public QFrame {
    Q_OBJECT

public:
    explicit Popover(QWidget* parent = nullptr);

    // Opens below `anchor` (above it when there is no room below), kept on the anchor's
    // screen; without an anchor, in the middle of the parent's window.
    void openAt(QWidget* anchor);
    QWidget* anchor() const { return m_anchor; }

Q_SIGNALS:
    void opened();
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Where the popover goes, in global coordinates, for its current size.
    QPoint placement() const;

private:
    QPointer<QWidget> m_anchor;
};

}  // namespace nelvo
