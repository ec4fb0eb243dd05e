#include "ui/share/copy_button.h"

#include "app/availability_model.h"
#include "ui/canvas/motion.h"
#include "ui/commands.h"
#include "ui/share/clipboard_content.h"
#include "ui/share/copy_actions.h"
#include "ui/share/save_actions.h"
#include "ui/share/share_symbols.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QTimer>
#include <QVariantAnimation>

#include <algorithm>

namespace nelvo {

namespace {

// The button as a screen reader uses it: its first (default) action copies, as a click does;
// the menu is the second.
class CopyButtonInterface : public QAccessibleWidget {
public:
    explicit CopyButtonInterface(CopyButton* button)
        : QAccessibleWidget(button, QAccessible::ButtonMenu)
    {
    }

    CopyButton* button() const { return static_cast<CopyButton*>(widget()); }

    QStringList actionNames() const override { return {pressAction(), showMenuAction()}; }
    void doAction(const QString& name) override
    {
        if (!button()->isEnabled())
            return;
        if (name == pressAction())
            button()->click();
        else if (name == showMenuAction())
            button()->showMenu();
    }
};

QAccessibleInterface* accessibleFactory(const QString&, QObject* object)
{
    if (auto* button = qobject_cast<CopyButton*>(object))
        return new CopyButtonInterface(button);
    return nullptr;
}

}  // namespace

CopyButton::CopyButton(AvailabilityModel& model, QWidget* parent)
    : QToolButton(parent), m_model(model), m_reset(new QTimer(this)), m_longPress(new QTimer(this)),
      m_change(Motion::makeSpring(this, [this](const QVariant& value) {
          m_changeProgress = value.toDouble();
          update();
      }))
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    m_change->setStartValue(0.0);
    m_change->setEndValue(1.0);
    connect(m_change, &QVariantAnimation::finished, this, [this] {
        m_changeProgress = 1;
        update();
    });
    setObjectName(QStringLiteral("tour.copy"));
    const auto scale = [this] { return devicePixelRatioF(); };
    m_copy = new CopyActions(model, scale, this);
    m_save = new SaveActions(model, this, scale, this);

    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setPopupMode(QToolButton::MenuButtonPopup);
    setAccessibleName(tr("Copy availability"));
    setAccessibleDescription(tr("Press and hold for Copy as Table or Copy as Picture"));
    updateToolTip();

    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("copyMenu"));
    menu->setTitle(tr("More ways to copy"));
    menu->setAccessibleName(tr("More ways to copy"));
    menu->setToolTipsVisible(true);
    const auto entry = [menu](const char* symbol, const QString& text, const QString& help) {
        QAction* action = menu->addAction(ShareSymbols::icon(symbol), text);
        action->setToolTip(help);
        action->setStatusTip(help);
        return action;
    };
    m_copyTable = entry("tablecells", tr("Copy as Table"),
                        tr("Copy every time zone as a table, for notes and e-mail"));
    m_copyPicture =
        entry("photo", tr("Copy as Picture"), tr("Copy a picture of your availability, for chats"));
    menu->addSeparator();
    m_savePicture = entry("photo.badge.arrow.down", tr("Save Picture…"),
                          tr("Save a picture of your availability as a PNG file"));
    m_saveFile = entry("doc.badge.arrow.up", tr("Save as File…"),
                       tr("Save your availability as a Markdown file"));
    setMenu(menu);

    connect(this, &QToolButton::clicked, m_copy, &CopyActions::copyAvailability);
    connect(m_copyTable, &QAction::triggered, m_copy, &CopyActions::copyTable);
    connect(m_copyPicture, &QAction::triggered, m_copy, &CopyActions::copyPicture);
    connect(m_savePicture, &QAction::triggered, m_save, &SaveActions::savePicture);
    connect(m_saveFile, &QAction::triggered, m_save, &SaveActions::saveFile);
    connect(m_copy, &CopyActions::copied, this, &CopyButton::showCopied);
    // The zones rendered follow the settings and the model's own zone.
    connect(&m_model, &AvailabilityModel::renderOptionsChanged, this,
            &CopyButton::updateTableAvailability);
    updateTableAvailability();

    m_reset->setSingleShot(true);
    m_reset->setInterval(copiedMilliseconds);
    connect(m_reset, &QTimer::timeout, this, &CopyButton::showResting);
    m_longPress->setSingleShot(true);
    m_longPress->setInterval(
        std::max(300, style()->styleHint(QStyle::SH_ToolButton_PopupDelay, nullptr, this)));
    connect(m_longPress, &QTimer::timeout, this, [this] {
        m_openedByLongPress = true;
        setDown(false);
        showMenu();
    });
    showResting();
}

CopyButton::~CopyButton()
{
    // The commands stay with the window; without this button they have nothing to run.
    if (m_commands) {
        for (QAction* command :
             {m_commands->copyAvailability, m_commands->copyTable, m_commands->copyPicture,
              m_commands->savePicture, m_commands->saveFile})
            command->setEnabled(false);
    }
}

void CopyButton::useCommands(Commands& commands)
{
    m_commands = &commands;
    connect(commands.copyAvailability, &QAction::triggered, m_copy, &CopyActions::copyAvailability);
    connect(commands.copyTable, &QAction::triggered, m_copy, &CopyActions::copyTable);
    connect(commands.copyPicture, &QAction::triggered, m_copy, &CopyActions::copyPicture);
    connect(commands.savePicture, &QAction::triggered, m_save, &SaveActions::savePicture);
    connect(commands.saveFile, &QAction::triggered, m_save, &SaveActions::saveFile);
    for (QAction* command :
         {commands.copyAvailability, commands.copyPicture, commands.savePicture, commands.saveFile})
        command->setEnabled(true);
    updateTableAvailability();
    updateToolTip();
}

void CopyButton::updateToolTip()
{
    const QKeySequence shortcut = m_commands && !m_commands->copyAvailability->shortcut().isEmpty()
                                      ? m_commands->copyAvailability->shortcut()
                                      : QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C);
    setToolTip(tr("Copy your availability to paste anywhere (%1). The arrow has Copy as Table, "
                  "Copy as Picture and the saves.")
                   .arg(shortcut.toString(QKeySequence::NativeText)) +
               (m_warning.isEmpty() ? QString() : QLatin1Char('\n') + m_warning));
}

void CopyButton::setWarning(const QString& warning)
{
    if (warning == m_warning)
        return;
    m_warning = warning;
    updateToolTip();
}

void CopyButton::showCopied()
{
    m_showingCopied = true;
    showText(tr("Copied"), "checkmark");
    m_reset->start();  // a new copy restarts the wait
}

void CopyButton::showResting()
{
    m_showingCopied = false;
    showText(tr("Copy availability"), "doc.on.doc");
}

void CopyButton::showText(const QString& text, const char* symbol)
{
    if (text == this->text())
        return;
    // The first text comes without motion: there is nothing yet to change from.
    const bool animate = !this->text().isEmpty() && Motion::isAllowed();
    setText(text);
    setIcon(ShareSymbols::icon(symbol));
    m_change->stop();
    m_changeProgress = 1;
    if (animate)
        m_change->start();
}

void CopyButton::paintEvent(QPaintEvent* event)
{
    if (m_changeProgress >= 1) {
        QToolButton::paintEvent(event);
        return;
    }
    // The new text and symbol rise into place and fade in; the frame stays put.
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    QStyleOptionToolButton frame = option;
    frame.text.clear();
    frame.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, frame);
    QStyleOptionToolButton label = option;
    label.rect =
        style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButton, this);
    painter.setClipRect(label.rect);
    painter.setOpacity(std::clamp(m_changeProgress, 0.0, 1.0));
    painter.translate(0, (1 - m_changeProgress) * height() * 0.5);
    painter.drawControl(QStyle::CE_ToolButtonLabel, label);
}

void CopyButton::updateTableAvailability()
{
    // The table needs two zones; with one, offering it would do nothing.
    const bool hasTable = ClipboardContent::offersTable(m_model);
    m_copyTable->setEnabled(hasTable);
    if (m_commands)
        m_commands->copyTable->setEnabled(hasTable);
}

QSize CopyButton::sizeHint() const
{
    // As wide as the wider of its two texts, so the toolbar does not shift when it changes.
    QSize hint = QToolButton::sizeHint();
    const QFontMetrics metrics(font());
    const int difference = metrics.size(Qt::TextShowMnemonic, tr("Copy availability")).width() -
                           metrics.size(Qt::TextShowMnemonic, text()).width();
    hint.rwidth() += std::max(0, difference);
    return hint;
}

bool CopyButton::isOnArrow(const QPoint& position) const
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const QRect arrow =
        style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
    return arrow.contains(position);
}

void CopyButton::mousePressEvent(QMouseEvent* event)
{
    m_openedByLongPress = false;
    if (event->button() == Qt::LeftButton && !isOnArrow(event->position().toPoint()))
        m_longPress->start();
    QToolButton::mousePressEvent(event);
}

void CopyButton::mouseReleaseEvent(QMouseEvent* event)
{
    m_longPress->stop();
    if (m_openedByLongPress) {
        // The press opened the menu; its release is not a click.
        m_openedByLongPress = false;
        setDown(false);
        event->accept();
        return;
    }
    QToolButton::mouseReleaseEvent(event);
}

}  // namespace nelvo
