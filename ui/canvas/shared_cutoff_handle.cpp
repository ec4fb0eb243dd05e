#include "ui/canvas/shared_cutoff_handle.h"

#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"

namespace nelvo {

SharedCutoffHandle::SharedCutoffHandle(WindowEdge edge, QWidget* parent)
    : CutoffBarView(edge, parent)
{
    setFixedName(CanvasText::sharedHandleName(edge));
}

QColor SharedCutoffHandle::barColour() const
{
    return CanvasStyle::followingBar(palette());
}

}  // namespace nelvo
