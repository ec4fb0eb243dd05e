#include "ui/canvas/zone_search_field.h"

#include "kit/zones/zone_catalog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace nelvo {

namespace {

// The catalog costs a few milliseconds to build: once per process.
const ZoneCatalog& catalog()
{
    static const ZoneCatalog instance = ZoneCatalog::system();
    return instance;
}

constexpr int maximumResults = 80;

}  // namespace

ZoneSearchField::ZoneSearchField(QWidget* parent)
    : QFrame(parent, Qt::Popup), m_field(new QLineEdit(this)), m_results(new QListWidget(this))
{
    setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(6);
    m_field->setPlaceholderText(QStringLiteral("Search for a city or time zone"));
    m_field->setAccessibleName(QStringLiteral("Search time zones"));
    m_field->setClearButtonEnabled(true);
    column->addWidget(m_field);
    column->addWidget(m_results, 1);
    m_results->setUniformItemSizes(true);
    connect(m_field, &QLineEdit::textChanged, this, &ZoneSearchField::search);
    connect(m_field, &QLineEdit::returnPressed, this, &ZoneSearchField::pickCurrent);
    connect(m_results, &QListWidget::itemActivated, this, &ZoneSearchField::pickCurrent);
    connect(m_results, &QListWidget::itemClicked, this, &ZoneSearchField::pickCurrent);
    resize(320, 360);
    search({});
}

void ZoneSearchField::search(const QString& text)
{
    m_results->clear();
    const auto found = catalog().search(text.toStdString());
    int shown = 0;
    for (const auto& entry : found) {
        if (++shown > maximumResults)
            break;
        QString line = QString::fromStdString(entry.name);
        if (entry.country)
            line += QStringLiteral(" — ") + QString::fromStdString(*entry.country);
        auto* item = new QListWidgetItem(line, m_results);
        item->setData(Qt::UserRole, QString::fromStdString(entry.id));
        item->setToolTip(QString::fromStdString(entry.id));
    }
    if (m_results->count() > 0)
        m_results->setCurrentRow(0);
}

void ZoneSearchField::pickCurrent()
{
    const QListWidgetItem* item = m_results->currentItem();
    if (!item)
        return;
    const std::string id = item->data(Qt::UserRole).toString().toStdString();
    close();
    Q_EMIT picked(id);
}

void ZoneSearchField::showBelow(QWidget* anchor)
{
    QPoint at = anchor->mapToGlobal(QPoint(0, anchor->height() + 4));
    if (const QScreen* screen = anchor->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    m_field->setFocus();
}

}  // namespace nelvo
