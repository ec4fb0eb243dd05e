#include "ui/canvas_page.h"

#include "app/availability_model.h"

#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace nelvo {

CanvasPage::CanvasPage(AvailabilityModel& model, UserDefaults& defaults, Commands& commands,
                       QUndoStack& undoStack, bool demo, QWidget* parent)
    : QWidget(parent), m_model(model), m_defaults(defaults), m_commands(commands),
      m_undoStack(undoStack), m_demo(demo), m_refresh(new QTimer(this))
{
    setObjectName(QStringLiteral("canvasPage"));
    m_refresh->setInterval(refreshIntervalMilliseconds);
    connect(m_refresh, &QTimer::timeout, &m_model, &AvailabilityModel::refreshDay);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    auto* toolbar = new QWidget(this);
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setAccessibleName(tr("Toolbar"));
    m_toolbar = new QHBoxLayout(toolbar);
    m_toolbar->setContentsMargins(12, 8, 12, 8);
    m_toolbar->setSpacing(8);
    // Left: the day slider, then the start day.
    m_toolbar->addStretch(1);
    // Right: the copy button and Share, then the settings button.
    page->addWidget(toolbar);

    auto* canvasArea = new QWidget(this);
    canvasArea->setObjectName(QStringLiteral("canvasArea"));
    m_canvasArea = new QVBoxLayout(canvasArea);
    m_canvasArea->setContentsMargins(0, 0, 0, 0);
    // The canvas goes here.
    page->addWidget(canvasArea, 1);
}

CanvasPage::~CanvasPage() = default;

void CanvasPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_model.refreshDay();
    m_refresh->start();
}

void CanvasPage::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_refresh->stop();
}

}  // namespace nelvo
