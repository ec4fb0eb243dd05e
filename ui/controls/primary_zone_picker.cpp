#include "ui/controls/primary_zone_picker.h"

#include "app/availability_model.h"
#include "kit/core/zone_display_name.h"
#include "ui/controls/add_zone_popover.h"

#include <QTimer>

namespace nelvo {

PrimaryZonePicker::PrimaryZonePicker(AvailabilityModel& model, QWidget* parent)
    : QComboBox(parent), m_model(model), m_search(new AddZonePopover(model, this))
{
    setAccessibleName(QStringLiteral("My time zone"));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    rebuild();
    connect(&m_model, &AvailabilityModel::settingsChanged, this, &PrimaryZonePicker::rebuild);
    connect(&m_model, &AvailabilityModel::zoneChanged, this, &PrimaryZonePicker::rebuild);
    connect(this, &QComboBox::activated, this, &PrimaryZonePicker::chosen);
    connect(m_search, &AddZonePopover::zonePicked, this,
            [this](const QString& id) { setPrimary(id.toStdString()); });
    // A search closed without a pick leaves the choice as it was.
    connect(m_search, &AddZonePopover::closed, this, &PrimaryZonePicker::rebuild);
}

QString PrimaryZonePicker::systemEntryText()
{
    return QStringLiteral("This computer (") +
           QString::fromStdString(ZoneDisplayName::name(TimeZone::system())) + QStringLiteral(")");
}

void PrimaryZonePicker::rebuild()
{
    const QSignalBlocker quiet(this);
    clear();
    const Settings& settings = m_model.settings();
    addItem(systemEntryText(), QString());
    int current = 0;
    for (const ZoneEntry& ruler : settings.zones) {
        const QString id = QString::fromStdString(ruler.id);
        if (findData(id) >= 0)
            continue;
        addItem(QString::fromStdString(ruler.displayName()), id);
        if (current == 0 && settings.primaryZoneID &&
            Settings::zonesMatch(*settings.primaryZoneID, ruler.id))
            current = count() - 1;
    }
    if (settings.primaryZoneID && current == 0) {
        // A primary zone without a ruler of its own still shows as chosen.
        addItem(QString::fromStdString(m_model.zone().id()),
                QString::fromStdString(*settings.primaryZoneID));
        current = count() - 1;
    }
    insertSeparator(count());
    addItem(QStringLiteral("Other Time Zone\u2026"), QStringLiteral("other"));
    m_otherIndex = count() - 1;
    setCurrentIndex(current);
}

void PrimaryZonePicker::chosen(int index)
{
    if (index == m_otherIndex) {
        // After the list has closed, so the search popover gets the focus.
        QTimer::singleShot(0, this, [this] { m_search->openAt(this); });
        return;
    }
    const QString id = itemData(index).toString();
    setPrimary(id.isEmpty() ? std::nullopt : std::optional<std::string>(id.toStdString()));
}

void PrimaryZonePicker::setPrimary(const std::optional<std::string>& zoneId)
{
    Settings settings = m_model.settings();
    if (settings.primaryZoneID == zoneId)
        return;
    settings.primaryZoneID = zoneId;
    m_model.setSettings(std::move(settings));
}

}  // namespace nelvo
