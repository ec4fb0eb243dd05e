#include "ui/canvas/canvas_accessibility.h"

#include "ui/canvas/busy_block_view.h"
#include "ui/canvas/canvas_text.h"
#include "ui/canvas/cutoff_bar_view.h"
#include "ui/canvas/free_band_view.h"
#include "ui/canvas/freed_mark_view.h"
#include "ui/canvas/ruler_chrome.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <cmath>

namespace nelvo::CanvasAccessibility {

namespace {

class BarInterface : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit BarInterface(CutoffBarView* bar) : QAccessibleWidget(bar, QAccessible::Slider) {}

    CutoffBarView* bar() const { return static_cast<CutoffBarView*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // Said as a time of day ("9:00 AM"); the number underneath is the minute of the day.
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return CanvasText::spokenTime(bar()->timeLabel());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return static_cast<int>(bar()->minutes()); }
    // A value set from outside moves the edge by whole quarter hours.
    void setCurrentValue(const QVariant& value) override
    {
        const double delta = value.toDouble() - static_cast<double>(bar()->minutes());
        const auto quarters = std::lround(delta / 15.0);
        if (quarters != 0)
            bar()->nudge(static_cast<int>(quarters * 15));
    }
    QVariant maximumValue() const override { return 24 * 60 - 15; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 15; }

    QStringList actionNames() const override
    {
        QStringList names{QAccessibleActionInterface::increaseAction(),
                          QAccessibleActionInterface::decreaseAction(),
                          QAccessibleActionInterface::setFocusAction()};
        if (bar()->isOverride())
            names << QString::fromLatin1(CanvasText::followSharedAction);
        return names;
    }
    QString localizedActionDescription(const QString& name) const override
    {
        if (name == QLatin1String(CanvasText::followSharedAction))
            return name;
        return QAccessibleWidget::localizedActionDescription(name);
    }
    void doAction(const QString& name) override
    {
        if (name == QAccessibleActionInterface::increaseAction())
            bar()->nudge(15);
        else if (name == QAccessibleActionInterface::decreaseAction())
            bar()->nudge(-15);
        else if (name == QLatin1String(CanvasText::followSharedAction))
            bar()->followShared();
        else
            QAccessibleWidget::doAction(name);
    }
};

// A zone's ruler: an item of the ordered list of rulers, with the edits of its menu, its
// badge and its drag as named actions.
class RulerInterface : public QAccessibleWidget {
public:
    explicit RulerInterface(RulerChrome* ruler) : QAccessibleWidget(ruler, QAccessible::ListItem) {}

    RulerChrome* ruler() const { return static_cast<RulerChrome*>(widget()); }

    QStringList actionNames() const override
    {
        QStringList names;
        if (ruler()->canMove(-1))
            names << QString::fromLatin1(CanvasText::makeFirst)
                  << QString::fromLatin1(CanvasText::moveLeft);
        if (ruler()->canMove(1))
            names << QString::fromLatin1(CanvasText::moveRight);
        if (!ruler()->isPrimary())
            names << QString::fromLatin1(CanvasText::remove);
        names << QString::fromLatin1(CanvasText::rename)
              << QAccessibleActionInterface::setFocusAction();
        return names;
    }
    QString localizedActionDescription(const QString& name) const override
    {
        if (name == QAccessibleActionInterface::setFocusAction())
            return QAccessibleWidget::localizedActionDescription(name);
        return name;
    }
    void doAction(const QString& name) override
    {
        if (name == QLatin1String(CanvasText::makeFirst))
            ruler()->requestMakeFirst();
        else if (name == QLatin1String(CanvasText::moveLeft))
            ruler()->requestMove(-1);
        else if (name == QLatin1String(CanvasText::moveRight))
            ruler()->requestMove(1);
        else if (name == QLatin1String(CanvasText::remove))
            ruler()->requestRemove();
        else if (name == QLatin1String(CanvasText::rename))
            ruler()->requestRename();
        else
            QAccessibleWidget::doAction(name);
    }
};

class BandInterface : public QAccessibleWidget {
public:
    explicit BandInterface(FreeBandView* band) : QAccessibleWidget(band, QAccessible::Button) {}

    FreeBandView* band() const { return static_cast<FreeBandView*>(widget()); }

    QStringList actionNames() const override
    {
        return {QString::fromLatin1(CanvasText::trimStartAction),
                QString::fromLatin1(CanvasText::trimEndAction),
                QString::fromLatin1(CanvasText::restoreAction)};
    }
    QString localizedActionDescription(const QString& name) const override { return name; }
    void doAction(const QString& name) override
    {
        if (name == QLatin1String(CanvasText::trimStartAction))
            band()->trimStart();
        else if (name == QLatin1String(CanvasText::trimEndAction))
            band()->trimEnd();
        else if (name == QLatin1String(CanvasText::restoreAction))
            band()->restore();
    }
};

// A freed meeting's trace: a button whose press makes the meeting busy again.
class FreedMarkInterface : public QAccessibleWidget {
public:
    explicit FreedMarkInterface(FreedMarkView* mark) : QAccessibleWidget(mark, QAccessible::Button)
    {
    }

    FreedMarkView* mark() const { return static_cast<FreedMarkView*>(widget()); }

    QStringList actionNames() const override
    {
        return {QAccessibleActionInterface::pressAction(),
                QString::fromLatin1(CanvasText::makeBusyAgain),
                QAccessibleActionInterface::setFocusAction()};
    }
    QString localizedActionDescription(const QString& name) const override
    {
        if (name == QLatin1String(CanvasText::makeBusyAgain))
            return name;
        return QAccessibleWidget::localizedActionDescription(name);
    }
    void doAction(const QString& name) override
    {
        if (name == QAccessibleActionInterface::pressAction() ||
            name == QLatin1String(CanvasText::makeBusyAgain))
            mark()->makeBusyAgain();
        else
            QAccessibleWidget::doAction(name);
    }
};

// Time taken out of a band: it can be given back.
class HeldInterface : public QAccessibleWidget {
public:
    explicit HeldInterface(BusyBlockView* block) : QAccessibleWidget(block, QAccessible::Grouping)
    {
    }

    QStringList actionNames() const override
    {
        return {QString::fromLatin1(CanvasText::restoreAction)};
    }
    QString localizedActionDescription(const QString& name) const override { return name; }
    void doAction(const QString& name) override
    {
        if (name == QLatin1String(CanvasText::restoreAction))
            static_cast<BusyBlockView*>(widget())->restore();
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (auto* mark = qobject_cast<FreedMarkView*>(object))
        return new FreedMarkInterface(mark);
    if (auto* block = qobject_cast<BusyBlockView*>(object);
        block && block->kind() == BusyBlockView::Kind::held)
        return new HeldInterface(block);
    if (auto* bar = qobject_cast<CutoffBarView*>(object))
        return new BarInterface(bar);
    if (auto* band = qobject_cast<FreeBandView*>(object))
        return new BandInterface(band);
    if (auto* ruler = qobject_cast<RulerChrome*>(object))
        return new RulerInterface(ruler);
    return nullptr;
}

}  // namespace

void install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
}

}  // namespace nelvo::CanvasAccessibility
