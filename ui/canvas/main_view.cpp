#include "ui/canvas/main_view.h"

#include "app/availability_model.h"
#include "kit/canvas/canvas_zoom.h"
#include "kit/store/user_defaults.h"
#include "ui/canvas/canvas_accessibility.h"
#include "ui/canvas/canvas_style.h"
#include "ui/canvas/context_menu.h"
#include "ui/canvas/cutoff_bar_view.h"
#include "ui/canvas/day_column_view.h"
#include "ui/canvas/day_header_view.h"
#include "ui/canvas/edge_fade_view.h"
#include "ui/canvas/free_band_view.h"
#include "ui/canvas/freed_mark_view.h"
#include "ui/canvas/ruler_chrome.h"
#include "ui/canvas/shared_cutoff_handle.h"
#include "ui/canvas/zone_axis_view.h"
#include "ui/canvas/zone_names_row.h"
#include "ui/controls/add_zone_popover.h"

#include <QCoreApplication>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>

namespace nelvo {

namespace {

int columnWidth(const DayData& day)
{
    return day.isExcluded ? CanvasStyle::leftOutColumnWidth : CanvasStyle::columnWidth;
}

}  // namespace

MainView::MainView(AvailabilityModel& model, UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), m_model(model), m_defaults(defaults),
      m_pointsPerHour(defaults.doubleValue(zoomKey).value_or(CanvasZoom::defaultPointsPerHour)),
      m_names(new ZoneNamesRow(this)), m_axis(new ZoneAxisView(model, *m_names, this)),
      m_headerStrip(new QWidget(this)), m_headerContent(new QWidget(m_headerStrip)),
      m_scroll(new QScrollArea(this)), m_canvas(new QWidget), m_fades(new EdgeFadeView(this))
{
    if (!std::isfinite(m_pointsPerHour) || m_pointsPerHour <= 0)
        m_pointsPerHour = CanvasZoom::defaultPointsPerHour;
    CanvasAccessibility::install();
    ContextMenu::installKeyboardTrigger();
    setAccessibleName(QStringLiteral("Canvas"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    // The keyboard stops on the canvas's controls, never on the scroll area around them; it
    // scrolls to show whichever has the focus.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setAccessibleName(QStringLiteral("Days"));
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(false);
    m_scroll->viewport()->installEventFilter(this);
    m_axis->installEventFilter(this);
    m_canvas->setAccessibleName(QStringLiteral("Days"));
    m_fades->raise();

    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { updateScrollState(); });
    connect(m_scroll->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { updateScrollState(); });
    connect(m_scroll->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { updateScrollState(); });
    connect(m_scroll->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { updateScrollState(); });

    connect(&m_model, &AvailabilityModel::daysChanged, this, &MainView::updateColumns);
    connect(&m_model, &AvailabilityModel::hourRangeChanged, this, &MainView::relayout);
    connect(&m_model, &AvailabilityModel::settingsChanged, this, &MainView::relayout);
    connect(&m_model, &AvailabilityModel::zoneChanged, this, &MainView::relayout);
    connect(m_axis, &ZoneAxisView::rulerCountChanged, this, &MainView::relayout);
    connect(m_names, &ZoneNamesRow::addRequested, this, &MainView::openZoneSearch);
    relayout();
}

MainView::~MainView()
{
    if (m_hooksInstalled)
        m_model.setAnimateUndo(nullptr);
}

void MainView::showEvent(QShowEvent*)
{
    if (!m_hooksInstalled) {
        m_hooksInstalled = true;
        // Undo and redo move the bars with a spring; the columns pick the flag up while the
        // model publishes the restored days.
        m_model.setAnimateUndo([this](const std::function<void()>& action) {
            m_animateNext = true;
            action();
            m_animateNext = false;
        });
    }
    relayout();
}

void MainView::resizeEvent(QResizeEvent*)
{
    relayout();
}

void MainView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), CanvasStyle::canvasBackground(palette()));
}

int MainView::viewportHeight() const
{
    return m_scroll->viewport()->height();
}

double MainView::zoomForHeight(double height) const
{
    const auto range = m_model.hourRange();
    return CanvasZoom::floor(range.lastHour - range.firstHour, height);
}

double MainView::fitZoom() const
{
    return zoomForHeight(viewportHeight());
}

double MainView::effectiveZoom() const
{
    const auto range = m_model.hourRange();
    return CanvasZoom::clamped(m_pointsPerHour, range.lastHour - range.firstHour, viewportHeight());
}

void MainView::setZoom(double target, double anchor)
{
    const auto range = m_model.hourRange();
    const double old = effectiveZoom();
    const double zoom =
        CanvasZoom::clamped(target, range.lastHour - range.firstHour, viewportHeight());
    if (zoom != old) {
        const double offset =
            CanvasZoom::offset({anchor, verticalOffset()}, zoom / old, CanvasStyle::topInset);
        m_pointsPerHour = zoom;
        relayout();
        setVerticalOffset(offset);
    }
    m_pointsPerHour = zoom;
    m_defaults.setDouble(zoomKey, zoom);
}

void MainView::zoomIn()
{
    setZoom(effectiveZoom() * 1.25, viewportHeight() / 2.0);
}

void MainView::zoomOut()
{
    setZoom(effectiveZoom() * 0.8, viewportHeight() / 2.0);
}

void MainView::zoomReset()
{
    setZoom(CanvasZoom::defaultPointsPerHour, viewportHeight() / 2.0);
}

double MainView::verticalOffset() const
{
    return m_scroll->verticalScrollBar()->value();
}

void MainView::setVerticalOffset(double offset)
{
    m_scroll->verticalScrollBar()->setValue(static_cast<int>(std::lround(offset)));
}

bool MainView::moreBelow() const
{
    const auto* bar = m_scroll->verticalScrollBar();
    return bar->maximum() - bar->value() > 1;
}

bool MainView::moreLeading() const
{
    return m_scroll->horizontalScrollBar()->value() > 1;
}

bool MainView::moreTrailing() const
{
    const auto* bar = m_scroll->horizontalScrollBar();
    return bar->maximum() - bar->value() > 1;
}

ColumnContext MainView::makeContext(double pointsPerHour) const
{
    ColumnContext context;
    context.geometry = {m_model.hourRange(), pointsPerHour};
    context.zone = m_model.zone();
    context.use24Hour = m_model.settings().use24Hour;
    for (const auto& entry : m_model.settings().zones) {
        const auto zone = entry.zone();
        if (!zone || Settings::zonesMatch(entry.id, context.zone.id()))
            continue;
        context.otherZones.emplace_back(QString::fromStdString(entry.displayName()), *zone);
    }
    return context;
}

void MainView::relayout()
{
    if (m_inLayout)
        return;
    m_inLayout = true;
    const int axisWidth = ZoneAxisView::widthFor(static_cast<int>(m_model.settings().zones.size()));
    const int header = CanvasStyle::headerHeight;
    m_names->setGeometry(0, 0, axisWidth, header);
    m_headerStrip->setGeometry(axisWidth, 0, std::max(0, width() - axisWidth), header);
    m_axis->setGeometry(0, header, axisWidth, std::max(0, height() - header));
    m_scroll->setGeometry(axisWidth, header, std::max(0, width() - axisWidth),
                          std::max(0, height() - header));
    m_inLayout = false;
    updateColumns();
}

void MainView::updateColumns()
{
    if (m_inLayout)
        return;
    m_inLayout = true;
    const auto& days = m_model.days();
    m_context = makeContext(effectiveZoom());
    const int contentHeight = static_cast<int>(std::ceil(m_context.geometry.contentHeight()));

    // A column or header may be dropped from inside its own menu or gesture: it goes once
    // that returns.
    while (m_columns.size() > days.size()) {
        for (QWidget* dropped :
             {static_cast<QWidget*>(m_columns.back()), static_cast<QWidget*>(m_headers.back())}) {
            dropped->hide();
            dropped->deleteLater();
        }
        m_columns.pop_back();
        m_headers.pop_back();
    }
    while (m_columns.size() < days.size()) {
        auto* column = new DayColumnView(m_model, m_canvas);
        column->show();
        m_columns.push_back(column);
        auto* header = new DayHeaderView(m_model, m_headerContent);
        header->show();
        m_headers.push_back(header);
    }
    int x = 0;
    for (std::size_t i = 0; i < days.size(); ++i) {
        const int w = columnWidth(days[i]);
        const QRect columnRect(x, 0, w, contentHeight);
        if (m_columns[i]->geometry() != columnRect)
            m_columns[i]->setGeometry(columnRect);
        m_columns[i]->setDay(days[i], m_context, m_animateNext);
        const QRect headerRect(x, 0, w, CanvasStyle::headerHeight);
        if (m_headers[i]->geometry() != headerRect)
            m_headers[i]->setGeometry(headerRect);
        m_headers[i]->setDay(days[i], m_context.zone);
        x += w + CanvasStyle::columnSpacing;
    }
    const QSize canvasSize(x, contentHeight);
    if (m_canvas->size() != canvasSize)
        m_canvas->resize(canvasSize);
    m_headerContent->resize(std::max(x, m_headerStrip->width()), CanvasStyle::headerHeight);
    m_inLayout = false;
    updateScrollState();
    // The anchors settle once the drag ends; during it every movement counts.
    if (!m_model.isDraggingCutoff()) {
        updateTourAnchors();
        updateTabOrder();
    }
}

void MainView::updateTabOrder()
{
    // The keyboard goes the way the eye reads: the rulers, the add button and the shared
    // handles, then day by day its header, its bars, its bands from top to bottom and the
    // traces of its freed meetings.
    std::vector<QWidget*> chain(m_axis->rulers().begin(), m_axis->rulers().end());
    chain.push_back(m_names->addButton());
    chain.push_back(m_axis->handle(WindowEdge::start));
    chain.push_back(m_axis->handle(WindowEdge::end));
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        chain.push_back(m_headers[i]->dateButton());
        chain.push_back(m_headers[i]->eventsButton());
        chain.push_back(m_columns[i]->bar(WindowEdge::start));
        chain.push_back(m_columns[i]->bar(WindowEdge::end));
        for (FreeBandView* band : m_columns[i]->bands())
            chain.push_back(band);
        for (FreedMarkView* mark : m_columns[i]->freedMarks())
            chain.push_back(mark);
    }
    if (chain == m_tabChain)
        return;
    m_tabChain = chain;
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void MainView::updateScrollState()
{
    const QRect viewport(m_scroll->viewport()->mapTo(this, QPoint(0, 0)),
                         m_scroll->viewport()->size());
    if (m_fades->geometry() != viewport)
        m_fades->setGeometry(viewport);
    m_fades->setEdges(moreBelow(), moreLeading(), moreTrailing());
    m_headerContent->move(-m_scroll->horizontalScrollBar()->value(), 0);
    const Date firstDay =
        m_model.days().empty() ? m_model.rangeStart() : m_model.days().front().date;
    m_axis->setGeometryState(m_context.geometry, firstDay, verticalOffset());
}

void MainView::updateTourAnchors()
{
    QWidget* freeTime = nullptr;
    QWidget* events = nullptr;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const auto bands = m_columns[i]->bands();
        if (!freeTime && !bands.empty())
            freeTime = bands.front();
        if (!events && m_model.hasMeetingToFree(m_columns[i]->day()))
            events = m_headers[i]->eventsButton();
    }
    for (auto* column : m_columns) {
        for (auto* band : column->bands())
            if (band != freeTime && !band->objectName().isEmpty())
                band->setObjectName(QString());
    }
    for (auto* header : m_headers) {
        if (header->eventsButton() != events && !header->eventsButton()->objectName().isEmpty())
            header->eventsButton()->setObjectName(QString());
    }
    if (freeTime)
        freeTime->setObjectName(QStringLiteral("tour.freeTime"));
    if (events)
        events->setObjectName(QStringLiteral("tour.events"));
}

QWidget* MainView::openZoneSearch()
{
    // The popover adds the picked zone itself.
    auto* search = new AddZonePopover(m_model, this);
    search->setAttribute(Qt::WA_DeleteOnClose);
    search->openAt(m_names->addButton());
    return search;
}

bool MainView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
        // A scroll bar came or went: the fit zoom follows the viewport.
        if (m_inLayout)
            QTimer::singleShot(0, this, [this] { updateColumns(); });
        else
            updateColumns();
        return false;
    }
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const double notches = wheel->angleDelta().y() / 120.0;
            const double anchor = m_scroll->viewport()->mapFromGlobal(wheel->globalPosition()).y();
            setZoom(effectiveZoom() * std::pow(wheelZoomPerNotch, notches), anchor);
            return true;
        }
        if (watched == m_axis) {
            // The axis scrolls the hours with the canvas.
            QCoreApplication::sendEvent(m_scroll->viewport(), event);
            return true;
        }
    }
    if (event->type() == QEvent::NativeGesture) {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        const double anchor = m_scroll->viewport()->mapFromGlobal(gesture->globalPosition()).y();
        switch (gesture->gestureType()) {
        case Qt::BeginNativeGesture:
            m_pinchOrigin = PinchOrigin{effectiveZoom(), verticalOffset(), anchor, 1.0};
            return true;
        case Qt::ZoomNativeGesture:
            if (!m_pinchOrigin)
                m_pinchOrigin = PinchOrigin{effectiveZoom(), verticalOffset(), anchor, 1.0};
            m_pinchOrigin->magnification *= 1.0 + gesture->value();
            setZoom(m_pinchOrigin->pointsPerHour * m_pinchOrigin->magnification,
                    m_pinchOrigin->anchor);
            return true;
        case Qt::EndNativeGesture:
            m_pinchOrigin.reset();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace nelvo
