#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace nelvo {

// The dialog in which the user chooses the calendars Nelvo may read: sections of entries with
// a check box each ("On this computer": the files and folders found or chosen before, and
// those added with "Add File…" and "Add Folder…"). Other kinds of calendars come as sections
// of their own, each entry carrying the location text that is kept for it.
class CalendarChooser : public QDialog {
    Q_OBJECT
public:
    struct Entry {
        std::string location{};  // what is kept when the entry is checked
        QString label{};         // empty: the location, with the home folder as "~"
        QString detail{};        // a tooltip; empty: the location
        bool checked = false;
    };

    explicit CalendarChooser(QWidget* parent = nullptr);

    // Fills "On this computer" with the locations chosen before (checked) and the likely
    // ones not among them (unchecked).
    void setLocations(const std::vector<std::string>& chosen,
                      const std::vector<std::string>& likely);
    // Adds a section below the others; its entries follow the same rules. Returns the
    // section's index.
    int addSection(const QString& title, const std::vector<Entry>& entries);
    // Adds an entry, checked, to a section, unless one with that location is there; then
    // that one is checked.
    void addEntry(int section, const Entry& entry);

    int sectionCount() const;
    // The checked locations, section by section, in list order.
    std::vector<std::string> chosenLocations() const;
    // Checks or unchecks an entry by its location; false when there is none.
    bool setChecked(const std::string& location, bool checked);

    // Runs the dialog over the earlier choice and the likely locations: the chosen
    // locations, or nothing when the user cancelled.
    static std::optional<std::vector<std::string>> choose(QWidget* parent,
                                                          const std::vector<std::string>& chosen);

private:
    void addFiles();
    void addFolder();
    QTreeWidgetItem* findEntry(const std::string& location) const;
    void updateHint();

    QTreeWidget* m_list;
    QPushButton* m_addFile;
    QPushButton* m_addFolder;
    QWidget* m_emptyHint = nullptr;  // shown while no section lists anything
};

}  // namespace nelvo
