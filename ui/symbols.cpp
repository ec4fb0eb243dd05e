#include "ui/symbols.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

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

// Paints the source icon's shape in the palette's colour for the mode asked.
class TextColourEngine final : public QIconEngine {
public:
    explicit TextColourEngine(QIcon source) : m_source(std::move(source)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        QPixmap shape = m_source.pixmap(size, scale, QIcon::Normal, state);
        if (shape.isNull())
            return shape;
        QPainter painter(&shape);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(shape.rect(), colour(mode));
        return shape;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_source.actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return m_source.availableSizes(mode, state);
    }
    bool isNull() override { return m_source.isNull(); }
    QString key() const override { return QStringLiteral("nelvo.textColour"); }
    QIconEngine* clone() const override { return new TextColourEngine(m_source); }

private:
    static QColor colour(QIcon::Mode mode)
    {
        const QPalette palette = QGuiApplication::palette();
        switch (mode) {
        case QIcon::Disabled:
            return palette.color(QPalette::Disabled, QPalette::ButtonText);
        case QIcon::Selected:
            return palette.color(QPalette::Active, QPalette::HighlightedText);
        default:
            return palette.color(QPalette::Active, QPalette::ButtonText);
        }
    }

    QIcon m_source;
};

}  // namespace

QIcon inTextColour(const QIcon& icon)
{
    return icon.isNull() ? icon : QIcon(new TextColourEngine(icon));
}

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
