#include "ui/share/share_menu.h"

#include "app/availability_model.h"
#include "ui/share/copy_actions.h"
#include "ui/share/share_attachments.h"
#include "ui/share/share_content.h"
#include "ui/share/share_symbols.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace nelvo {

namespace {

constexpr const char* composer = "xdg-email";
constexpr const char* mimeTool = "xdg-mime";
constexpr const char* deviceTool = "kdeconnect-cli";
// A device list that takes longer than this is given up; the menu shows what it had.
constexpr int listingTimeoutMilliseconds = 5000;

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

bool isInstalled(const char* program)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

}  // namespace

ShareMenu::ShareMenu(AvailabilityModel& model, QMenu* menu, CopyActions& copy, Scale scale,
                     QObject* parent)
    : QObject(parent), m_model(model), m_menu(menu), m_copy(copy), m_scale(std::move(scale)),
      m_attachments(std::make_unique<ShareAttachments>())
{
    if (m_menu)
        connect(m_menu, &QMenu::aboutToShow, this, &ShareMenu::refresh);
    refresh();
}

ShareMenu::~ShareMenu()
{
    // The entries are children of this object: deleting them takes them out of the menu.
    if (m_listing)
        m_listing->kill();
    if (m_handlerQuery)
        m_handlerQuery->kill();
    // A composer still running may be the mail program itself: it outlives the menu.
    for (QProcess* running : findChildren<QProcess*>(QStringLiteral("composer"))) {
        if (running->state() == QProcess::NotRunning)
            continue;  // ended, its deleteLater not yet run: it goes with the menu
        running->disconnect(this);
        running->setParent(nullptr);
        connect(running, &QProcess::finished, running, &QObject::deleteLater);
    }
    if (m_menu)
        m_menu->setEnabled(false);
}

QMenu* ShareMenu::menu() const
{
    return m_menu;
}

bool ShareMenu::isSandboxed()
{
    return QFile::exists(QStringLiteral("/.flatpak-info")) || qEnvironmentVariableIsSet("SNAP");
}

std::vector<ShareMenu::Device> ShareMenu::parseDevices(const QByteArray& listing)
{
    std::vector<Device> devices;
    for (const QByteArray& rawLine : listing.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        if (line.isEmpty() || space <= 0)
            continue;
        const QString name = line.mid(space + 1).trimmed();
        devices.emplace_back(line.left(space), name.isEmpty() ? line.left(space) : name);
    }
    return devices;
}

QString ShareMenu::composerFailure(int exitCode, const QByteArray& errors)
{
    const QList<QByteArray> lines = errors.trimmed().split('\n');
    const QString said = QString::fromUtf8(lines.last()).trimmed().left(300);
    if (!said.isEmpty())
        return said;
    switch (exitCode) {
    case 1:
        return tr("xdg-email did not understand the message it was given.");
    case 2:
        return tr("An attachment could not be found.");
    case 3:
        return tr("No program to write e-mail was found.");
    case 5:
        return tr("Permission to open the e-mail program was denied.");
    default:
        return tr("The e-mail program failed to start (xdg-email ended with %1).").arg(exitCode);
    }
}

void ShareMenu::refresh()
{
    if (!isInstalled(mimeTool))
        m_hasMailHandler = false;
    m_hasComposer = isSandboxed() || (isInstalled(composer) && m_hasMailHandler);
    if (!isInstalled(deviceTool))
        m_devices.clear();
    rebuild();
    findMailHandler();
    listDevices();
}

void ShareMenu::findMailHandler()
{
    // The portal reaches the composer the sandbox allows; outside one, xdg-email opens
    // whatever handles mailto: links, and without one it can only fail.
    if (m_handlerQuery || isSandboxed() || !isInstalled(composer) || !isInstalled(mimeTool))
        return;
    auto* query = new QProcess(this);
    m_handlerQuery = query;
    connect(query, &QProcess::finished, this, [this, query](int code, QProcess::ExitStatus status) {
        query->deleteLater();
        const bool found = status == QProcess::NormalExit && code == 0 &&
                           !query->readAllStandardOutput().trimmed().isEmpty();
        if (found != m_hasMailHandler) {
            m_hasMailHandler = found;
            m_hasComposer = found && isInstalled(composer);
            rebuild();
        }
    });
    connect(query, &QProcess::errorOccurred, this, [query](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            query->deleteLater();
    });
    QTimer::singleShot(listingTimeoutMilliseconds, query, [query] { query->kill(); });
    query->start(QString::fromLatin1(mimeTool), {QStringLiteral("query"), QStringLiteral("default"),
                                                 QStringLiteral("x-scheme-handler/mailto")});
}

void ShareMenu::listDevices()
{
    if (m_listing || !isInstalled(deviceTool))
        return;
    auto* listing = new QProcess(this);
    m_listing = listing;
    connect(listing, &QProcess::finished, this,
            [this, listing](int code, QProcess::ExitStatus status) {
                listing->deleteLater();
                const bool listed = status == QProcess::NormalExit && code == 0;
                auto devices =
                    listed ? parseDevices(listing->readAllStandardOutput()) : std::vector<Device>{};
                if (devices != m_devices) {
                    m_devices = std::move(devices);
                    rebuild();
                }
            });
    connect(listing, &QProcess::errorOccurred, this, [listing](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            listing->deleteLater();
    });
    QTimer::singleShot(listingTimeoutMilliseconds, listing, [listing] { listing->kill(); });
    listing->start(QString::fromLatin1(deviceTool),
                   {QStringLiteral("--list-available"), QStringLiteral("--id-name-only")});
}

void ShareMenu::rebuild()
{
    if (!m_menu)
        return;
    qDeleteAll(m_entries);
    m_entries.clear();
    const auto add = [this](QAction* entry) {
        m_entries.push_back(entry);
        m_menu->addAction(entry);
        return entry;
    };

    if (m_hasComposer) {
        QAction* email = add(new QAction(ShareSymbols::icon("envelope"), tr("E-mail…"), this));
        email->setObjectName("share.email");
        email->setToolTip(tr("Write an e-mail with your availability and its picture"));
        connect(email, &QAction::triggered, this, &ShareMenu::shareByEmail);
    }
    for (const auto& [id, name] : m_devices) {
        QAction* device = add(new QAction(ShareSymbols::icon("iphone"), name, this));
        device->setObjectName("share.device." + id);
        device->setToolTip(tr("Send the picture of your availability to %1").arg(name));
        connect(device, &QAction::triggered, this, [this, id = id] { shareToDevice(id); });
    }
    if (!m_entries.empty())
        add(new QAction(this))->setSeparator(true);
    QAction* copy = add(new QAction(ShareSymbols::icon("doc.on.doc"), tr("Copy"), this));
    copy->setObjectName("share.copy");
    copy->setToolTip(tr("Copy your availability and its picture to paste into another app"));
    connect(copy, &QAction::triggered, &m_copy, &CopyActions::copyTextAndPicture);
    m_menu->setEnabled(true);
    Q_EMIT destinationsChanged();
}

ShareContent ShareMenu::content() const
{
    return ShareContent::of(m_model, m_scale ? m_scale() : 1.0);
}

void ShareMenu::shareByEmail()
{
    const ShareContent shared = content();
    std::vector<QString> files;
    if (const auto folder = m_attachments->newFolder()) {
        const QString stem = qs(shared.fileNameStem);
        if (shared.png) {
            if (auto path = ShareAttachments::write(*folder, stem + ".png", *shared.png))
                files.push_back(*path);
        }
        if (auto path = ShareAttachments::write(*folder, stem + ".html",
                                                QByteArray::fromStdString(shared.emailHTML)))
            files.push_back(*path);
    }
    if (isSandboxed() && composeWithPortal(shared, files))
        return;
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), qs(shared.title),
                          QStringLiteral("--body"), qs(shared.text)};
    for (const QString& file : files)
        arguments << QStringLiteral("--attach") << file;
    auto* process = new QProcess(this);
    process->setObjectName(QStringLiteral("composer"));
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setStandardOutputFile(QProcess::nullDevice());
    connect(process, &QProcess::finished, this,
            [this, process](int code, QProcess::ExitStatus status) {
                process->deleteLater();
                if (status != QProcess::NormalExit)
                    composerFailed(tr("xdg-email stopped unexpectedly."));
                else if (code != 0)
                    composerFailed(composerFailure(code, process->readAllStandardError()));
            });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        composerFailed(tr("xdg-email could not be started: %1").arg(process->errorString()));
    });
    process->start(QString::fromLatin1(composer), arguments);
}

void ShareMenu::composerFailed(const QString& cause)
{
    QWidget* window = QApplication::activeWindow();
    auto* box = new QMessageBox(QMessageBox::Warning, tr("Couldn't write the e-mail"),
                                tr("Couldn't write the e-mail"), QMessageBox::Ok, window);
    box->setObjectName(QStringLiteral("share.emailFailed"));
    box->setInformativeText(cause);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool ShareMenu::composeWithPortal(const ShareContent& shared, const std::vector<QString>& files)
{
    qDBusRegisterMetaType<QList<QDBusUnixFileDescriptor>>();
    QList<QDBusUnixFileDescriptor> descriptors;
    for (const QString& path : files) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            descriptors.append(QDBusUnixFileDescriptor(file.handle()));  // duplicates the handle
    }
    QVariantMap options{{QStringLiteral("subject"), qs(shared.title)},
                        {QStringLiteral("body"), qs(shared.text)}};
    if (!descriptors.isEmpty())
        options.insert(QStringLiteral("attachment_fds"), QVariant::fromValue(descriptors));
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Email"), QStringLiteral("ComposeEmail"));
    call << QString() << options;
    return QDBusConnection::sessionBus().send(call);
}

void ShareMenu::shareToDevice(const QString& id)
{
    const ShareContent shared = content();
    std::optional<QString> picture;
    if (shared.png) {
        if (const auto folder = m_attachments->newFolder())
            picture =
                ShareAttachments::write(*folder, qs(shared.fileNameStem) + ".png", *shared.png);
    }
    QStringList arguments{QStringLiteral("--device"), id};
    if (picture)
        arguments << QStringLiteral("--share") << *picture;
    else
        arguments << QStringLiteral("--share-text") << qs(shared.text);
    QProcess::startDetached(QString::fromLatin1(deviceTool), arguments);
}

}  // namespace nelvo
