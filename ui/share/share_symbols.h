#pragma once

#include <QIcon>

namespace nelvo {

// The symbols of the copy, save and share controls: the icon theme's icon where the desktop
// has one, otherwise the bundled drawing, so the controls never show a blank. Drawn in the
// palette's text colour, except the green checkmark.
namespace ShareSymbols {

// `name` as the design names it ("doc.on.doc", "checkmark", "square.and.arrow.up", ...).
QIcon icon(const char* name);

}  // namespace ShareSymbols

}  // namespace nelvo
