#include "ui/tour/tour_callout.h"

#include "ui/controls/side_icons.h"
#include "ui/tour/tour.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace nelvo {

TourCallout::TourCallout(Tour& tour, QWidget* host)
    : CalloutBubble(host), m_tour(tour), m_icon(new QLabel(this)), m_title(new QLabel(this)),
      m_body(new QLabel(this)), m_progress(new QLabel(this)),
      m_skip(new QPushButton(QStringLiteral("Skip"), this)),
      m_next(new QPushButton(QStringLiteral("Next"), this))
{
    setObjectName(QStringLiteral("tourCallout"));
    setAccessibleName(QStringLiteral("Tour"));
    setFixedWidth(320 + 2 * TourAnchor::arrowSize);

    m_icon->setFixedSize(24, 24);
    m_icon->setAlignment(Qt::AlignCenter);
    QFont headline = m_title->font();
    headline.setWeight(QFont::DemiBold);
    headline.setPointSizeF(headline.pointSizeF() * 1.08);
    m_title->setFont(headline);
    m_title->setWordWrap(true);
    m_body->setWordWrap(true);
    m_progress->setForegroundRole(QPalette::PlaceholderText);
    m_skip->setFlat(true);
    m_next->setDefault(true);

    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(m_icon, 0, Qt::AlignTop);
    top->addWidget(m_title, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_progress);
    bottom->addStretch();
    bottom->addWidget(m_skip);
    bottom->addWidget(m_next);

    auto* layout = new QVBoxLayout(this);
    const int a = TourAnchor::arrowSize;
    layout->setContentsMargins(a + 14, a + 12, a + 14, a + 10);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(m_body);
    layout->addLayout(bottom);

    connect(m_next, &QPushButton::clicked, &m_tour, &Tour::next);
    connect(m_skip, &QPushButton::clicked, &m_tour, &Tour::skip);
    connect(&m_tour, &Tour::stepChanged, this, &TourCallout::showStep);
    showStep();
}

QString TourCallout::title() const
{
    return m_title->text();
}

QString TourCallout::progress() const
{
    return m_progress->text();
}

void TourCallout::showStep()
{
    const auto step = m_tour.step();
    if (!step) {
        hide();
        return;
    }
    m_icon->setPixmap(SideIcons::tinted(
        SideIcons::icon(TourSteps::iconName(*step), TourSteps::fallbackIcon(*step)), 20,
        QColor(0x16, 0xA3, 0x4A), devicePixelRatioF()));
    m_title->setText(QString::fromUtf8(TourSteps::title(*step)));
    m_body->setText(QString::fromUtf8(TourSteps::body(*step)));
    m_progress->setText(QStringLiteral("Step %1 of %2").arg(m_tour.position()).arg(m_tour.count()));
    m_next->setText(m_tour.isLastStep() ? QStringLiteral("Done") : QStringLiteral("Next"));
    setAccessibleDescription(m_title->text() + QLatin1Char(' ') + m_body->text());
    setAnchorName(QString::fromStdString(TourSteps::anchorName(*step)));
    present();
    m_next->setFocus(Qt::OtherFocusReason);
}

void TourCallout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        m_tour.skip();
        return;
    }
    CalloutBubble::keyPressEvent(event);
}

}  // namespace nelvo
