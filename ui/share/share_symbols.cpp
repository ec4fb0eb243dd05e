#include "ui/share/share_symbols.h"

#include "ui/symbols.h"

#include <QFile>
#include <QString>

#include <cstring>

// The resources of a static library are linked only when something names them.
static void initShareSymbols()
{
    Q_INIT_RESOURCE(share_symbols);
}

namespace nelvo::ShareSymbols {

namespace {

// Names from the freedesktop icon naming rules; the one-colour variants, since they are drawn
// in the palette's text colour. The checkmark keeps its own green and has no theme name.
const char* themeName(const char* name)
{
    static constexpr std::pair<const char*, const char*> names[] = {
        {"doc.on.doc", "edit-copy-symbolic"},
        {"tablecells", "x-office-spreadsheet-symbolic"},
        {"photo", "image-x-generic-symbolic"},
        {"photo.badge.arrow.down", "document-save-as-symbolic"},
        {"doc.badge.arrow.up", "document-save-symbolic"},
        {"square.and.arrow.up", "document-send-symbolic"},
        {"envelope", "mail-message-new-symbolic"},
        {"iphone", "phone-symbolic"},
    };
    for (const auto& [symbol, theme] : names) {
        if (std::strcmp(symbol, name) == 0)
            return theme;
    }
    return nullptr;
}

}  // namespace

QIcon icon(const char* name)
{
    static const bool initialised = (initShareSymbols(), true);
    (void)initialised;
    const QString path = QStringLiteral(":/nelvo/share/symbols/") + QLatin1String(name) + ".svg";
    const QIcon bundled = QFile::exists(path) ? QIcon(path) : QIcon();
    if (std::strcmp(name, "checkmark") == 0)
        return bundled;
    const char* theme = themeName(name);
    return Symbols::inTextColour(theme ? QIcon::fromTheme(QLatin1String(theme), bundled) : bundled);
}

}  // namespace nelvo::ShareSymbols
