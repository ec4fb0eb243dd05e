#pragma once

#include <QStringList>
#include <QWidget>

namespace nelvo {

// Busy time of a day, cut to the visible hours: a meeting (the events that count, joined) or
// time the user took out of a free band, drawn apart so the two never look alike. It says
// why the time is busy, the calendar and the rule of each event in it, in its tooltip and
// accessible description; never a title. Presses go on to the column; double-clicking time
// taken out gives it back.
class BusyBlockView : public QWidget {
    Q_OBJECT

public:
    enum class Kind { meeting, held };

    BusyBlockView(Kind kind, QWidget* parent);

    Kind kind() const { return m_kind; }
    // The name, "Busy, 9:30 to 10:00 AM", and why, a line per calendar and rule.
    void setTexts(const QString& name, const QStringList& why);
    const QStringList& why() const { return m_why; }
    // Time taken out: its action, for the pointer, the keyboard and assistive technologies.
    void restore() { Q_EMIT restoreRequested(); }

Q_SIGNALS:
    void restoreRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Kind m_kind;
    QStringList m_why;
};

}  // namespace nelvo
