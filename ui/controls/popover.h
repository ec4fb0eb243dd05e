#pragma once

#include <QFrame>
#include <QPointer>

namespace nelvo {

// A small panel that opens inside the window, beside the control it belongs to, and goes
// away on Escape or a click elsewhere. It lives in the window rather than in a popup window
// of its own so that screen readers find it and the keyboard stays with it. It keeps only
// transient state; what it changes goes to the model at once.
class Popover : public QFrame {
    Q_OBJECT

public:
    explicit Popover(QWidget* parent = nullptr);

    // Opens below `anchor` (above it when there is no room below), kept inside the anchor's
    // window; without an anchor, in the middle of the parent's window.
    void openAt(QWidget* anchor);
    QWidget* anchor() const { return m_anchor; }

Q_SIGNALS:
    void opened();
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab and Shift+Tab go round the popover's own controls.
    bool focusNextPrevChild(bool next) override;
    // Resizes to what the contents need, wrapped text included.
    void fitToContents();

private:
    void place();

    QPointer<QWidget> m_anchor;
};

}  // namespace nelvo
