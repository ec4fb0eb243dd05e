#include "ui/canvas_page.h"

#include "app/availability_model.h"
#include "kit/store/user_defaults.h"
#include "ui/calendar_notice.h"
#include "ui/canvas/main_view.h"
#include "ui/commands.h"
#include "ui/controls/day_slider.h"
#include "ui/controls/settings_button.h"
#include "ui/controls/side_controls.h"
#include "ui/controls/start_day_button.h"
#include "ui/defaults_keys.h"
#include "ui/share/copy_button.h"
#include "ui/share/preview_panel.h"
#include "ui/share/share_button.h"

#include <QAction>
#include <QHBoxLayout>
#include <QTimer>
#include <QToolButton>
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
    m_side = new SideControls(model, defaults, demo, this);
    // More Days and Fewer Days are the root view's.
    m_side->connectCommands(commands.goToDate, commands.showTour, commands.chooseCalendars);
    m_toolbar->addWidget(m_side->daySlider());
    m_toolbar->addWidget(m_side->startDayButton());
    m_toolbar->addStretch(1);
    // Right: the copy button and Share, then the settings button.
    auto* copy = new CopyButton(m_model, toolbar);
    copy->useCommands(m_commands);
    m_toolbar->addWidget(copy);
    m_toolbar->addWidget(
        new ShareButton(m_model, copy->copyActions(), m_commands.shareMenu, toolbar));
    auto* preview = new QToolButton(toolbar);
    preview->setObjectName(QStringLiteral("previewButton"));
    preview->setDefaultAction(m_commands.showPreview);
    preview->setToolButtonStyle(Qt::ToolButtonTextOnly);
    preview->setAccessibleName(m_commands.showPreview->text());
    m_toolbar->addWidget(preview);
    m_toolbar->addWidget(m_side->settingsButton());
    page->addWidget(toolbar);

    // Whenever a chosen calendar is not up to date, the bar above the canvas says which and
    // why, and the copy button's tooltip warns too: copying is never blocked.
    m_notice = new CalendarNotice(
        m_model, m_commands, [this] { return m_model.now(); }, this);
    page->addWidget(m_notice);
    const auto warnCopy = [copy](bool raised) {
        copy->setWarning(raised ? tr("Some calendars could not be read: what is copied may show "
                                     "busy time as free.")
                                : QString());
    };
    connect(m_notice, &CalendarNotice::raisedChanged, copy, warnCopy);
    warnCopy(m_notice->isRaised());

    auto* canvasArea = new QWidget(this);
    canvasArea->setObjectName(QStringLiteral("canvasArea"));
    m_canvasArea = new QVBoxLayout(canvasArea);
    m_canvasArea->setContentsMargins(0, 0, 0, 0);
    auto* canvas = new MainView(m_model, m_defaults, canvasArea);
    canvas->setObjectName(QStringLiteral("canvas"));
    // The canvas, with the preview of what will be copied beside it.
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(canvas, 1);
    m_preview = new PreviewPanel(m_model, canvasArea);
    m_preview->setFixedWidth(previewWidth);
    row->addWidget(m_preview);
    m_canvasArea->addLayout(row, 1);
    const bool previewShown = m_defaults.boolValue(DefaultsKeys::previewShown).value_or(false);
    m_preview->setVisible(previewShown);
    m_commands.showPreview->setChecked(previewShown);
    connect(m_commands.showPreview, &QAction::toggled, this, [this](bool shown) {
        m_preview->setVisible(shown);
        m_defaults.setBool(DefaultsKeys::previewShown, shown);
    });
    connect(m_commands.zoomIn, &QAction::triggered, canvas, &MainView::zoomIn);
    connect(m_commands.zoomOut, &QAction::triggered, canvas, &MainView::zoomOut);
    connect(m_commands.zoomReset, &QAction::triggered, canvas, &MainView::zoomReset);
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
