#pragma once

// moc stumbles on C++20 library headers; it needs none of these to read the class.
#ifndef Q_MOC_RUN
#include "kit/core/date.h"
#include "kit/core/window_overrides.h"
#include "ui/canvas/axis_interaction.h"
#include "ui/canvas/column_geometry.h"
#endif

#include <QWidget>

#include <vector>

class QVariantAnimation;

namespace nelvo {

class AvailabilityModel;
class RulerChrome;
class SharedCutoffHandle;
class ZoneNamesRow;

// The rulers left of the canvas, one per zone of the settings, with the shared start and end
// handles across them. Scrolls vertically with the canvas. Dragging a ruler reorders it or,
// off the axis, removes it; what a release does is for the drag rules to say.
class ZoneAxisView : public QWidget {
    Q_OBJECT

public:
    ZoneAxisView(AvailabilityModel& model, ZoneNamesRow& names, QWidget* parent);

    // The width the axis needs for `count` rulers and the add button.
    static int widthFor(int count);

    // The hours, the first day of the range and the vertical scroll offset of the canvas.
    void setGeometryState(const ColumnGeometry& geometry, Date firstDay, double offset);
    const AxisInteraction& interaction() const { return m_interaction; }
    const std::vector<RulerChrome*>& rulers() const { return m_rulers; }
    SharedCutoffHandle* handle(WindowEdge edge) const;

Q_SIGNALS:
    void rulerCountChanged(int count);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void updateHours();
    void placeHandles();
    void layoutRulers();
    void pressRuler(int index, QPointF global);
    void moveRuler(QPointF global);
    void releaseRuler(QPointF global);
    void springBack();
    void focusRuler(int index);
    void dragSharedEdge(WindowEdge edge, double y);
    void setTranslation(QPointF translation);

    AvailabilityModel& m_model;
    ZoneNamesRow& m_names;
    QWidget* m_content;
    std::vector<RulerChrome*> m_rulers;
    SharedCutoffHandle* m_startHandle;
    SharedCutoffHandle* m_endHandle;
    ColumnGeometry m_geometry;
    Date m_firstDay;
    double m_offset = 0;
    AxisInteraction m_interaction;
    // A press that has not moved far enough to be a drag yet.
    struct Press {
        int index = 0;
        QPointF global;
        double grabY = 0;
    };
    std::optional<Press> m_press;
    QVariantAnimation* m_spring = nullptr;
};

}  // namespace nelvo
