#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class QProcess;

namespace nelvo {

class AvailabilityModel;
class CopyActions;
class ShareAttachments;
struct ShareContent;

// Fills the Share menu with the destinations this desktop offers, each getting the content
// of its kind: E-mail (the desktop's composer through xdg-email where a program handles
// mailto: links, or the desktop portal when sandboxed) with the subject, the chat text and
// the picture and e-mail card attached, and an alert saying why when that fails; each
// phone or other device KDE Connect can reach, with the picture (or the text without one);
// and Copy, the chat text and the picture, for any other program. Destinations that are not
// there are not shown.
class ShareMenu : public QObject {
    Q_OBJECT
public:
    using Scale = std::function<double()>;
    // A reachable device: its id and its name.
    using Device = std::pair<QString, QString>;

    ShareMenu(AvailabilityModel& model, QMenu* menu, CopyActions& copy, Scale scale,
              QObject* parent = nullptr);
    ~ShareMenu() override;

    QMenu* menu() const;
    // Looks again for the e-mail composer and asks xdg-mime for the mailto: handler and KDE
    // Connect for reachable devices (the answers arrive later); the menu does this itself
    // each time it opens.
    void refresh();

    void shareByEmail();
    void shareToDevice(const QString& id);

    // Whether the program runs in a sandbox, where only the desktop portal reaches the
    // composer.
    static bool isSandboxed();
    // "ID NAME" lines of `kdeconnect-cli --list-available --id-name-only`.
    static std::vector<Device> parseDevices(const QByteArray& listing);
    // Why xdg-email failed, for the alert: the last line it wrote to its error output, else
    // what its exit code means.
    static QString composerFailure(int exitCode, const QByteArray& errors);

Q_SIGNALS:
    // The menu's entries changed (after refresh() and after the device list arrived).
    void destinationsChanged();

private:
    void rebuild();
    void listDevices();
    void findMailHandler();
    void composerFailed(const QString& cause);
    ShareContent content() const;
    bool composeWithPortal(const ShareContent& content, const std::vector<QString>& files);

    AvailabilityModel& m_model;
    QPointer<QMenu> m_menu;
    CopyActions& m_copy;
    Scale m_scale;
    std::unique_ptr<ShareAttachments> m_attachments;
    QPointer<QProcess> m_listing;
    QPointer<QProcess> m_handlerQuery;
    bool m_hasMailHandler = false;
    bool m_hasComposer = false;
    std::vector<Device> m_devices;
    std::vector<QAction*> m_entries;  // ours, in the menu
};

}  // namespace nelvo
