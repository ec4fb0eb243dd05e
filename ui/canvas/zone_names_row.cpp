#include "ui/canvas/zone_names_row.h"

#include "ui/canvas/canvas_style.h"
#include "ui/canvas/canvas_text.h"
#include "ui/canvas/ruler_name_view.h"

#include <QToolButton>

#include <cmath>

namespace nelvo {

ZoneNamesRow::ZoneNamesRow(QWidget* parent) : QWidget(parent), m_add(new QToolButton(this))
{
    m_add->setObjectName(QStringLiteral("tip.addZone"));
    m_add->setText(QStringLiteral("+"));
    m_add->setIcon(QIcon::fromTheme(QStringLiteral("list-add-symbolic"),
                                    QIcon::fromTheme(QStringLiteral("list-add"))));
    m_add->setAutoRaise(true);
    m_add->setToolTip(QString::fromLatin1(CanvasText::addZone));
    m_add->setAccessibleName(QString::fromLatin1(CanvasText::addZone));
    connect(m_add, &QToolButton::clicked, this, &ZoneNamesRow::addRequested);
}

void ZoneNamesRow::setCount(int count)
{
    // A name may be dropped from inside its own gesture: it goes once that returns.
    while (static_cast<int>(m_names.size()) > count) {
        m_names.back()->hide();
        m_names.back()->deleteLater();
        m_names.pop_back();
    }
    while (static_cast<int>(m_names.size()) < count) {
        auto* name = new RulerNameView(this);
        name->show();
        m_names.push_back(name);
    }
    m_dragIndex = -1;
    layoutNames();
}

void ZoneNamesRow::setDragOffset(int index, double dx)
{
    m_dragIndex = index;
    m_dragOffset = dx;
    layoutNames();
}

void ZoneNamesRow::resizeEvent(QResizeEvent*)
{
    layoutNames();
}

void ZoneNamesRow::layoutNames()
{
    using namespace CanvasStyle;
    const int pitch = rulerWidth + rulerSpacing;
    for (int i = 0; i < static_cast<int>(m_names.size()); ++i) {
        const int dx = i == m_dragIndex ? static_cast<int>(std::lround(m_dragOffset)) : 0;
        m_names[static_cast<std::size_t>(i)]->setGeometry(axisPadding + i * pitch + dx, 0,
                                                          rulerWidth, height());
        if (i == m_dragIndex)
            m_names[static_cast<std::size_t>(i)]->raise();
    }
    const int addX = axisPadding + static_cast<int>(m_names.size()) * pitch;
    m_add->setGeometry(addX + 2, height() - 30, 26, 26);
}

}  // namespace nelvo
