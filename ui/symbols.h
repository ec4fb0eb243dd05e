#pragma once

#include <QIcon>
#include <QString>

namespace nelvo {

// The window's symbols, named as the design names them ("calendar.badge.clock"): the icon
// theme's icon for the name when the desktop has one, otherwise the bundled picture.
namespace Symbols {

QIcon icon(const QString& name);
// Always the bundled picture, for places whose look must not vary with the desktop.
QIcon bundled(const QString& name);
// The application's own icon (the one installed for the desktop file).
QIcon appIcon();
// `icon` drawn in the application palette's text colour, read each time it is drawn: a
// one-colour symbol stays visible when the desktop turns dark, as the desktop's own do.
QIcon inTextColour(const QIcon& icon);

}  // namespace Symbols

}  // namespace nelvo
