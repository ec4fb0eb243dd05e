#pragma once

#include "ui/canvas/cutoff_bar_view.h"

namespace nelvo {

// The shared start or end of availability, every day: a handle on the zone axis that drags,
// nudges and ends drags through the model's shared-edge operations. Always orange.
class SharedCutoffHandle : public CutoffBarView {
    Q_OBJECT

public:
    SharedCutoffHandle(WindowEdge edge, QWidget* parent);

protected:
    QColor barColour() const override;
};

}  // namespace nelvo
