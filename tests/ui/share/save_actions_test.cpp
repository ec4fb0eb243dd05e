#include "ui/share/save_actions.h"

#include "ui/share/availability_picture.h"
#include "ui/share/clipboard_content.h"

#include "share_fixture.h"

#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::contents;
using test::ShareFixture;

// Save actions over the fixture's model, showing `days` days and these zones, in a window at
// `ratio` pixels per point.
struct Saving : ShareFixture {
    QWidget window;
    SaveActions save;
    QSignalSpy saved{&save, &SaveActions::saved};

    explicit Saving(double ratio = 1.0, int days = 1, std::initializer_list<const char*> zones = {})
        : save(make(days, zones), &window, [ratio] { return ratio; })
    {
    }
};

// Confirms the open panel with `path`, as a user typing it would.
void confirm(QFileDialog* panel, const QString& path)
{
    ASSERT_NE(panel, nullptr);
    panel->selectFile(path);
    static_cast<QDialog*>(panel)->accept();
}

TEST(SaveActions, EachSaveSuggestsTheStemAndWritesItsFile)
{
    Saving f(2.0, 2, {"Europe/London"});
    f.save.saveFile();
    ASSERT_NE(f.save.panel(), nullptr);
    EXPECT_EQ(f.save.panel()->nameFilters(), QStringList{"Markdown (*.md)"});
    EXPECT_EQ(QFileInfo(f.save.panel()->selectedFiles().value(0)).fileName(),
              "My availability · Mar 3 – 4.md");
    confirm(f.save.panel(), f.file("week.md"));
    // The single-zone Markdown even with two zones.
    EXPECT_EQ(contents(f.file("week.md")).toStdString(), f.model->markdownText());

    f.save.savePicture();
    ASSERT_NE(f.save.panel(), nullptr);
    EXPECT_EQ(f.save.panel()->nameFilters(), QStringList{"PNG image (*.png)"});
    EXPECT_EQ(QFileInfo(f.save.panel()->selectedFiles().value(0)).fileName(),
              "My availability · Mar 3 – 4.png");
    confirm(f.save.panel(), f.file("week.png"));
    const AvailabilityPicture picture = ClipboardContent::pictureOf(*f.model);
    EXPECT_EQ(QImage(f.file("week.png"), "png").size(),
              QSize(static_cast<int>(2 * picture.width()), static_cast<int>(2 * picture.height())));
    EXPECT_EQ(f.saved.count(), 2);
    EXPECT_EQ(f.sounds, std::vector<Sound>{});
    // Slashes and colons in a stem become dashes; other characters stay.
    EXPECT_EQ(AvailabilityModel::fileNameStem("Team 3/4: 10:00"), "Team 3-4- 10-00");

    // A picture that cannot be drawn opens no panel.
    SaveActions broken(*f.model, &f.window, [] { return 0.0; });
    broken.savePicture();
    EXPECT_EQ(broken.panel(), nullptr);
}

TEST(SaveActions, CancellingWritesNothingAndAFailedWriteSaysWhy)
{
    Saving f;
    f.save.saveFile();
    ASSERT_NE(f.save.panel(), nullptr);
    f.save.panel()->selectFile(f.file("week.md"));
    f.save.panel()->reject();
    QCoreApplication::processEvents();
    EXPECT_EQ(QDir(f.file("")).entryList({"*.md"}, QDir::Files), QStringList{});
    EXPECT_EQ(f.saved.count(), 0);
    EXPECT_EQ(f.window.findChild<QMessageBox*>(), nullptr);

    // A failed write shows the reason: a folder that is not there (as after it was removed while
    // the panel was open).
    EXPECT_FALSE(f.save.write(f.file("gone/week.md"), "text"));
    auto* alert = f.window.findChild<QMessageBox*>("saveErrorAlert");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "Couldn't save the file");
    EXPECT_EQ(alert->informativeText(), "No such file or folder");
    EXPECT_EQ(f.saved.count(), 0);
    alert->close();

    // An existing file is replaced whole.
    const QString path = f.file("week.md");
    EXPECT_TRUE(f.save.write(path, "first, a longer text"));
    EXPECT_TRUE(f.save.write(path, "second"));
    EXPECT_EQ(contents(path), "second");
}

}  // namespace
}  // namespace nelvo
