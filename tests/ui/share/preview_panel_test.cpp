#include "app/availability_model.h"
#include "kit/model/settings.h"
#include "ui/canvas/cutoff_bar_view.h"
#include "ui/canvas/day_column_view.h"
#include "ui/canvas/main_view.h"
#include "ui/canvas_page.h"
#include "ui/commands.h"
#include "ui/defaults_keys.h"
#include "ui/main_window.h"
#include "ui/share/clipboard_content.h"
#include "ui/share/preview_panel.h"
#include "ui/support/ui_setup.h"

#include "ui/canvas/canvas_fixture.h"

#include <QAction>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

using test::UiSetup;

constexpr const char* markerTitle = "Quarterly Zebra Review";

TEST(PreviewPanel, ShowsWhatCopyWritesAndFollowsADrag)
{
    UiSetup s;
    // One meeting, titled with the marker, on Monday at 15:00 UTC.
    s.returningUser({NELVO_TEST_DATA "/ui/titled_meeting.ics"});
    MainWindow window(s.setup());
    window.resize(1040, 720);
    window.show();
    CanvasPage& page = *window.rootView().canvasPage();
    AvailabilityModel& model = page.model();
    PreviewPanel& preview = page.preview();
    EXPECT_FALSE(preview.isVisible());

    // The toolbar's toggle shows it, and the choice is kept.
    auto* button = page.findChild<QToolButton*>(QStringLiteral("previewButton"));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(preview.isVisible());
    EXPECT_EQ(s.defaults->boolValue(DefaultsKeys::previewShown), true);
    EXPECT_EQ(preview.availabilityText().toStdString(), model.chatText());
    // The table as Copy as Table would write it, if it is offered at all.
    EXPECT_EQ(preview.tableText().toStdString(),
              ClipboardContent::tablePlainText(model).value_or(""));

    // Drag today's end bar up with the pointer: the preview follows, title-free.
    auto* canvas = page.findChild<MainView*>(QStringLiteral("canvas"));
    ASSERT_NE(canvas, nullptr);
    QWidget* end = canvas->columns().at(0)->bar(WindowEdge::end);
    const std::string before = model.chatText();
    test::drag(end, end->rect().center(), QPoint(0, -120));
    ASSERT_NE(model.chatText(), before);
    EXPECT_EQ(preview.availabilityText().toStdString(), model.chatText());
    EXPECT_EQ(preview.availabilityText().toStdString(),
              ClipboardContent::availabilityPlainText(model));
    EXPECT_FALSE(preview.availabilityText().contains(QLatin1String(markerTitle)));

    // A second zone brings the table's text, as Copy as Table writes it.
    model.addZone("Europe/Berlin");
    EXPECT_EQ(preview.tableText().toStdString(),
              ClipboardContent::tablePlainText(model).value_or(""));
    EXPECT_FALSE(preview.tableText().isEmpty());
    EXPECT_FALSE(preview.tableText().contains(QLatin1String(markerTitle)));

    // The menu bar's command, which the toggle shares, hides it again; a new window remembers.
    QAction* command = window.commands().showPreview;
    EXPECT_TRUE(command->isChecked());
    command->trigger();
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(s.defaults->boolValue(DefaultsKeys::previewShown), false);
}

}  // namespace
}  // namespace nelvo
