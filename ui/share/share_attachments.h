#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace nelvo {

// Files handed to another program (a mail composer, a phone) live in a folder only this user
// can read, one subfolder per share. The other program may read them long after the share,
// so a folder is removed only once it is a day old, at a later share.
class ShareAttachments {
public:
    static constexpr int keepSeconds = 24 * 60 * 60;

    // Under `base` (made private when missing); the runtime folder of the session by
    // default, the temporary folder without one.
    explicit ShareAttachments(QString base = defaultBase());

    static QString defaultBase();
    const QString& base() const { return m_base; }

    // A new empty folder for one share; empty when none can be made. Removes the share
    // folders older than `keepSeconds` first.
    std::optional<QString> newFolder();
    // Writes `bytes` as `folder`/`name`; the path, or empty when it cannot be written.
    static std::optional<QString> write(const QString& folder, const QString& name,
                                        const QByteArray& bytes);
    // Removes the share folders last changed more than `seconds` ago.
    void removeOlderThan(int seconds) const;

private:
    bool ensureBase() const;

    QString m_base;
};

}  // namespace nelvo
