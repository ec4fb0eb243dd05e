#include "ui/share/share_symbols.h"

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

// Names from the freedesktop icon naming rules.
const char* themeName(const char* name)
{
    static constexpr std::pair<const char*, const char*> names[] = {
        {"doc.on.doc", "edit-copy"},
        {"checkmark", "object-select"},
        {"tablecells", "x-office-spreadsheet"},
        {"photo", "image-x-generic"},
        {"photo.badge.arrow.down", "document-save-as"},
        {"doc.badge.arrow.up", "document-save"},
        {"square.and.arrow.up", "document-send"},
        {"envelope", "mail-message-new"},
        {"iphone", "phone"},
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
    const char* theme = themeName(name);
    return theme ? QIcon::fromTheme(QLatin1String(theme), bundled) : bundled;
}

}  // namespace nelvo::ShareSymbols
