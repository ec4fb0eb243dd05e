#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace nelvo {

class AvailabilityModel;
class UserDefaults;

// "My Addresses" in the settings: the calendar addresses that are the user's, by which an
// invitation's attendees tell the user's own answer, so a declined invitation stops counting.
// They live in "calendars.addresses", where `nelvo print` reads them too. The desktop
// accounts' own addresses come first, marked as such and without Remove: each counts in its
// account's calendars whatever is stored. Attendees who answered invitations in the chosen
// calendars are offered, most events first; nothing is added without the user's click.
class MyAddressesRow : public QWidget {
    Q_OBJECT

public:
    // At most this many suggestions are offered.
    static constexpr int maxSuggestions = 3;

    MyAddressesRow(AvailabilityModel& model, UserDefaults& defaults, QWidget* parent = nullptr);

    // The stored addresses, as the user wrote them.
    std::vector<std::string> addresses() const;
    QLineEdit* field() const { return m_field; }
    QPushButton* addButton() const { return m_add; }
    // The suggestions offered now, best first.
    const std::vector<std::string>& suggestions() const { return m_suggestions; }

    // Adds an address unless it is already there (in any case); false for text that is no
    // e-mail address. The calendars are read again with it.
    bool add(const std::string& address);
    void remove(const std::string& address);

Q_SIGNALS:
    // The row changed its height.
    void resized();

private:
    void rebuild();
    void store(const std::function<void(std::vector<std::string>&)>& edit);

    AvailabilityModel& m_model;
    UserDefaults& m_defaults;
    QVBoxLayout* m_list;
    QLineEdit* m_field;
    QPushButton* m_add;
    QLabel* m_problem;
    std::vector<std::string> m_suggestions;
};

}  // namespace nelvo
