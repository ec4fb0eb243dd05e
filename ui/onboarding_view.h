#pragma once

#include "app/calendar_access.h"

#include <QWidget>

class QStackedLayout;
class QWidget;

namespace nelvo {

class OnboardingCard;

// The first-run pages, one card each: what the program does, what leaves it, and the
// calendar access. With `accessOnly` only the access page shows (a returning user whose
// calendars cannot be read). Emits `finished` once access is granted (in demo mode, on
// "Allow access" alone: the demo calendar needs no access).
class OnboardingView : public QWidget {
    Q_OBJECT
public:
    static constexpr int lastPage = 2;

    // Texts of the pages and of the refused access.
    static QString title(int page);
    static QString body(int page);
    static QString deniedText();

    OnboardingView(CalendarAccess& access, CalendarAccess::Chooser chooser, bool accessOnly,
                   bool demo, QWidget* parent = nullptr);

    bool isAccessOnly() const { return m_accessOnly; }
    int page() const { return m_page; }
    void setPage(int page);
    OnboardingCard* card() const;

Q_SIGNALS:
    void finished();
    void pageChanged(int page);

protected:
    // Return and Enter press the page's button, as in a dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    OnboardingCard* makeCard(int page);
    void updateAccessCard();
    void allowAccess();
    void reopenChooser();
    void finishIfGranted();

    CalendarAccess& m_access;
    CalendarAccess::Chooser m_chooser;
    bool m_accessOnly;
    bool m_demo;
    bool m_finished = false;
    int m_page;
    QStackedLayout* m_pages;
    std::vector<OnboardingCard*> m_cards;  // by page; null for pages not shown
    QWidget* m_dots;
};

}  // namespace nelvo
