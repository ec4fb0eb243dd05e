#include "ui/share/copy_button.h"

#include "app/availability_model.h"
#include "ui/commands.h"
#include "ui/share/copy_actions.h"
#include "ui/share/save_actions.h"
#include "ui/share/share_symbols.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QTimer>

namespace nelvo {

CopyButton::CopyButton(AvailabilityModel& model, QWidget* parent)
    : QToolButton(parent), m_model(model), m_reset(new QTimer(this)), m_longPress(new QTimer(this))
{
    setObjectName(QStringLiteral("tour.copy"));
    const auto scale = [this] { return devicePixelRatioF(); };
    m_copy = new CopyActions(model, scale, {}, this);
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
    connect(&m_model, &AvailabilityModel::settingsChanged, this,
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
                   .arg(shortcut.toString(QKeySequence::NativeText)));
}

void CopyButton::showCopied()
{
    m_showingCopied = true;
    setText(tr("Copied"));
    setIcon(ShareSymbols::icon("checkmark"));
    m_reset->start();  // a new copy restarts the wait
}

void CopyButton::showResting()
{
    m_showingCopied = false;
    setText(tr("Copy availability"));
    setIcon(ShareSymbols::icon("doc.on.doc"));
}

void CopyButton::updateTableAvailability()
{
    // The table needs two zones; with one, offering it would do nothing.
    const bool hasTable = m_model.settings().renderZones(TimeZone::system()).size() >= 2;
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
