#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QPushButton;
class QWidget;

namespace nelvo {

class CalloutBubble;
class Tour;
class UserDefaults;

// The hints shown once per user, each beside its control: the add-zone button's and the
// events button's of the first day with a meeting to free; and, on that events button, the
// one that asks for the user's address while invitations cannot tell which attendee is the
// user. What was shown is kept in the
// defaults; demo mode shows none, and none shows while the tour runs.
class Tips : public QObject {
    Q_OBJECT

public:
    enum class Tip { addZone, events, addresses };

    static constexpr const char* addZoneText =
        "See the same free time in a colleague's zone. Search by city or country.";
    static constexpr const char* eventsText =
        "Open a day's events to see what's booked. The \u00D7 beside a meeting frees that time "
        "here; your calendar isn't touched.";
    static constexpr const char* addressesText =
        "Some meetings are invitations that don't say which attendee is you, so they count "
        "even if you declined. Add your address in Settings.";
    static constexpr const char* addressesAction = "Add My Address";

    // `host` is the window the bubbles float in; `tour` (optional) holds tips back while it
    // runs.
    Tips(UserDefaults& defaults, bool demo, QWidget* host, Tour* tour = nullptr);

    static const char* defaultsKey(Tip tip);
    // The objectName of the control a tip points at.
    static const char* anchorName(Tip tip);

    // The addresses tip is offered only while `needed` holds; its button calls `open`.
    void setAddressesTip(std::function<bool()> needed, std::function<void()> open);

    bool wasShown(Tip tip) const;
    // Shows the first tip not yet seen whose control is on screen, unless one is showing.
    void offer();
    // Marks the tip seen and hides it: its close button, or the user used the control.
    void dismiss(Tip tip);
    bool isShowing(Tip tip) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(Tip tip);

    UserDefaults& m_defaults;
    bool m_demo;
    QPointer<QWidget> m_host;
    QPointer<Tour> m_tour;
    CalloutBubble* m_bubble = nullptr;
    Tip m_showing = Tip::addZone;
    QPointer<QWidget> m_watched;
    QPushButton* m_action = nullptr;
    std::function<bool()> m_addressesNeeded;
    std::function<void()> m_openAddresses;
};

}  // namespace nelvo
