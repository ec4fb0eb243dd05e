#pragma once

#include <QObject>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

namespace nelvo {

// Notices a change of the machine's time zone: the files that name it (/etc/localtime, a link
// that is replaced rather than written, and /etc/timezone) are watched through their folders,
// and `changed` fires once per change of what they say, after a short quiet time.
class SystemZoneWatcher : public QObject {
    Q_OBJECT
public:
    static QStringList systemFiles();

    explicit SystemZoneWatcher(QStringList files = systemFiles(), QObject* parent = nullptr);

Q_SIGNALS:
    void changed();

private:
    QByteArray signature() const;
    void check();

    QStringList m_files;
    QFileSystemWatcher* m_watcher;
    QTimer* m_quiet;
    QByteArray m_signature;
};

}  // namespace nelvo
