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

TEST(CopyActions, CopyAvailabilityWritesFourFlavoursInOrder)
{
    ShareFixture f;
    auto& model = f.make(2, {});
    CopyActions copy(model, [] { return 1.0; });
    QSignalSpy copied(&copy, &CopyActions::copied);

    EXPECT_TRUE(copy.copyAvailability());
    EXPECT_EQ(offered(), (QStringList{"text/plain", "text/html", "text/rtf", "text/richtext",
                                      "text/markdown;charset=utf-8"}));
    EXPECT_EQ(flavour("text/plain"), model.chatText());
    EXPECT_EQ(flavour("text/html"), model.richHTML());
    EXPECT_EQ(flavour("text/rtf"), model.richRTF());
    EXPECT_EQ(flavour("text/richtext"), model.richRTF());
    EXPECT_EQ(flavour("text/markdown;charset=utf-8"), model.markdownText());
    // The texts carry the free times and nothing of the events.
    EXPECT_NE(flavour("text/plain").find("11:00AM"), std::string::npos);
    EXPECT_TRUE(flavour("text/html").starts_with("<meta charset=\"utf-8\">"));
    EXPECT_TRUE(flavour("text/rtf").starts_with("{\\rtf1"));
    expectNoEventData();
    EXPECT_EQ(f.sounds, std::vector<Sound>{Sound::copy});
    EXPECT_EQ(copied.count(), 1);
    // Sounds off: copied all the same, silently.
    Settings quiet = model.settings();
    quiet.soundsEnabled = false;
    model.setSettings(quiet);
    QGuiApplication::clipboard()->setText("stale");
    EXPECT_TRUE(copy.copyAvailability());
    EXPECT_EQ(flavour("text/plain"), model.chatText());
    EXPECT_EQ(f.sounds.size(), 1u);
}

TEST(CopyActions, CopyAsTableNeedsTwoZones)
{
    ShareFixture f;
    auto& single = f.make(2, {});
    CopyActions copy(single, [] { return 1.0; });
    QSignalSpy copied(&copy, &CopyActions::copied);
    QGuiApplication::clipboard()->setText("kept");

    // The model's zone alone (the machine's is another, which would make two): no clipboard
    // change, no sound, no feedback.
    ASSERT_NE(TimeZone::system().id(), single.zone().id());
    EXPECT_FALSE(copy.copyTable());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
    EXPECT_TRUE(f.sounds.empty());
    EXPECT_EQ(copied.count(), 0);

    ShareFixture g;
    auto& model = g.make(2, {"Europe/London", "Asia/Kolkata"});
    CopyActions tableCopy(model, [] { return 1.0; });
    EXPECT_TRUE(tableCopy.copyTable());
    EXPECT_EQ(offered(), (QStringList{"text/plain", "text/html", "text/rtf", "text/richtext",
                                      "text/markdown;charset=utf-8"}));
    // Plain text: the Markdown table under a plain heading; Markdown: with the bold heading.
    EXPECT_EQ(flavour("text/plain"), model.tableMarkdown());
    EXPECT_TRUE(flavour("text/plain").starts_with("My availability · Mar 3 – 4\n\n|"));
    EXPECT_EQ(flavour("text/markdown;charset=utf-8"), MarkdownRenderer::render(model.table()));
    EXPECT_TRUE(flavour("text/markdown;charset=utf-8").starts_with("**My availability"));
    EXPECT_EQ(flavour("text/html"), model.tableHTML());
    EXPECT_NE(flavour("text/html").find("<table"), std::string::npos);
    EXPECT_EQ(flavour("text/rtf"), model.tableRTF());
    expectNoEventData();
    EXPECT_EQ(g.sounds, std::vector<Sound>{Sound::copy});
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
    EXPECT_EQ(picture.width(), 600);
    EXPECT_EQ(f.sounds, std::vector<Sound>{Sound::copy});
    EXPECT_EQ(copied.count(), 1);

    // A picture that cannot be drawn changes nothing and says nothing.
    QGuiApplication::clipboard()->setText("kept");
    CopyActions broken(model, [] { return 0.0; });
    EXPECT_FALSE(broken.copyPicture());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "kept");
    EXPECT_EQ(f.sounds.size(), 1u);
}

}  // namespace
}  // namespace nelvo
