#include "ui/controls/add_zone_popover.h"

#include "app/availability_model.h"
#include "kit/zones/zone_catalog.h"
#include "ui/controls/side_icons.h"
#include "ui/controls/zone_search_results.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace nelvo {
namespace {

// Two lines per zone: the city in bold with its offset at the right, then country and zone
// name in a quieter colour.
class ZoneRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return {option.rect.width(), option.fontMetrics.height() * 2 + 14};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyleOptionViewItem base = option;
        initStyleOption(&base, index);
        base.text.clear();
        base.widget->style()->drawControl(QStyle::CE_ItemViewItem, &base, painter, base.widget);

        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        const QColor strong = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        QColor quiet = strong;
        quiet.setAlphaF(0.62f);

        const QRect area = option.rect.adjusted(10, 6, -10, -6);
        const int line = option.fontMetrics.height();
        QFont bold = option.font;
        bold.setWeight(QFont::DemiBold);

        painter->save();
        const QString offset = index.data(ZoneSearchResults::OffsetRole).toString();
        painter->setFont(option.font);
        painter->setPen(quiet);
        const int offsetWidth = option.fontMetrics.horizontalAdvance(offset);
        painter->drawText(QRect(area.right() - offsetWidth, area.top(), offsetWidth, line),
                          Qt::AlignRight | Qt::AlignVCenter, offset);

        painter->setFont(bold);
        painter->setPen(strong);
        const QRect nameRect(area.left(), area.top(), area.width() - offsetWidth - 8, line);
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(bold).elidedText(index.data().toString(), Qt::ElideRight,
                                                        nameRect.width()));

        const QString country = index.data(ZoneSearchResults::CountryRole).toString();
        const QString id = index.data(ZoneSearchResults::IdRole).toString();
        const QString detail = country.isEmpty() ? id : country + QStringLiteral("  ·  ") + id;
        painter->setFont(option.font);
        painter->setPen(quiet);
        const QRect detailRect(area.left(), area.top() + line + 2, area.width(), line);
        painter->drawText(
            detailRect, Qt::AlignLeft | Qt::AlignVCenter,
            option.fontMetrics.elidedText(detail, Qt::ElideRight, detailRect.width()));
        painter->restore();
    }
};

}  // namespace

AddZonePopover::AddZonePopover(AvailabilityModel& model, QWidget* parent)
    : Popover(parent), m_model(model), m_search(new QLineEdit(this)), m_list(new QListView(this)),
      m_empty(new QLabel(this)), m_results(new ZoneSearchResults(
                                     catalog(), [&model] { return model.now(); }, this))
{
    setObjectName(QStringLiteral("addZonePopover"));
    setAccessibleName(QStringLiteral("Add a time zone"));

    m_search->setPlaceholderText(QStringLiteral("Search by city or country"));
    m_search->setAccessibleName(QStringLiteral("Search by city or country"));
    m_search->setClearButtonEnabled(true);
    m_search->addAction(SideIcons::search(), QLineEdit::LeadingPosition);
    m_search->installEventFilter(this);

    m_list->setModel(m_results);
    m_list->setItemDelegate(new ZoneRowDelegate(m_list));
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setAccessibleName(QStringLiteral("Time zones"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->installEventFilter(this);

    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    m_empty->setForegroundRole(QPalette::PlaceholderText);
    m_empty->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addWidget(m_search);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_empty, 1);
    setFixedSize(360, 380);

    connect(m_search, &QLineEdit::textChanged, this, &AddZonePopover::search);
    connect(m_search, &QLineEdit::returnPressed, this, &AddZonePopover::pickCurrent);
    connect(m_list, &QListView::clicked, this,
            [this](const QModelIndex& index) { pick(m_results->idAt(index.row())); });
    connect(m_list, &QListView::activated, this,
            [this](const QModelIndex& index) { pick(m_results->idAt(index.row())); });
}

const ZoneCatalog& AddZonePopover::catalog()
{
    static const ZoneCatalog shared = ZoneCatalog::system();
    return shared;
}

void AddZonePopover::showEvent(QShowEvent* event)
{
    // Each opening starts a new search.
    m_search->clear();
    search(QString());
    Popover::showEvent(event);
    m_search->setFocus(Qt::OtherFocusReason);
}

void AddZonePopover::search(const QString& text)
{
    m_results->setQuery(text);
    const bool none = m_results->rowCount() == 0;
    m_list->setVisible(!none);
    m_empty->setVisible(none);
    if (none)
        m_empty->setText(
            QStringLiteral("No time zone matches \u201C%1\u201D.").arg(text.trimmed()));
    else
        m_list->setCurrentIndex(m_results->index(0));
    m_list->scrollToTop();
}

void AddZonePopover::moveSelection(int delta)
{
    const int rows = m_results->rowCount();
    if (rows == 0)
        return;
    const int row = std::clamp(m_list->currentIndex().row() + delta, 0, rows - 1);
    m_list->setCurrentIndex(m_results->index(row));
    m_list->scrollTo(m_list->currentIndex());
}

void AddZonePopover::pickCurrent()
{
    if (m_results->rowCount() == 0)
        return;
    const int row = m_list->currentIndex().isValid() ? m_list->currentIndex().row() : 0;
    pick(m_results->idAt(row));
}

void AddZonePopover::pick(const QString& zoneId)
{
    if (zoneId.isEmpty())
        return;
    m_model.addZone(zoneId.toStdString());
    Q_EMIT zonePicked(zoneId);
    close();
}

bool AddZonePopover::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_search) {
            switch (key->key()) {
            case Qt::Key_Down:
                moveSelection(1);
                return true;
            case Qt::Key_Up:
                moveSelection(-1);
                return true;
            case Qt::Key_PageDown:
                moveSelection(8);
                return true;
            case Qt::Key_PageUp:
                moveSelection(-8);
                return true;
            default:
                break;
            }
        } else if (watched == m_list &&
                   (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            pickCurrent();
            return true;
        }
    }
    return Popover::eventFilter(watched, event);
}

}  // namespace nelvo
