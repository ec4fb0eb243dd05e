#include "ui/calendar_chooser.h"

#include "app/availability_model.h"
#include "app/web/calendar_address.h"
#include "app/web/web_calendar_copy.h"
#include "app/web_calendar_source.h"
#include "kit/core/calendar_info.h"
#include "ui/calendar_swatch.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace nelvo {

namespace {

constexpr int keyRole = Qt::UserRole + 1;
constexpr int kindRole = Qt::UserRole + 2;

QString shownPath(const std::string& location)
{
    QString path = QString::fromStdString(location);
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QLatin1String("/") &&
        (path == home || path.startsWith(home + QLatin1Char('/'))))
        path = QLatin1Char('~') + path.mid(home.size());
    return path;
}

}  // namespace

CalendarChooser::CalendarChooser(QWidget* parent)
    : QDialog(parent), m_list(new QTreeWidget(this)), m_files(nullptr),
      m_addFile(new QPushButton(tr("Add File…"), this)),
      m_addFolder(new QPushButton(tr("Add Folder…"), this)),
      m_addAddress(new QPushButton(tr("Add Address…"), this))
{
    setObjectName(QStringLiteral("calendarChooser"));
    setWindowTitle(tr("Choose Calendars"));
    setModal(true);
    resize(560, 420);

    auto* intro = new QLabel(tr("Check the calendars Nelvo may read: your desktop's calendars, "
                                "calendar files (.ics) or folders of them, and the private "
                                "addresses calendar services give. Nelvo only ever reads them."),
                             this);
    intro->setWordWrap(true);

    m_list->setObjectName(QStringLiteral("calendarList"));
    m_list->setAccessibleName(tr("Calendars"));
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setColumnCount(1);

    m_addFile->setObjectName(QStringLiteral("addFile"));
    m_addFolder->setObjectName(QStringLiteral("addFolder"));
    connect(m_addFile, &QPushButton::clicked, this, &CalendarChooser::addFiles);
    connect(m_addFolder, &QPushButton::clicked, this, &CalendarChooser::addFolder);
    m_addAddress->setObjectName(QStringLiteral("addAddress"));
    connect(m_addAddress, &QPushButton::clicked, this, &CalendarChooser::addAddress);

    auto* hint = new QLabel(tr("No calendars were found. Add an online account in the desktop's "
                               "settings, or add a calendar file (.ics) or a folder of them."),
                            this);
    hint->setObjectName(QStringLiteral("emptyHint"));
    hint->setWordWrap(true);
    m_emptyHint = hint;

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(m_addFile);
    row->addWidget(m_addFolder);
    row->addWidget(m_addAddress);
    row->addStretch(1);
    row->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    layout->addWidget(intro);
    layout->addWidget(m_list, 1);
    layout->addWidget(hint);
    layout->addLayout(row);
    m_files = addSection(tr("Files and folders"), 0);
    updateHint();
}

QTreeWidgetItem* CalendarChooser::addSection(const QString& title, int index)
{
    auto* section = new QTreeWidgetItem({title});
    m_list->insertTopLevelItem(index, section);
    section->setFlags(Qt::ItemIsEnabled);
    QFont bold = m_list->font();
    bold.setWeight(QFont::DemiBold);
    section->setFont(0, bold);
    section->setExpanded(true);
    return section;
}

void CalendarChooser::addEntry(QTreeWidgetItem* section, const Entry& entry)
{
    if (QTreeWidgetItem* existing = findEntry(entry.key)) {
        if (entry.checked)
            existing->setCheckState(0, Qt::Checked);
        return;
    }
    auto* item = new QTreeWidgetItem(section);
    item->setText(0, entry.label);
    item->setToolTip(0, entry.detail);
    item->setData(0, keyRole, QString::fromStdString(entry.key));
    item->setData(0, kindRole, static_cast<int>(entry.kind));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(0, entry.checked ? Qt::Checked : Qt::Unchecked);
    section->setExpanded(true);
    updateHint();
}

void CalendarChooser::addLocation(const std::string& location, bool checked)
{
    addEntry(m_files, {.kind = Kind::file,
                       .key = location,
                       .label = shownPath(location),
                       .detail = QString::fromStdString(location),
                       .checked = checked});
}

void CalendarChooser::updateHint()
{
    bool empty = true;
    for (int s = 0; s < m_list->topLevelItemCount() && empty; ++s)
        empty = m_list->topLevelItem(s)->childCount() == 0;
    m_emptyHint->setVisible(empty);
    // An empty section heading says nothing; the hint speaks for it.
    m_files->setHidden(m_files->childCount() == 0 && m_list->topLevelItemCount() > 1);
}

void CalendarChooser::setDesktopCalendars(const std::vector<CalendarInfo>& calendars,
                                          const std::vector<std::string>& chosen)
{
    QTreeWidgetItem* section = nullptr;
    std::string account;
    for (const CalendarInfo& calendar : calendars) {
        if (!section || calendar.accountTitle != account) {
            account = calendar.accountTitle;
            section =
                addSection(QString::fromStdString(account), m_list->indexOfTopLevelItem(m_files));
        }
        const QString title = QString::fromStdString(calendar.title);
        addEntry(section,
                 {.kind = Kind::desktop,
                  .key = calendar.id,
                  .label = title,
                  .detail = tr("%1, in %2").arg(title, QString::fromStdString(account)),
                  .checked = std::find(chosen.begin(), chosen.end(), calendar.id) != chosen.end()});
        section->child(section->childCount() - 1)
            ->setIcon(0, calendarSwatch(calendar.colorHex, 16));
    }
    updateHint();
}

void CalendarChooser::setLocations(const std::vector<std::string>& chosen,
                                   const std::vector<std::string>& likely)
{
    for (const std::string& location : chosen)
        addLocation(location, true);
    for (const std::string& location : likely)
        addLocation(location, false);
}

int CalendarChooser::sectionCount() const
{
    int shown = 0;
    for (int s = 0; s < m_list->topLevelItemCount(); ++s)
        shown += m_list->topLevelItem(s)->isHidden() ? 0 : 1;
    return shown;
}

QTreeWidgetItem* CalendarChooser::findEntry(const std::string& key) const
{
    const QString wanted = QString::fromStdString(key);
    for (int s = 0; s < m_list->topLevelItemCount(); ++s) {
        QTreeWidgetItem* section = m_list->topLevelItem(s);
        for (int i = 0; i < section->childCount(); ++i) {
            if (section->child(i)->data(0, keyRole).toString() == wanted)
                return section->child(i);
        }
    }
    return nullptr;
}

CalendarChoice CalendarChooser::choice() const
{
    CalendarChoice chosen;
    for (int s = 0; s < m_list->topLevelItemCount(); ++s) {
        QTreeWidgetItem* section = m_list->topLevelItem(s);
        for (int i = 0; i < section->childCount(); ++i) {
            const QTreeWidgetItem* item = section->child(i);
            if (item->checkState(0) != Qt::Checked)
                continue;
            std::string key = item->data(0, keyRole).toString().toStdString();
            const int kind = item->data(0, kindRole).toInt();
            if (kind == static_cast<int>(Kind::desktop))
                chosen.desktopCalendars.push_back(std::move(key));
            else if (kind == static_cast<int>(Kind::web))
                chosen.webCalendars.push_back(std::move(key));
            else
                chosen.locations.push_back(std::move(key));
        }
    }
    return chosen;
}

bool CalendarChooser::setChecked(const std::string& key, bool checked)
{
    QTreeWidgetItem* item = findEntry(key);
    if (item)
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return item != nullptr;
}

void CalendarChooser::addFiles()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Add File…"), QDir::homePath(),
                                                            tr("Calendars (*.ics);;All files (*)"));
    for (const QString& file : files)
        addLocation(file.toStdString(), true);
}

void CalendarChooser::addFolder()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Add Folder…"), QDir::homePath());
    if (!folder.isEmpty())
        addLocation(folder.toStdString(), true);
}

void CalendarChooser::setWebCalendars(const std::vector<std::string>& chosen)
{
    for (const std::string& address : chosen) {
        const auto copy = WebCalendarCopy::load(WebCalendarCopy::standardFolder(), address);
        const QString host = QString::fromStdString(CalendarAddress::host(address));
        addEntry(m_files,
                 {.kind = Kind::web,
                  .key = address,
                  .label = copy && !copy->name.empty()
                               ? tr("%1 (%2)").arg(QString::fromStdString(copy->name), host)
                               : host,
                  .detail = tr("A calendar at %1").arg(host),
                  .checked = true});
    }
}

void CalendarChooser::addAddress()
{
    bool isGiven = false;
    const QString text = QInputDialog::getText(
        this, tr("Add Address…"),
        tr("The calendar's private address (https:// or webcal://), as its calendar service "
           "gives it:"),
        QLineEdit::Normal, QString(), &isGiven);
    if (!isGiven || text.trimmed().isEmpty())
        return;
    const auto address = CalendarAddress::normalized(text.toStdString());
    if (!address) {
        QMessageBox::warning(
            this, tr("Add Address…"),
            tr("This address cannot be read: %1.").arg(QString::fromStdString(address.error)));
        return;
    }
    addWebCalendar(*address.value, QString::fromStdString(CalendarAddress::host(*address.value)));
}

void CalendarChooser::addWebCalendar(const std::string& address, const QString& label)
{
    addEntry(m_files, {.kind = Kind::web,
                       .key = address,
                       .label = tr("%1 (fetching…)").arg(label),
                       .detail = tr("A calendar at %1").arg(label),
                       .checked = true});
    // The fetch keeps a copy, so the model finds the calendar at once, and names the entry.
    auto source = WebCalendarSource::make({address});
    WebCalendarSource* fetch = source.get();
    source->observeChanges([this, fetch, address] {
        fetch->calendars();
        const auto states = fetch->lastFetchStates();
        QTreeWidgetItem* item = findEntry(address);
        if (states.empty() || !item)
            return;
        const CalendarState& state = states.front();
        item->setText(0, state.isUpToDate()
                             ? QString::fromStdString(state.name)
                             : tr("%1: %2").arg(QString::fromStdString(state.name),
                                                QString::fromStdString(state.shortCause(
                                                    AvailabilityModel::systemNow()))));
    });
    source->calendars();  // starts the fetch
    m_fetches.push_back(std::move(source));
}

std::optional<CalendarChoice> CalendarChooser::choose(QWidget* parent, const CalendarChoice& chosen,
                                                      const std::vector<CalendarInfo>& desktop)
{
    CalendarChooser dialog(parent);
    std::vector<std::string> desktopChosen = chosen.desktopCalendars;
    if (chosen.empty()) {
        for (const CalendarInfo& calendar : desktop) {
            if (!calendar.isBirthdayOrSubscription)
                desktopChosen.push_back(calendar.id);
        }
    }
    dialog.setDesktopCalendars(desktop, desktopChosen);
    // The store's own files would list the desktop's local calendars a second time.
    dialog.setLocations(chosen.locations, CalendarAccess::likelyLocations(desktop.empty()));
    dialog.setWebCalendars(chosen.webCalendars);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

}  // namespace nelvo
