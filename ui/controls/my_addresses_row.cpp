#include "ui/controls/my_addresses_row.h"

#include "app/availability_model.h"
#include "app/ics_document.h"
#include "kit/store/user_defaults.h"
#include "ui/controls/settings_text.h"
#include "ui/defaults_keys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace nelvo {
namespace {

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const QString accountNote =
    QStringLiteral("Your desktop account's own address: it counts as yours in that account's "
                   "calendars. Change it in the account's settings.");

bool sameAddress(const std::string& a, const std::string& b)
{
    return lowered(a) == lowered(b);
}

using SettingsText::note;

bool holds(const std::vector<std::string>& list, const std::string& address)
{
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& known) { return sameAddress(known, address); });
}

}  // namespace

MyAddressesRow::MyAddressesRow(AvailabilityModel& model, UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), m_model(model), m_defaults(defaults), m_list(new QVBoxLayout),
      m_field(new QLineEdit(this)), m_add(new QPushButton(QStringLiteral("Add"), this)),
      m_problem(note({}, this))
{
    setObjectName(QStringLiteral("myAddresses"));
    QLabel* title = SettingsText::heading(QStringLiteral("My Addresses"), this);

    m_field->setPlaceholderText(QStringLiteral("name@example.com"));
    m_field->setAccessibleName(QStringLiteral("New address"));
    m_add->setAccessibleName(QStringLiteral("Add address"));
    m_add->setEnabled(false);
    m_problem->setVisible(false);
    auto* entry = new QHBoxLayout;
    entry->setSpacing(6);
    entry->addWidget(m_field, 1);
    entry->addWidget(m_add);

    m_list->setContentsMargins(0, 0, 0, 0);
    m_list->setSpacing(2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(title);
    layout->addLayout(m_list);
    layout->addLayout(entry);
    layout->addWidget(m_problem);
    layout->addWidget(
        note(QStringLiteral("Nelvo finds your answer to an invitation by these addresses, so a "
                            "meeting you declined stops counting."),
             this));

    connect(m_field, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_add->setEnabled(!text.trimmed().isEmpty());
        m_problem->setVisible(false);
    });
    const auto addTyped = [this] {
        if (add(m_field->text().trimmed().toStdString())) {
            m_field->clear();
        } else {
            m_problem->setText(QStringLiteral("That is not an e-mail address."));
            m_problem->setVisible(true);
            Q_EMIT resized();
        }
    };
    connect(m_add, &QPushButton::clicked, this, addTyped);
    connect(m_field, &QLineEdit::returnPressed, this, addTyped);
    // Suggestions come from what the calendars hold.
    connect(&m_model, &AvailabilityModel::eventsChanged, this, &MyAddressesRow::rebuild);
    connect(&m_model, &AvailabilityModel::calendarsChanged, this, &MyAddressesRow::rebuild);
    connect(&m_model, &AvailabilityModel::accountAddressesChanged, this, &MyAddressesRow::rebuild);
    rebuild();
}

std::vector<std::string> MyAddressesRow::addresses() const
{
    return m_defaults.stringList(DefaultsKeys::calendarAddresses)
        .value_or(std::vector<std::string>{});
}

bool MyAddressesRow::add(const std::string& address)
{
    if (!IcsDocument::isEmailAddress(address))
        return false;
    store([&](std::vector<std::string>& list) {
        if (!holds(list, address))
            list.push_back(address);
    });
    return true;
}

void MyAddressesRow::remove(const std::string& address)
{
    store([&](std::vector<std::string>& list) {
        std::erase_if(list, [&](const std::string& known) { return sameAddress(known, address); });
    });
}

void MyAddressesRow::store(const std::function<void(std::vector<std::string>&)>& edit)
{
    // A read-modify-write under the defaults' lock: `nelvo` may change the list meanwhile.
    m_defaults.update(DefaultsKeys::calendarAddresses,
                      [&](const std::optional<UserDefaults::Value>& current)
                          -> std::optional<UserDefaults::Value> {
                          std::vector<std::string> list;
                          if (current)
                              if (const auto* stored =
                                      std::get_if<std::vector<std::string>>(&*current))
                                  list = *stored;
                          edit(list);
                          return list;
                      });
    m_model.setAddresses(addresses());
    rebuild();
}

void MyAddressesRow::rebuild()
{
    // Later, not now: the button that asked for this may still be in its click.
    const auto drop = [](QWidget* widget) {
        if (widget) {
            widget->hide();
            widget->deleteLater();
        }
    };
    while (QLayoutItem* item = m_list->takeAt(0)) {
        if (QLayout* row = item->layout()) {
            while (QLayoutItem* child = row->takeAt(0)) {
                drop(child->widget());
                delete child;
            }
        }
        drop(item->widget());
        delete item;
    }
    // The accounts' own first: they count whatever is stored, so they have no Remove here.
    const std::vector<std::string>& accounts = m_model.accountAddresses();
    for (const std::string& address : accounts) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(QString::fromStdString(address), this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAccessibleDescription(accountNote);
        QLabel* tag = note(QStringLiteral("From your accounts"), this);
        tag->setWordWrap(false);
        tag->setToolTip(accountNote);
        row->addWidget(label, 1);
        row->addWidget(tag);
        m_list->addLayout(row);
    }
    std::vector<std::string> own = addresses();
    std::erase_if(own, [&](const std::string& address) { return holds(accounts, address); });
    for (const std::string& address : own) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(QString::fromStdString(address), this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* remove = new QPushButton(QStringLiteral("Remove"), this);
        remove->setFlat(true);
        remove->setAccessibleName(QStringLiteral("Remove ") + QString::fromStdString(address));
        connect(remove, &QPushButton::clicked, this, [this, address] { this->remove(address); });
        row->addWidget(label, 1);
        row->addWidget(remove);
        m_list->addLayout(row);
    }
    if (own.empty() && accounts.empty())
        m_list->addWidget(note(QStringLiteral("None yet."), this));

    m_suggestions.clear();
    std::vector<std::string> known = own;
    known.insert(known.end(), accounts.begin(), accounts.end());
    for (const AnsweredAddress& candidate : m_model.addressSuggestions(known)) {
        if (static_cast<int>(m_suggestions.size()) == maxSuggestions)
            break;
        m_suggestions.push_back(candidate.address);
        auto* row = new QHBoxLayout;
        const QString address = QString::fromStdString(candidate.address);
        auto* label = new QLabel(QStringLiteral("%1 \u2014 answered %2 %3")
                                     .arg(address)
                                     .arg(candidate.events)
                                     .arg(candidate.events == 1 ? QStringLiteral("invitation")
                                                                : QStringLiteral("invitations")),
                                 this);
        label->setWordWrap(true);
        auto* add = new QPushButton(QStringLiteral("Add"), this);
        add->setAccessibleName(QStringLiteral("Add ") + address);
        add->setAccessibleDescription(QStringLiteral("Suggested: it answered invitations in your "
                                                     "calendars"));
        connect(add, &QPushButton::clicked, this, [this, a = candidate.address] { this->add(a); });
        row->addWidget(label, 1);
        row->addWidget(add);
        m_list->addLayout(row);
    }
    Q_EMIT resized();
}

}  // namespace nelvo
