#include "ui/calendar_chooser.h"

#include "app/calendar_access.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace nelvo {

namespace {

constexpr int locationRole = Qt::UserRole + 1;
constexpr int localSection = 0;

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
    : QDialog(parent), m_list(new QTreeWidget(this)),
      m_addFile(new QPushButton(tr("Add File…"), this)),
      m_addFolder(new QPushButton(tr("Add Folder…"), this))
{
    setObjectName(QStringLiteral("calendarChooser"));
    setWindowTitle(tr("Choose Calendars"));
    setModal(true);
    resize(560, 400);

    auto* intro = new QLabel(
        tr("Check the calendars Nelvo may read: calendar files (.ics) or folders of them. "
           "Nelvo only ever reads them."),
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

    auto* hint = new QLabel(tr("No calendar files were found on this computer. Add a calendar file "
                               "(.ics) or a folder of them."),
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
    row->addStretch(1);
    row->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    layout->addWidget(intro);
    layout->addWidget(m_list, 1);
    layout->addWidget(hint);
    layout->addLayout(row);
    addSection(tr("On this computer"), {});
    updateHint();
}

int CalendarChooser::addSection(const QString& title, const std::vector<Entry>& entries)
{
    auto* section = new QTreeWidgetItem(m_list, {title});
    section->setFlags(Qt::ItemIsEnabled);
    QFont bold = m_list->font();
    bold.setWeight(QFont::DemiBold);
    section->setFont(0, bold);
    section->setExpanded(true);
    const int index = m_list->indexOfTopLevelItem(section);
    for (const Entry& entry : entries)
        addEntry(index, entry);
    return index;
}

void CalendarChooser::addEntry(int sectionIndex, const Entry& entry)
{
    if (QTreeWidgetItem* existing = findEntry(entry.location)) {
        if (entry.checked)
            existing->setCheckState(0, Qt::Checked);
        return;
    }
    QTreeWidgetItem* section = m_list->topLevelItem(sectionIndex);
    if (!section)
        return;
    auto* item = new QTreeWidgetItem(section);
    item->setText(0, entry.label.isEmpty() ? shownPath(entry.location) : entry.label);
    item->setToolTip(0, entry.detail.isEmpty() ? QString::fromStdString(entry.location)
                                               : entry.detail);
    item->setData(0, locationRole, QString::fromStdString(entry.location));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(0, entry.checked ? Qt::Checked : Qt::Unchecked);
    section->setExpanded(true);
    updateHint();
}

void CalendarChooser::updateHint()
{
    bool empty = true;
    for (int s = 0; s < m_list->topLevelItemCount() && empty; ++s)
        empty = m_list->topLevelItem(s)->childCount() == 0;
    m_emptyHint->setVisible(empty);
}

void CalendarChooser::setLocations(const std::vector<std::string>& chosen,
                                   const std::vector<std::string>& likely)
{
    for (const std::string& location : chosen)
        addEntry(localSection, {.location = location, .checked = true});
    for (const std::string& location : likely)
        addEntry(localSection, {.location = location, .checked = false});
}

int CalendarChooser::sectionCount() const
{
    return m_list->topLevelItemCount();
}

QTreeWidgetItem* CalendarChooser::findEntry(const std::string& location) const
{
    const QString wanted = QString::fromStdString(location);
    for (int s = 0; s < m_list->topLevelItemCount(); ++s) {
        QTreeWidgetItem* section = m_list->topLevelItem(s);
        for (int i = 0; i < section->childCount(); ++i) {
            if (section->child(i)->data(0, locationRole).toString() == wanted)
                return section->child(i);
        }
    }
    return nullptr;
}

std::vector<std::string> CalendarChooser::chosenLocations() const
{
    std::vector<std::string> chosen;
    for (int s = 0; s < m_list->topLevelItemCount(); ++s) {
        QTreeWidgetItem* section = m_list->topLevelItem(s);
        for (int i = 0; i < section->childCount(); ++i) {
            if (section->child(i)->checkState(0) == Qt::Checked)
                chosen.push_back(section->child(i)->data(0, locationRole).toString().toStdString());
        }
    }
    return chosen;
}

bool CalendarChooser::setChecked(const std::string& location, bool checked)
{
    QTreeWidgetItem* item = findEntry(location);
    if (item)
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return item != nullptr;
}

void CalendarChooser::addFiles()
{
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Add File…"), QDir::homePath(),
                                                            tr("Calendars (*.ics);;All files (*)"));
    for (const QString& file : files)
        addEntry(localSection, {.location = file.toStdString(), .checked = true});
}

void CalendarChooser::addFolder()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Add Folder…"), QDir::homePath());
    if (!folder.isEmpty())
        addEntry(localSection, {.location = folder.toStdString(), .checked = true});
}

std::optional<std::vector<std::string>>
CalendarChooser::choose(QWidget* parent, const std::vector<std::string>& chosen)
{
    CalendarChooser dialog(parent);
    dialog.setLocations(chosen, CalendarAccess::likelyLocations());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenLocations();
}

}  // namespace nelvo
