#pragma once

#include <QAbstractListModel>

#include <functional>
#include <memory>

namespace nelvo {

struct Date;
class ZoneCatalog;

// The zones matching the search text, one row each: city, country, zone name and its
// current UTC offset. Offsets are worked out only for the rows a view asks for, so a
// keystroke costs one pass over the catalog and nothing more.
class ZoneSearchResults : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        IdRole = Qt::UserRole + 1,
        CountryRole,
        OffsetRole,
    };

    using Clock = std::function<Date()>;

    ZoneSearchResults(const ZoneCatalog& catalog, Clock now, QObject* parent = nullptr);
    ~ZoneSearchResults() override;

    void setQuery(const QString& query);
    QString query() const { return m_query; }
    QString idAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Rows;
    const ZoneCatalog& m_catalog;
    Clock m_now;
    QString m_query;
    std::unique_ptr<Rows> m_rows;
};

}  // namespace nelvo
