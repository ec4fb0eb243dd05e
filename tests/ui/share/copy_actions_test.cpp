#include "ui/share/copy_actions.h"

#include "kit/render/markdown_renderer.h"
#include "ui/share/availability_picture.h"
#include "ui/share/clipboard_content.h"

#include "share_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::ShareFixture;

std::string flavour(const char* type)
{
    return QGuiApplication::clipboard()->mimeData()->data(type).toStdString();
}

QStringList offered()
{
    return QGuiApplication::clipboard()->mimeData()->formats();
}

void expectNoEventData()
{
    for (const QString& type : offered()) {
        const QByteArray data = QGuiApplication::clipboard()->mimeData()->data(type);
        EXPECT_FALSE(data.contains("Secret")) << type.toStdString();
        EXPECT_FALSE(data.contains("Dentist")) << type.toStdString();
    }
}

TEST(CopyActions, TextCopiesWriteFourFlavoursInOrder)
{
    ShareFixture f;
    auto& model = f.make(2, {"Europe/London", "Asia/Kolkata"});
    CopyActions copy(model, [] { return 1.0; });
    QSignalSpy copied(&copy, &CopyActions::copied);
    const QStringList textFlavours{"text/plain", "text/html", "text/rtf", "text/richtext",
                                   "text/markdown;charset=utf-8"};

    EXPECT_TRUE(copy.copyAvailability());
    EXPECT_EQ(offered(), textFlavours);
    EXPECT_EQ(flavour("text/plain"), model.chatText());
    EXPECT_EQ(flavour("text/html"), model.richHTML());
    EXPECT_EQ(flavour("text/rtf"), model.richRTF());
    EXPECT_EQ(flavour("text/richtext"), model.richRTF());
    EXPECT_EQ(flavour("text/markdown;charset=utf-8"), model.markdownText());
    expectNoEventData();

    // The table: plain text is the Markdown table under a plain heading; Markdown has the
    // bold heading.
    EXPECT_TRUE(copy.copyTable());
    EXPECT_EQ(offered(), textFlavours);
    EXPECT_EQ(flavour("text/plain"), model.tableMarkdown());
    EXPECT_EQ(flavour("text/markdown;charset=utf-8"), MarkdownRenderer::render(model.table()));
    EXPECT_EQ(flavour("text/html"), model.tableHTML());
    EXPECT_EQ(flavour("text/rtf"), model.tableRTF());
    expectNoEventData();
    EXPECT_EQ(f.sounds, (std::vector<Sound>{Sound::copy, Sound::copy}));
    EXPECT_EQ(copied.count(), 2);

    // Sounds off: copied all the same, silently.
    Settings quiet = model.settings();
    quiet.soundsEnabled = false;
    model.setSettings(quiet);
    QGuiApplication::clipboard()->setText("stale");
    EXPECT_TRUE(copy.copyAvailability());
    EXPECT_EQ(flavour("text/plain"), model.chatText());
    EXPECT_EQ(f.sounds.size(), 2u);
}

TEST(CopyActions, CopyAsPictureOffersPngThenTiffAtTheScale)
{
    ShareFixture f;
    auto& model = f.make(2, {"Europe/London"});
    CopyActions copy(model, [] { return 2.0; });
    QSignalSpy copied(&copy, &CopyActions::copied);

    EXPECT_TRUE(copy.copyPicture());
    EXPECT_EQ(offered(), (QStringList{"image/png", "image/tiff"}));
    const AvailabilityPicture picture = ClipboardContent::pictureOf(model);
    const QSize expected(static_cast<int>(2 * picture.width()),
                         static_cast<int>(2 * picture.height()));
    const QByteArray png = QGuiApplication::clipboard()->mimeData()->data("image/png");
    EXPECT_EQ(QImage::fromData(png, "png").size(), expected);
    const QByteArray tiff = QGuiApplication::clipboard()->mimeData()->data("image/tiff");
    EXPECT_EQ(QImage::fromData(tiff, "tiff").size(), expected);
    EXPECT_EQ(f.sounds, std::vector<Sound>{Sound::copy});
    EXPECT_EQ(copied.count(), 1);
}

// Nothing written, nothing said: no clipboard change, no sound, no feedback.
TEST(CopyActions, ACopyThatCannotBeMadeChangesNothing)
{
    ShareFixture f;
    auto& model = f.make(2, {});
    CopyActions copy(model, [] { return 1.0; });
    CopyActions broken(model, [] { return 0.0; });
    QSignalSpy copied(&copy, &CopyActions::copied);
    QSignalSpy brokenCopied(&broken, &CopyActions::copied);
    QGuiApplication::clipboard()->setText("kept");

    // The model's zone alone (the machine's is another, which would make two): no table.
    ASSERT_NE(TimeZone::system().id(), model.zone().id());
    EXPECT_FALSE(copy.copyTable());
    // A picture that cannot be drawn.
    EXPECT_FALSE(broken.copyPicture());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
    EXPECT_TRUE(f.sounds.empty());
    EXPECT_EQ(copied.count() + brokenCopied.count(), 0);
}

}  // namespace
}  // namespace nelvo
