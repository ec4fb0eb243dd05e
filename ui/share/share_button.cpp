#include "ui/share/share_button.h"

#include "ui/share/share_menu.h"
#include "ui/share/share_symbols.h"

#include <QMenu>

namespace nelvo {

ShareButton::ShareButton(AvailabilityModel& model, CopyActions& copy, QMenu* menu, QWidget* parent)
    : QToolButton(parent)
{
    setObjectName(QStringLiteral("shareButton"));
    setText(tr("Share"));
    setIcon(ShareSymbols::icon("square.and.arrow.up"));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setToolTip(tr("Send your availability with e-mail, a phone, or another app"));
    setAccessibleName(tr("Share"));
    setAccessibleDescription(tr("Opens the share menu"));
    if (!menu) {
        menu = new QMenu(tr("Share"), this);
        menu->setObjectName(QStringLiteral("shareMenu"));
    }
    menu->setToolTipsVisible(true);
    setMenu(menu);
    setPopupMode(QToolButton::InstantPopup);
    const auto scale = [this] { return devicePixelRatioF(); };
    m_share = new ShareMenu(model, menu, copy, scale, this);
}

ShareButton::~ShareButton() = default;

}  // namespace nelvo
