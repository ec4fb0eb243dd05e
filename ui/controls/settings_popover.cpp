#include "ui/controls/settings_popover.h"

#include "app/availability_model.h"
#include "ui/calendar_swatch.h"
#include "ui/commands.h"
#include "ui/controls/free_time_choices.h"
#include "ui/controls/my_addresses_row.h"
#include "ui/controls/primary_zone_picker.h"
#include "ui/controls/settings_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace nelvo {
namespace {

const QString minimumHelp =
    QStringLiteral("Free time shorter than this is left out of your availability");
const QString noticeHelp =
    QStringLiteral("Free time that starts sooner than this from now is left out");
const QString weekendsHelp = QStringLiteral("Leave Saturdays and Sundays out of your availability");
const QString tourHelp = QStringLiteral("Take the tour of the canvas again");
const QString filtersNote = QStringLiteral(
    "Nelvo leaves out free time shorter than your Shortest Free Time, and free time that starts "
    "sooner from now than your Advance Notice.");
const QString calendarsNote = QStringLiteral(
    "Events on checked calendars count as busy. Uncheck a calendar to leave its events out of "
    "your free time.");

using SettingsText::heading;
using SettingsText::note;

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    return line;
}

// The marker of a calendar that by default does not count: birthdays and subscriptions.
QString kindMarker(const CalendarInfo& calendar)
{
    if (!calendar.isBirthdayOrSubscription)
        return {};
    return calendar.isBirthdays ? QStringLiteral("Birthdays") : QStringLiteral("Subscribed");
}

void fill(QComboBox* box, const std::vector<FreeTimeChoices::Duration>& choices,
          std::int64_t current)
{
    const QSignalBlocker quiet(box);
    box->clear();
    for (const auto& choice : choices) {
        box->addItem(QString::fromStdString(choice.label),
                     QVariant::fromValue<qlonglong>(choice.minutes));
        if (choice.minutes == current)
            box->setCurrentIndex(box->count() - 1);
    }
}

}  // namespace

SettingsPopover::SettingsPopover(AvailabilityModel& model, QWidget* parent)
    : Popover(parent), m_model(model), m_zone(new PrimaryZonePicker(model, this)),
      m_clock(new QCheckBox(QStringLiteral("12-hour"), this)), m_minimum(new QComboBox(this)),
      m_notice(new QComboBox(this)),
      m_weekends(new QCheckBox(QStringLiteral("Skip Weekends"), this)),
      m_sounds(new QCheckBox(QStringLiteral("Sounds"), this)),
      m_tour(new QPushButton(QStringLiteral("Show Me Around"), this)),
      m_choose(new QPushButton(QStringLiteral("Choose Calendars…"), this)),
      m_calendarScroll(new QScrollArea(this)), m_calendars(new QWidget),
      m_calendarLayout(new QVBoxLayout(m_calendars)), m_addressesSlot(new QVBoxLayout)
{
    setObjectName(QStringLiteral("settingsPopover"));
    setAccessibleName(QStringLiteral("Settings"));

    m_clock->setAccessibleName(QStringLiteral("Clock: 12-hour"));
    m_minimum->setAccessibleName(QStringLiteral("Shortest Free Time"));
    m_minimum->setAccessibleDescription(minimumHelp);
    m_minimum->setToolTip(minimumHelp);
    m_notice->setAccessibleName(QStringLiteral("Advance Notice"));
    m_notice->setAccessibleDescription(noticeHelp);
    m_notice->setToolTip(noticeHelp);
    m_weekends->setAccessibleDescription(weekendsHelp);
    m_weekends->setToolTip(weekendsHelp);
    m_tour->setAccessibleDescription(tourHelp);
    m_tour->setToolTip(tourHelp);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    form->setHorizontalSpacing(16);
    form->setVerticalSpacing(8);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("My time zone"), m_zone);
    form->addRow(QStringLiteral("Clock"), m_clock);
    form->addRow(QStringLiteral("Shortest Free Time"), m_minimum);
    form->addRow(QStringLiteral("Advance Notice"), m_notice);
    for (QWidget* field : {static_cast<QWidget*>(m_minimum), static_cast<QWidget*>(m_notice)})
        if (auto* label = qobject_cast<QLabel*>(form->labelForField(field)))
            label->setToolTip(field->toolTip());

    m_calendarLayout->setContentsMargins(0, 0, 0, 0);
    m_calendarLayout->setSpacing(4);
    auto* scroll = m_calendarScroll;
    scroll->setWidget(m_calendars);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setBackgroundRole(QPalette::Window);
    m_calendars->setBackgroundRole(QPalette::Window);

    auto* privacy = new QPushButton(QStringLiteral("Privacy Policy"), this);
    auto* support = new QPushButton(QStringLiteral("Support"), this);
    for (QPushButton* link : {privacy, support})
        link->setFlat(true);
    auto* actions = new QHBoxLayout;
    actions->addWidget(m_tour);
    actions->addStretch();
    actions->addWidget(privacy);
    actions->addWidget(support);

    auto* footer = note(QStringLiteral("Nelvo ") + QStringLiteral(NELVO_VERSION), this);
    footer->setAlignment(Qt::AlignHCenter);
    footer->setObjectName(QStringLiteral("settingsFooter"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(heading(QStringLiteral("Settings"), this));
    layout->addLayout(form);
    layout->addWidget(note(filtersNote, this));
    layout->addWidget(m_weekends);
    layout->addWidget(m_sounds);
    layout->addWidget(divider(this));
    auto* calendarsHead = new QHBoxLayout;
    calendarsHead->addWidget(heading(QStringLiteral("Calendars"), this));
    calendarsHead->addStretch();
    calendarsHead->addWidget(m_choose);
    layout->addLayout(calendarsHead);
    layout->addWidget(scroll);
    layout->addWidget(note(calendarsNote, this));
    m_addressesSlot->setContentsMargins(0, 0, 0, 0);
    m_addressesSlot->setSpacing(10);
    layout->addLayout(m_addressesSlot);
    layout->addWidget(divider(this));
    layout->addLayout(actions);
    layout->addWidget(footer);
    setFixedWidth(400);

    showSettings();
    showWeekends();
    rebuildCalendars();

    connect(m_clock, &QCheckBox::toggled, this,
            [this](bool twelve) { change([&](Settings& s) { s.use24Hour = !twelve; }); });
    connect(m_sounds, &QCheckBox::toggled, this,
            [this](bool on) { change([&](Settings& s) { s.soundsEnabled = on; }); });
    connect(m_minimum, &QComboBox::activated, this, [this](int index) {
        const auto minutes = m_minimum->itemData(index).toLongLong();
        change([&](Settings& s) { s.minimumMinutes = minutes; });
    });
    connect(m_notice, &QComboBox::activated, this, [this](int index) {
        const auto minutes = m_notice->itemData(index).toLongLong();
        change([&](Settings& s) { s.leadTimeMinutes = minutes; });
    });
    connect(m_weekends, &QCheckBox::toggled, this,
            [this](bool skip) { m_model.setWeekendsExcluded(skip); });
    connect(m_tour, &QPushButton::clicked, this, [this] {
        close();
        Q_EMIT showTourRequested();
    });
    m_choose->setFlat(true);
    m_choose->setVisible(false);
    m_choose->setToolTip(QStringLiteral("Choose which calendars Nelvo reads"));
    connect(m_choose, &QPushButton::clicked, this, [this] {
        close();
        Q_EMIT chooseCalendarsRequested();
    });
    auto open = [](const char* path) {
        QDesktopServices::openUrl(
            QUrl(QString::fromLatin1(Commands::makerSite) + QString::fromLatin1(path)));
    };
    connect(privacy, &QPushButton::clicked, this, [open] { open(Commands::privacyPath); });
    connect(support, &QPushButton::clicked, this, [open] { open(Commands::supportPath); });

    connect(&m_model, &AvailabilityModel::settingsChanged, this, &SettingsPopover::showSettings);
    connect(&m_model, &AvailabilityModel::adjustmentsChanged, this, &SettingsPopover::showWeekends);
    connect(&m_model, &AvailabilityModel::calendarsChanged, this,
            &SettingsPopover::rebuildCalendars);
    connect(&m_model, &AvailabilityModel::calendarStatesChanged, this,
            &SettingsPopover::rebuildCalendars);
    connect(&m_model, &AvailabilityModel::includedCalendarsChanged, this,
            &SettingsPopover::showCalendarChecks);
}

template <typename Change>
void SettingsPopover::change(Change&& edit)
{
    Settings settings = m_model.settings();
    edit(settings);
    if (settings != m_model.settings())
        m_model.setSettings(std::move(settings));
}

void SettingsPopover::setAddressesRow(MyAddressesRow* row)
{
    if (m_addressesRow)
        return;
    m_addressesRow = row;
    row->setParent(this);
    m_addressesSlot->addWidget(divider(this));
    m_addressesSlot->addWidget(row);
    connect(row, &MyAddressesRow::resized, this, [this] {
        if (isVisible())
            fitToContents();
    });
}

QList<QCheckBox*> SettingsPopover::calendarBoxes() const
{
    QList<QCheckBox*> boxes;
    for (int i = 0; i < m_calendarLayout->count(); ++i)
        if (auto* box = qobject_cast<QCheckBox*>(m_calendarLayout->itemAt(i)->widget()))
            boxes << box;
    return boxes;
}

void SettingsPopover::showSettings()
{
    const Settings& settings = m_model.settings();
    {
        const QSignalBlocker quietClock(m_clock);
        const QSignalBlocker quietSounds(m_sounds);
        m_clock->setChecked(!settings.use24Hour);
        m_sounds->setChecked(settings.soundsEnabled);
    }
    fill(m_minimum, FreeTimeChoices::shortestFreeTime(settings.minimumMinutes),
         settings.minimumMinutes);
    fill(m_notice, FreeTimeChoices::advanceNotice(settings.leadTimeMinutes),
         settings.leadTimeMinutes);
}

void SettingsPopover::showWeekends()
{
    const QSignalBlocker quiet(m_weekends);
    m_weekends->setChecked(m_model.adjustments().exclusions.weekendsOff());
}

void SettingsPopover::rebuildCalendars()
{
    // A fetch that ends while a check box handles a click rebuilds the list: the old rows
    // are hidden now and deleted once the event loop is back.
    while (QLayoutItem* item = m_calendarLayout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    // One section per account, in the order the source lists them.
    std::vector<std::string> accounts;
    for (const CalendarInfo& calendar : m_model.calendars())
        if (std::find(accounts.begin(), accounts.end(), calendar.accountTitle) == accounts.end())
            accounts.push_back(calendar.accountTitle);
    for (const std::string& account : accounts) {
        auto* title = new QLabel(QString::fromStdString(account.empty() ? "Other" : account));
        title->setForegroundRole(QPalette::PlaceholderText);
        QFont small = title->font();
        small.setWeight(QFont::DemiBold);
        small.setPointSizeF(small.pointSizeF() * 0.9);
        title->setFont(small);
        if (m_calendarLayout->count() > 0)
            m_calendarLayout->addSpacing(6);
        m_calendarLayout->addWidget(title);
        for (const CalendarInfo& calendar : m_model.calendars()) {
            if (calendar.accountTitle != account)
                continue;
            QString marker = kindMarker(calendar);
            if (const QString trouble = troubleOf(calendar.id); !trouble.isEmpty())
                marker = marker.isEmpty() ? trouble : marker + QStringLiteral(", ") + trouble;
            QString text = QString::fromStdString(calendar.title);
            if (!marker.isEmpty())
                text += QStringLiteral("  \u2014  ") + marker;
            auto* box = new QCheckBox(text);
            box->setIcon(calendarSwatch(calendar.colorHex, 12));
            box->setProperty("calendarId", QString::fromStdString(calendar.id));
            box->setAccessibleName(QString::fromStdString(calendar.title));
            box->setAccessibleDescription(marker.isEmpty() ? QString::fromStdString(account)
                                                           : QString::fromStdString(account) +
                                                                 QStringLiteral(", ") + marker);
            const std::string id = calendar.id;
            connect(box, &QCheckBox::toggled, this,
                    [this, id](bool on) { m_model.setCalendarIncluded(id, on); });
            m_calendarLayout->addWidget(box);
        }
    }
    // Chosen calendars that could not be read at all have no row above: each is named here.
    for (const CalendarState& state : m_model.calendarStates()) {
        const bool listed = std::any_of(
            m_model.calendars().begin(), m_model.calendars().end(),
            [&](const CalendarInfo& calendar) { return calendar.id == state.calendarID; });
        if (listed || state.isUpToDate())
            continue;
        auto* line = note(QStringLiteral("\u26A0 \u201C%1\u201D \u2014 %2")
                              .arg(QString::fromStdString(state.name),
                                   QString::fromStdString(state.shortCause(m_model.now()))),
                          m_calendars);
        line->setAccessibleName(line->text());
        m_calendarLayout->addWidget(line);
    }
    if (accounts.empty() && m_calendarLayout->count() == 0)
        m_calendarLayout->addWidget(note(QStringLiteral("No calendars to read yet."), m_calendars));
    m_calendarLayout->addStretch();
    // As tall as the list, up to about eight calendars; longer lists scroll.
    m_calendarScroll->setFixedHeight(std::min(m_calendars->sizeHint().height(), 240));
    showCalendarChecks();
    if (isVisible())
        fitToContents();
}

QString SettingsPopover::troubleOf(const std::string& calendarID) const
{
    for (const CalendarState& state : m_model.calendarStates())
        if (state.calendarID == calendarID && !state.isUpToDate())
            return QStringLiteral("\u26A0 ") +
                   QString::fromStdString(state.shortCause(m_model.now()));
    return {};
}

void SettingsPopover::showCalendarChecks()
{
    const auto& included = m_model.includedCalendars();
    for (QCheckBox* box : calendarBoxes()) {
        const QSignalBlocker quiet(box);
        box->setChecked(included.count(box->property("calendarId").toString().toStdString()) > 0);
    }
}

}  // namespace nelvo
