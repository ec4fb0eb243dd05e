#include "ui/share/share_attachments.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace nelvo {

namespace {

constexpr QFileDevice::Permissions ownerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

}  // namespace

ShareAttachments::ShareAttachments(QString base) : m_base(std::move(base)) {}

QString ShareAttachments::defaultBase()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/nelvo-share");
    // A shared folder: the user id keeps users apart, the owner check below keeps them safe.
    return QDir::tempPath() + QStringLiteral("/nelvo-share-") + QString::number(getuid());
}

bool ShareAttachments::ensureBase() const
{
    const QFileInfo info(m_base);
    if (!info.exists()) {
        if (!QDir().mkpath(m_base))
            return false;
        QFile::setPermissions(m_base, ownerOnly);
    }
    // Someone else's folder, or a link planted in a shared folder, is never written into.
    const QFileInfo made(m_base);
    return made.isDir() && !made.isSymLink() && made.ownerId() == getuid() &&
           (made.permissions() & ownerOnly) == ownerOnly &&
           !(made.permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther |
                                   QFileDevice::ReadGroup | QFileDevice::WriteGroup));
}

std::optional<QString> ShareAttachments::newFolder()
{
    if (!ensureBase())
        return std::nullopt;
    removeOlderThan(keepSeconds);
    QTemporaryDir folder(m_base + QStringLiteral("/XXXXXX"));
    if (!folder.isValid())
        return std::nullopt;
    folder.setAutoRemove(false);
    return folder.path();
}

std::optional<QString> ShareAttachments::write(const QString& folder, const QString& name,
                                               const QByteArray& bytes)
{
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return std::nullopt;  // never over a file that is there
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.remove();
        return std::nullopt;
    }
    return path;
}

void ShareAttachments::removeOlderThan(int seconds) const
{
    const QDateTime cutoff = QDateTime::currentDateTimeUtc().addSecs(-seconds);
    const QDir base(m_base);
    for (const QFileInfo& folder : base.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (folder.isSymLink() || folder.lastModified().toUTC() >= cutoff)
            continue;
        QDir(folder.absoluteFilePath()).removeRecursively();
    }
}

}  // namespace nelvo
