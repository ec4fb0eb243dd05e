#include "ui/system_zone_watcher.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace nelvo {

QStringList SystemZoneWatcher::systemFiles()
{
    return {QStringLiteral("/etc/localtime"), QStringLiteral("/etc/timezone")};
}

SystemZoneWatcher::SystemZoneWatcher(QStringList files, QObject* parent)
    : QObject(parent), m_files(std::move(files)), m_watcher(new QFileSystemWatcher(this)),
      m_quiet(new QTimer(this))
{
    m_quiet->setSingleShot(true);
    m_quiet->setInterval(200);
    connect(m_quiet, &QTimer::timeout, this, &SystemZoneWatcher::check);
    QStringList watched;
    for (const QString& file : m_files) {
        const QString folder = QFileInfo(file).absolutePath();
        if (!watched.contains(folder) && QFileInfo(folder).isDir())
            watched.append(folder);
        if (QFileInfo::exists(file))
            watched.append(file);
    }
    if (!watched.isEmpty())
        m_watcher->addPaths(watched);
    const auto later = [this] { m_quiet->start(); };
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, later);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, later);
    m_signature = signature();
}

QByteArray SystemZoneWatcher::signature() const
{
    // What the files say, not when they were touched: the link's target and the contents
    // (both files are small).
    QByteArray result;
    for (const QString& path : m_files) {
        const QFileInfo info(path);
        result += info.symLinkTarget().toUtf8();
        result += '\0';
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            result += file.read(1 << 20);
        result += '\0';
    }
    return result;
}

void SystemZoneWatcher::check()
{
    // A replaced file drops out of the watch: watch it again.
    for (const QString& file : m_files) {
        if (QFileInfo::exists(file) && !m_watcher->files().contains(file))
            m_watcher->addPath(file);
    }
    QByteArray now = signature();
    if (now == m_signature)
        return;
    m_signature = std::move(now);
    Q_EMIT changed();
}

}  // namespace nelvo
