#pragma once

#include <QToolButton>

class QMenu;

namespace nelvo {

class AvailabilityModel;
class CopyActions;
class ShareMenu;

// "Share": opens the Share menu of the destinations this desktop offers. The menu is the
// window's own (it is also in the menu bar), or one of the button's when it has none.
class ShareButton : public QToolButton {
    Q_OBJECT
public:
    ShareButton(AvailabilityModel& model, CopyActions& copy, QMenu* menu = nullptr,
                QWidget* parent = nullptr);
    ~ShareButton() override;

    ShareMenu& shareMenu() const { return *m_share; }

private:
    ShareMenu* m_share;
};

}  // namespace nelvo
