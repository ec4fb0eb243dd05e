#include "support/ui_setup.h"
#include "ui/system_zone_watcher.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::waitUntil;

void write(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

TEST(SystemZoneWatcher, FiresOnceWhenTheZoneFilesSaySomethingNew)
{
    QTemporaryDir folder;
    const QString zoneFile = folder.filePath(QStringLiteral("timezone"));
    const QString link = folder.filePath(QStringLiteral("localtime"));
    write(zoneFile, "Europe/Berlin\n");
    write(folder.filePath(QStringLiteral("Berlin")), "TZif-berlin");
    write(folder.filePath(QStringLiteral("Tokyo")), "TZif-tokyo");
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("Berlin")), link));

    SystemZoneWatcher watcher({link, zoneFile});
    QSignalSpy changed(&watcher, &SystemZoneWatcher::changed);
    QTimer* quiet = watcher.findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(quiet, nullptr);
    // Waits for the file system to report the writes, then lets the quiet time pass.
    const auto settle = [&] {
        EXPECT_TRUE(waitUntil([&] { return quiet->isActive(); }));
        QCoreApplication::processEvents();
        while (test::fire(quiet))
            QCoreApplication::processEvents();
    };

    // The link is replaced as zone tools do it: a new link renamed over the old one.
    const QString fresh = folder.filePath(QStringLiteral("localtime.new"));
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("Tokyo")), fresh));
    ASSERT_EQ(::rename(fresh.toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
    write(zoneFile, "Asia/Tokyo\n");
    settle();
    EXPECT_EQ(changed.count(), 1);

    // Touching a file without changing what it says, or an unrelated file, is no change.
    write(zoneFile, "Asia/Tokyo\n");
    write(folder.filePath(QStringLiteral("unrelated")), "x");
    settle();
    EXPECT_EQ(changed.count(), 1);

    // The replaced link is still watched.
    write(zoneFile, "Asia/Kolkata\n");
    settle();
    EXPECT_EQ(changed.count(), 2);
}

}  // namespace
}  // namespace nelvo
