#pragma once

#include "app/calendar_access.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace nelvo {

struct CalendarInfo;
class WebCalendarSource;

// The dialog in which the user chooses the calendars Nelvo may read, each with a check box:
// first the desktop's own calendars, one section per account, then "Files and folders": the
// calendar files and folders found or chosen before, and those added with "Add File…" and
// "Add Folder…", and the calendar addresses chosen before or added with "Add Address…". An
// address is shown by its calendar's name and host only: it is a secret.
class CalendarChooser : public QDialog {
    Q_OBJECT
public:
    explicit CalendarChooser(QWidget* parent = nullptr);

    // Lists the desktop's calendars (in the order given, grouped by account) above the
    // files; those whose identifier is in `chosen` are checked.
    void setDesktopCalendars(const std::vector<CalendarInfo>& calendars,
                             const std::vector<std::string>& chosen);
    // Fills "Files and folders" with the locations chosen before (checked) and the likely
    // ones not among them (unchecked).
    void setLocations(const std::vector<std::string>& chosen,
                      const std::vector<std::string>& likely);
    // Lists the calendar addresses chosen before, checked, by their saved copies' names.
    void setWebCalendars(const std::vector<std::string>& chosen);

    int sectionCount() const;
    // The checked entries, each kind in list order.
    CalendarChoice choice() const;
    // Checks or unchecks an entry by its location or desktop calendar identifier; false
    // when there is none.
    bool setChecked(const std::string& key, bool checked);

    // Runs the dialog over the earlier choice, the desktop's calendars and the likely
    // locations: the choice, or nothing when the user cancelled. With nothing chosen yet,
    // the desktop's calendars start checked, birthdays and subscriptions aside.
    static std::optional<CalendarChoice> choose(QWidget* parent, const CalendarChoice& chosen,
                                                const std::vector<CalendarInfo>& desktop);

private:
    enum class Kind { desktop, file, web };
    struct Entry {
        Kind kind;
        std::string key;  // the location, or the desktop calendar's identifier
        QString label;
        QString detail;  // the tooltip
        bool checked;
    };

    QTreeWidgetItem* addSection(const QString& title, int index);
    void addEntry(QTreeWidgetItem* section, const Entry& entry);
    void addLocation(const std::string& location, bool checked);
    void addFiles();
    void addFolder();
    void addAddress();
    // Adds an address, checked, and fetches it to learn its calendar's name.
    void addWebCalendar(const std::string& address, const QString& label);
    QTreeWidgetItem* findEntry(const std::string& key) const;
    void updateHint();

    QTreeWidget* m_list;
    QTreeWidgetItem* m_files;  // the "Files and folders" section, always last
    QPushButton* m_addFile;
    QPushButton* m_addFolder;
    QPushButton* m_addAddress;
    // The fetches of addresses added here, which name their entries once they end.
    std::vector<std::shared_ptr<WebCalendarSource>> m_fetches;
    QWidget* m_emptyHint = nullptr;  // shown while no section lists anything
};

}  // namespace nelvo
