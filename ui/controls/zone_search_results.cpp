#include "ui/controls/zone_search_results.h"

#include "kit/core/date.h"
#include "kit/core/zone_display_name.h"
#include "kit/zones/zone_catalog.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace nelvo {

struct ZoneSearchResults::Rows {
    std::vector<ZoneCatalog::Entry> entries;
    // Offsets by zone, filled as rows are shown; the clock is read once per query so the rows
    // of one list agree.
    mutable std::unordered_map<std::string, QString> offsets;
    Date offsetsAt;
};

ZoneSearchResults::ZoneSearchResults(const ZoneCatalog& catalog, Clock now, QObject* parent)
    : QAbstractListModel(parent), m_catalog(catalog), m_now(std::move(now)),
      m_rows(std::make_unique<Rows>())
{
    m_rows->entries = m_catalog.search("");
    m_rows->offsetsAt = m_now();
}

ZoneSearchResults::~ZoneSearchResults() = default;

void ZoneSearchResults::setQuery(const QString& query)
{
    m_query = query;
    beginResetModel();
    m_rows->entries = m_catalog.search(query.toStdString());
    const Date now = m_now();
    // Offsets change only at transitions; an hour-old cache is close enough for a list.
    if (now.seconds - m_rows->offsetsAt.seconds > 3600 || now.seconds < m_rows->offsetsAt.seconds) {
        m_rows->offsets.clear();
        m_rows->offsetsAt = now;
    }
    endResetModel();
}

QString ZoneSearchResults::idAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return QString::fromStdString(m_rows->entries[static_cast<std::size_t>(row)].id);
}

int ZoneSearchResults::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows->entries.size());
}

QVariant ZoneSearchResults::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto& entry = m_rows->entries[static_cast<std::size_t>(index.row())];
    auto offset = [&]() -> QString {
        auto [at, added] = m_rows->offsets.try_emplace(entry.id);
        if (added)
            at->second =
                QString::fromStdString(ZoneDisplayName::offsetText(entry.id, m_rows->offsetsAt));
        return at->second;
    };
    const QString country = QString::fromStdString(entry.country.value_or(""));
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(entry.name);
    case IdRole:
        return QString::fromStdString(entry.id);
    case CountryRole:
        return country;
    case OffsetRole:
        return offset();
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole: {
        QStringList parts{QString::fromStdString(entry.name)};
        if (!country.isEmpty())
            parts << country;
        parts << QString::fromStdString(entry.id) << offset();
        return parts.join(QStringLiteral(", "));
    }
    default:
        return {};
    }
}

}  // namespace nelvo
