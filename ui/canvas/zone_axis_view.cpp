#include "ui/canvas/zone_axis_view.h"

#include "app/availability_model.h"
#include "kit/canvas/ruler_drag_rules.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"
#include "ui/canvas/motion.h"
#include "ui/canvas/ruler_chrome.h"
#include "ui/canvas/ruler_hours_view.h"
#include "ui/canvas/ruler_name_view.h"
#include "ui/canvas/shared_cutoff_handle.h"
#include "ui/canvas/zone_names_row.h"

#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace nelvo {

namespace {

constexpr double dragThreshold = 3;

RulerDragRules::Layout layoutFor(int count, double axisHeight)
{
    return {count, CanvasStyle::rulerWidth, CanvasStyle::rulerSpacing, axisHeight};
}

}  // namespace

ZoneAxisView::ZoneAxisView(AvailabilityModel& model, ZoneNamesRow& names, QWidget* parent)
    : QWidget(parent), m_model(model), m_names(names), m_content(new QWidget(this)),
      m_startHandle(new SharedCutoffHandle(WindowEdge::start, m_content)),
      m_endHandle(new SharedCutoffHandle(WindowEdge::end, m_content))
{
    setObjectName(QStringLiteral("tour.zones"));
    m_startHandle->setObjectName(QStringLiteral("tour.hours"));
    for (auto* handle : {m_startHandle, m_endHandle}) {
        const WindowEdge edge = handle->edge();
        connect(handle, &CutoffBarView::dragged, this,
                [this, edge](double y) { dragSharedEdge(edge, y); });
        connect(handle, &CutoffBarView::dragEnded, this, [this] { m_model.endEdgeDrag(); });
        connect(handle, &CutoffBarView::nudged, this,
                [this, edge](int delta) { m_model.nudgeEdge(edge, delta, std::nullopt); });
    }
    connect(&m_model, &AvailabilityModel::settingsChanged, this, &ZoneAxisView::rebuild);
    connect(&m_model, &AvailabilityModel::zoneChanged, this, &ZoneAxisView::rebuild);
    rebuild();
}

int ZoneAxisView::widthFor(int count)
{
    using namespace CanvasStyle;
    return axisPadding + count * (rulerWidth + rulerSpacing) + handleGutter;
}

SharedCutoffHandle* ZoneAxisView::handle(WindowEdge edge) const
{
    return edge == WindowEdge::start ? m_startHandle : m_endHandle;
}

void ZoneAxisView::dragSharedEdge(WindowEdge edge, double y)
{
    m_model.beginEdgeDrag();
    m_model.setSharedEdge(edge, m_geometry.minutes(y));
}

void ZoneAxisView::rebuild()
{
    const auto& zones = m_model.settings().zones;
    const int count = static_cast<int>(zones.size());
    // A ruler may be dropped from inside its own menu or gesture: it goes once that returns.
    while (static_cast<int>(m_rulers.size()) > count) {
        m_rulers.back()->hide();
        m_rulers.back()->deleteLater();
        m_rulers.pop_back();
    }
    while (static_cast<int>(m_rulers.size()) < count) {
        const int index = static_cast<int>(m_rulers.size());
        auto* ruler = new RulerChrome(m_content);
        connect(ruler, &RulerChrome::pressed, this,
                [this, index](QPointF g) { pressRuler(index, g); });
        connect(ruler, &RulerChrome::moved, this, &ZoneAxisView::moveRuler);
        connect(ruler, &RulerChrome::released, this, &ZoneAxisView::releaseRuler);
        connect(ruler, &RulerChrome::removeRequested, this, [this, ruler, index] {
            const std::string id = ruler->id();
            const bool keyboard = ruler->hasFocus();
            m_model.removeZone(id);
            if (keyboard)
                focusRuler(index);
        });
        connect(ruler, &RulerChrome::makeFirstRequested, this, [this, ruler] {
            const std::string id = ruler->id();
            const bool keyboard = ruler->hasFocus();
            m_model.moveZone(id, 0);
            if (keyboard)
                focusRuler(0);
        });
        connect(ruler, &RulerChrome::moveRequested, this, [this, ruler, index](int delta) {
            const std::string id = ruler->id();
            m_model.moveZone(id, index + delta);
            focusRuler(index + delta);
        });
        connect(ruler, &RulerChrome::renameRequested, this, [this, index] {
            if (index < static_cast<int>(m_names.names().size()))
                m_names.names()[static_cast<std::size_t>(index)]->beginRename();
        });
        connect(ruler, &RulerChrome::hovered, this, [this, ruler](bool inside) {
            if (inside)
                m_interaction.hoveredRulerID = ruler->id();
            else if (m_interaction.hoveredRulerID == ruler->id())
                m_interaction.hoveredRulerID.reset();
        });
        ruler->show();
        m_rulers.push_back(ruler);
    }
    m_names.setCount(count);
    for (int i = 0; i < count; ++i) {
        const auto& entry = zones[static_cast<std::size_t>(i)];
        const QString name = QString::fromStdString(entry.displayName());
        const bool isPrimary = Settings::zonesMatch(entry.id, m_model.zone().id());
        m_rulers[static_cast<std::size_t>(i)]->setRuler(entry.id, name, isPrimary, i, count);
        auto* nameView = m_names.names()[static_cast<std::size_t>(i)];
        nameView->setRuler(entry.id, name,
                           QString::fromStdString(entry.label.value_or(std::string())), isPrimary);
        nameView->disconnect(this);
        connect(nameView, &RulerNameView::pressed, this,
                [this, i](QPointF g) { pressRuler(i, g); });
        connect(nameView, &RulerNameView::moved, this, &ZoneAxisView::moveRuler);
        connect(nameView, &RulerNameView::released, this, &ZoneAxisView::releaseRuler);
        connect(nameView, &RulerNameView::renamed, this, [this, nameView](const QString& label) {
            const std::string id = nameView->id();
            m_model.renameZone(id, label.toStdString());
        });
        connect(nameView, &RulerNameView::renameFinished, this, [this, i] { focusRuler(i); });
    }
    m_interaction.count = count;
    m_interaction.drag.reset();
    m_press.reset();
    layoutRulers();
    updateHours();
    placeHandles();
    Q_EMIT rulerCountChanged(count);
}

void ZoneAxisView::focusRuler(int index)
{
    // After a removal the keyboard goes to the ruler that took the place, else the last one.
    if (m_rulers.empty())
        return;
    const int at = std::clamp(index, 0, static_cast<int>(m_rulers.size()) - 1);
    m_rulers[static_cast<std::size_t>(at)]->setFocus(Qt::OtherFocusReason);
}

void ZoneAxisView::setGeometryState(const ColumnGeometry& geometry, Date firstDay, double offset)
{
    const bool hoursChanged = !(geometry == m_geometry) || firstDay != m_firstDay;
    m_geometry = geometry;
    m_firstDay = firstDay;
    m_offset = offset;
    m_content->setGeometry(0, static_cast<int>(-std::lround(offset)), width(),
                           static_cast<int>(std::ceil(geometry.contentHeight())));
    layoutRulers();
    if (hoursChanged)
        updateHours();
    placeHandles();
}

void ZoneAxisView::resizeEvent(QResizeEvent*)
{
    m_interaction.axisHeight = height();
    m_content->resize(width(), m_content->height());
    layoutRulers();
    placeHandles();
}

void ZoneAxisView::layoutRulers()
{
    using namespace CanvasStyle;
    const int pitch = rulerWidth + rulerSpacing;
    for (int i = 0; i < static_cast<int>(m_rulers.size()); ++i) {
        auto* ruler = m_rulers[static_cast<std::size_t>(i)];
        QPoint at(axisPadding + i * pitch, 0);
        if (m_interaction.drag && m_interaction.drag->index == i)
            at += m_interaction.drag->translation.toPoint();
        ruler->setGeometry(QRect(at, QSize(rulerWidth, m_content->height())));
        ruler->setVisibleTop(static_cast<int>(std::lround(m_offset)) - at.y());
    }
}

void ZoneAxisView::updateHours()
{
    const auto& zones = m_model.settings().zones;
    for (std::size_t i = 0; i < m_rulers.size() && i < zones.size(); ++i) {
        RulerHoursView::Content content;
        content.zone = zones[i].zone();
        content.primary = m_model.zone();
        content.day = m_firstDay;
        content.geometry = m_geometry;
        content.use24Hour = m_model.settings().use24Hour;
        content.isPrimary = m_rulers[i]->isPrimary();
        m_rulers[i]->hours()->setContent(content);
    }
}

void ZoneAxisView::placeHandles()
{
    const auto& window = m_model.settings().window;
    const auto start = window.startMinutes;
    const auto end = window.endMinutes + (window.endMinutes <= start ? 1440 : 0);
    const bool use24Hour = m_model.settings().use24Hour;
    m_startHandle->setState(start, CanvasText::timeLabel(start, use24Hour), false);
    m_endHandle->setState(window.endMinutes, CanvasText::timeLabel(window.endMinutes, use24Hour),
                          false);
    m_startHandle->place(m_geometry.y(static_cast<double>(start)), 2, width() - 4, false);
    m_endHandle->place(m_geometry.y(static_cast<double>(end)), 2, width() - 4, false);
    // A handle at an hour would strike through the rulers' labels of that hour.
    for (SharedCutoffHandle* handle : {m_startHandle, m_endHandle}) {
        std::vector<std::pair<double, double>> gaps;
        for (const auto* ruler : m_rulers) {
            const RulerHoursView* hours = ruler->hours();
            const QPointF at = hours->mapTo(m_content, QPointF(0, 0));
            if (const auto span = hours->labelSpan(handle->centreY() - at.y()))
                gaps.emplace_back(at.x() + span->first - handle->x(),
                                  at.x() + span->second - handle->x());
        }
        std::sort(gaps.begin(), gaps.end());
        handle->setGaps(std::move(gaps));
    }
    m_startHandle->raise();
    m_endHandle->raise();
}

void ZoneAxisView::pressRuler(int index, QPointF global)
{
    if (index >= static_cast<int>(m_rulers.size()))
        return;
    if (m_spring)
        m_spring->stop();
    m_interaction.drag.reset();
    m_press = Press{index, global, mapFromGlobal(global).y()};
}

void ZoneAxisView::setTranslation(QPointF translation)
{
    if (!m_interaction.drag)
        return;
    m_interaction.drag->translation = translation;
    m_names.setDragOffset(m_interaction.drag->index, translation.x());
    layoutRulers();
}

void ZoneAxisView::moveRuler(QPointF global)
{
    if (!m_press)
        return;
    const QPointF translation = global - m_press->global;
    if (!m_interaction.drag) {
        if (std::hypot(translation.x(), translation.y()) < dragThreshold)
            return;
        auto* ruler = m_rulers[static_cast<std::size_t>(m_press->index)];
        m_interaction.drag = AxisInteraction::RulerDrag{
            ruler->id(), m_press->index, ruler->isPrimary(), m_press->grabY, {}};
        ruler->setLifted(true);
        ruler->raise();
        m_startHandle->raise();
        m_endHandle->raise();
    }
    setTranslation(translation);
}

void ZoneAxisView::releaseRuler(QPointF global)
{
    if (!m_interaction.drag) {
        m_press.reset();
        return;
    }
    moveRuler(global);
    const auto drag = *m_interaction.drag;
    const QPointF translation = drag.translation;
    m_press.reset();
    const auto outcome = RulerDragRules::outcome(drag.index, drag.isPrimary, translation.x(),
                                                 drag.grabY + translation.y(),
                                                 layoutFor(m_interaction.count, height()));
    using Kind = RulerDragRules::Outcome::Kind;
    if (auto* ruler = m_rulers[static_cast<std::size_t>(drag.index)])
        ruler->setLifted(false);
    switch (outcome.kind) {
    case Kind::move:
        m_interaction.drag.reset();
        m_names.setDragOffset(-1, 0);
        m_model.moveZone(drag.id, outcome.targetIndex);
        layoutRulers();
        break;
    case Kind::remove:
        m_interaction.drag.reset();
        m_names.setDragOffset(-1, 0);
        // The model removes quietly (the badge and the menu make no sound); a ruler pulled
        // off the axis is heard going.
        m_model.play(Sound::remove);
        m_model.removeZone(drag.id);
        layoutRulers();
        break;
    case Kind::cancel:
        springBack();
        break;
    }
}

void ZoneAxisView::springBack()
{
    const QPointF from = m_interaction.drag ? m_interaction.drag->translation : QPointF();
    auto finish = [this] {
        m_interaction.drag.reset();
        m_names.setDragOffset(-1, 0);
        layoutRulers();
    };
    if (!Motion::isAllowed()) {
        finish();
        return;
    }
    if (!m_spring) {
        m_spring = Motion::makeSpring(
            this, [this](const QVariant& value) { setTranslation(value.toPointF()); });
        connect(m_spring, &QVariantAnimation::finished, this, finish);
    }
    m_spring->setStartValue(from);
    m_spring->setEndValue(QPointF());
    m_spring->start();
}

}  // namespace nelvo
