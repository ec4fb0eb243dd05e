#include "ui/symbols.h"

#include <QFile>

#include <map>

// Resources of a static library are linked only when something names them.
static void initResources()
{
    Q_INIT_RESOURCE(nelvo);
}

namespace nelvo::Symbols {

namespace {

// Theme names from the freedesktop icon naming rules, where one fits.
const std::map<QString, QString>& themeNames()
{
    static const std::map<QString, QString> names = {
        {QStringLiteral("calendar"), QStringLiteral("x-office-calendar")},
        {QStringLiteral("doc.on.doc"), QStringLiteral("edit-copy")},
        {QStringLiteral("gearshape"), QStringLiteral("preferences-system")},
        {QStringLiteral("square.and.arrow.up"), QStringLiteral("document-send")},
        {QStringLiteral("globe"), QStringLiteral("applications-internet")},
    };
    return names;
}

}  // namespace

namespace {

void ensureResources()
{
    static const bool initialised = (initResources(), true);
    (void)initialised;
}

}  // namespace

QIcon appIcon()
{
    ensureResources();
    return QIcon(QStringLiteral(":/nelvo/app.nelvo.Nelvo.svg"));
}

QIcon bundled(const QString& name)
{
    ensureResources();
    const QString path = QStringLiteral(":/nelvo/symbols/") + name + QStringLiteral(".svg");
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QIcon icon(const QString& name)
{
    const QIcon fallback = bundled(name);
    const auto theme = themeNames().find(name);
    if (theme == themeNames().end())
        return fallback;
    return QIcon::fromTheme(theme->second, fallback);
}

}  // namespace nelvo::Symbols
