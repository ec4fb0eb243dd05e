#pragma once

#include <QComboBox>

namespace nelvo {

class AddZonePopover;
class AvailabilityModel;

// "My time zone": the computer's zone, each ruler's zone, and "Other Time Zone…", which opens
// the zone search; a zone picked there becomes a ruler and the primary zone.
class PrimaryZonePicker : public QComboBox {
    Q_OBJECT

public:
    explicit PrimaryZonePicker(AvailabilityModel& model, QWidget* parent = nullptr);

    AddZonePopover* zoneSearch() const { return m_search; }
    // The entry for the computer's zone: "This computer (New York)".
    static QString systemEntryText();

private:
    void rebuild();
    void chosen(int index);
    void setPrimary(const std::optional<std::string>& zoneId);

    AvailabilityModel& m_model;
    AddZonePopover* m_search;
    int m_otherIndex = -1;
};

}  // namespace nelvo
