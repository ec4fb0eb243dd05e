#include "ui/controls/side_icons.h"

#include "ui/symbols.h"

#include <QColor>
#include <QPainter>
#include <QPixmap>

// A resource in a static library is registered only when something asks for it.
static void initSideResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(side_icons);
        return true;
    }();
    (void)done;
}

namespace nelvo::SideIcons {

QIcon icon(const char* themeName, const char* fallbackResource)
{
    initSideResources();
    return Symbols::inTextColour(QIcon::fromTheme(QString::fromLatin1(themeName),
                                                  QIcon(QString::fromLatin1(fallbackResource))));
}

QPixmap tinted(const QIcon& icon, int size, const QColor& color, qreal devicePixelRatio)
{
    QPixmap pixmap = icon.pixmap(QSize(size, size), devicePixelRatio);
    if (pixmap.isNull())
        return pixmap;
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
    return pixmap;
}

QIcon calendar()
{
    return icon("x-office-calendar-symbolic", ":/side/icons/calendar.svg");
}
QIcon settings()
{
    return icon("emblem-system-symbolic", ":/side/icons/gear.svg");
}
QIcon search()
{
    return icon("system-search-symbolic", ":/side/icons/search.svg");
}

}  // namespace nelvo::SideIcons
