#include "ui/share/save_actions.h"

#include "ui/share/availability_picture.h"
#include "ui/share/clipboard_content.h"

#include "share_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::ShareFixture;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Confirms the open panel with `path`, as a user typing it would.
void confirm(QFileDialog* panel, const QString& path)
{
    ASSERT_NE(panel, nullptr);
    panel->selectFile(path);
    static_cast<QDialog*>(panel)->accept();
}

TEST(SaveActions, FileNameStemReplacesSlashesAndColons)
{
    EXPECT_EQ(AvailabilityModel::fileNameStem("My availability · Mar 3 – 7"),
              "My availability · Mar 3 – 7");
    EXPECT_EQ(AvailabilityModel::fileNameStem("Team 3/4: 10:00"), "Team 3-4- 10-00");
}

TEST(SaveActions, SaveAsFileSuggestsTheStemAndWritesTheMarkdown)
{
    ShareFixture f;
    auto& model = f.make(2, {"Europe/London"});
    QWidget window;
    SaveActions save(model, &window, [] { return 1.0; });
    QSignalSpy saved(&save, &SaveActions::saved);

    save.saveFile();
    QFileDialog* panel = save.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(panel->nameFilters(), QStringList{"Markdown (*.md)"});
    EXPECT_EQ(QFileInfo(panel->selectedFiles().value(0)).fileName(),
              "My availability · Mar 3 – 4.md");
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);

    const QString path = f.file("week.md");
    confirm(panel, path);
    // The single-zone Markdown even with two zones.
    EXPECT_EQ(contents(path).toStdString(), model.markdownText());
    EXPECT_EQ(saved.count(), 1);
    EXPECT_EQ(f.sounds, std::vector<Sound>{});
}

TEST(SaveActions, SavePictureWritesThePng)
{
    ShareFixture f;
    auto& model = f.make(1, {"Europe/London", "Asia/Kolkata"});
    QWidget window;
    SaveActions save(model, &window, [] { return 2.0; });

    save.savePicture();
    ASSERT_NE(save.panel(), nullptr);
    EXPECT_EQ(save.panel()->nameFilters(), QStringList{"PNG image (*.png)"});
    EXPECT_EQ(QFileInfo(save.panel()->selectedFiles().value(0)).fileName(),
              "My availability · Mar 3.png");
    const QString path = f.file("week.png");
    confirm(save.panel(), path);
    const QImage written(path, "png");
    const AvailabilityPicture picture = ClipboardContent::pictureOf(model);
    EXPECT_EQ(written.width(), static_cast<int>(2 * picture.width()));
    EXPECT_EQ(written.height(), static_cast<int>(2 * picture.height()));

    // A picture that cannot be drawn opens no panel.
    SaveActions broken(model, &window, [] { return 0.0; });
    broken.savePicture();
    EXPECT_EQ(broken.panel(), nullptr);
}

TEST(SaveActions, CancellingWritesNothing)
{
    ShareFixture f;
    auto& model = f.make();
    QWidget window;
    SaveActions save(model, &window, [] { return 1.0; });
    QSignalSpy saved(&save, &SaveActions::saved);

    save.saveFile();
    ASSERT_NE(save.panel(), nullptr);
    save.panel()->selectFile(f.file("week.md"));
    save.panel()->reject();
    QCoreApplication::processEvents();
    EXPECT_EQ(QDir(f.file("")).entryList({"*.md"}, QDir::Files), QStringList{});
    EXPECT_EQ(saved.count(), 0);
    EXPECT_EQ(window.findChild<QMessageBox*>(), nullptr);
}

TEST(SaveActions, AFailedWriteShowsTheReason)
{
    ShareFixture f;
    auto& model = f.make();
    QWidget window;
    SaveActions save(model, &window, [] { return 1.0; });
    QSignalSpy saved(&save, &SaveActions::saved);

    // A folder that is not there (as after it was removed while the panel was open).
    EXPECT_FALSE(save.write(f.file("gone/week.md"), "text"));
    auto* alert = window.findChild<QMessageBox*>("saveErrorAlert");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "Couldn't save the file");
    EXPECT_EQ(alert->informativeText(), "No such file or directory");
    EXPECT_EQ(alert->buttons().size(), 1);
    EXPECT_EQ(saved.count(), 0);
    alert->close();

    // An existing file is replaced whole.
    const QString path = f.file("week.md");
    EXPECT_TRUE(save.write(path, "first, a longer text"));
    EXPECT_TRUE(save.write(path, "second"));
    EXPECT_EQ(contents(path), "second");
}

}  // namespace
}  // namespace nelvo
