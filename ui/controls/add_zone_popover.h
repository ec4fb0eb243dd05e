#pragma once

#include "ui/controls/popover.h"

class QLabel;
class QLineEdit;
class QListView;

namespace nelvo {

class AvailabilityModel;
class ZoneCatalog;
class ZoneSearchResults;

// "Search by city or country": the zone search. Open it with openAt(anchor); the search field
// has the focus, results follow each keystroke, arrow keys move through them and Enter picks
// the highlighted one (the first by default). A pick adds the zone as a ruler, emits
// zonePicked and closes the popover.
class AddZonePopover : public Popover {
    Q_OBJECT

public:
    explicit AddZonePopover(AvailabilityModel& model, QWidget* parent = nullptr);

    // Every zone the zone database knows, built once for the whole program.
    static const ZoneCatalog& catalog();

    QLineEdit* searchField() const { return m_search; }
    QListView* resultsView() const { return m_list; }
    ZoneSearchResults* results() const { return m_results; }

    // Adds the zone as a ruler, tells the listeners and closes.
    void pick(const QString& zoneId);

Q_SIGNALS:
    void zonePicked(const QString& zoneId);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search(const QString& text);
    void moveSelection(int delta);
    void pickCurrent();

    AvailabilityModel& m_model;
    QLineEdit* m_search;
    QListView* m_list;
    QLabel* m_empty;
    ZoneSearchResults* m_results;
};

}  // namespace nelvo
