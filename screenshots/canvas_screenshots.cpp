// The canvas: the demo week with two rulers (Tokyo is a day ahead), a day left out, a bar that
// overrides the shared window, a day's events, and the dark theme.
#include "screenshot.h"

#include "app/availability_model.h"
#include "ui/canvas/day_header_view.h"
#include "ui/canvas/main_view.h"
#include "ui/canvas/ruler_name_view.h"
#include "ui/canvas/zone_names_row.h"
#include "ui/canvas_page.h"
#include "ui/controls/day_count_hud.h"
#include "ui/controls/side_controls.h"
#include "ui/dark_palette.h"
#include "ui/root_view.h"

#include <QApplication>

namespace nelvo {

namespace {

// The demo week, Monday to Friday, with New York and Tokyo.
MainWindow& demoWeek(ScreenshotContext& context)
{
    MainWindow& window = context.window({.demo = true, .onboarded = true});
    if (AvailabilityModel* model = window.rootView().model()) {
        model->setDayCount(5);
        model->addZone("Asia/Tokyo");
    }
    // The count shows briefly after a change; a user opening this week would not see it.
    if (CanvasPage* page = window.rootView().canvasPage())
        page->side().dayCountHud()->hide();
    ScreenshotContext::settle();
    return window;
}

std::string dayKey(MainWindow& window, std::size_t index)
{
    const AvailabilityModel* model = window.rootView().model();
    return model && index < model->days().size() ? model->days()[index].id : std::string();
}

// Monday's first meeting freed, and on Tuesday three quarters of an hour taken out after a
// meeting, at the laptop size: the trace, the time taken out and the meetings side by side.
MainWindow& trimmedAndFreed(ScreenshotContext& context)
{
    MainWindow& window = demoWeek(context);
    window.resize(1024, 700);
    if (AvailabilityModel* model = window.rootView().model()) {
        const auto& days = model->days();
        if (days.size() > 1 && !days[0].events.empty())
            model->toggleMovable(days[0].events.front());
        if (model->days().size() > 1 && model->days()[1].slots.size() > 1) {
            const Slot slot = model->days()[1].slots[1];
            model->trimBand(slot, WindowEdge::start, slot.start.addingSeconds(45 * 60.0));
        }
    }
    ScreenshotContext::settle();
    return window;
}

}  // namespace

NELVO_SCREENSHOT("canvas-demo-week")
{
    return &demoWeek(context);
}

NELVO_SCREENSHOT("canvas-day-left-out")
{
    MainWindow& window = demoWeek(context);
    if (AvailabilityModel* model = window.rootView().model())
        model->toggleDay(dayKey(window, 2));
    return &window;
}

NELVO_SCREENSHOT("canvas-overriding-bar")
{
    MainWindow& window = demoWeek(context);
    if (AvailabilityModel* model = window.rootView().model()) {
        model->setDayEdge(WindowEdge::end, 18 * 60 + 30, dayKey(window, 1));
        model->setDayEdge(WindowEdge::start, 10 * 60, dayKey(window, 3));
    }
    return &window;
}

NELVO_SCREENSHOT("canvas-events-popover")
{
    MainWindow& window = demoWeek(context);
    auto* canvas = window.findChild<MainView*>();
    if (!canvas || canvas->headers().empty())
        return nullptr;
    // The popover opens inside the window, with the keyboard on its first row.
    canvas->headers().front()->showEvents();
    ScreenshotContext::settle();
    return &window;
}

// A ruler whose name is one long word, and another being renamed to a long name.
MainWindow& longNames(ScreenshotContext& context)
{
    MainWindow& window = demoWeek(context);
    if (AvailabilityModel* model = window.rootView().model()) {
        model->addZone("America/Indiana/Indianapolis");
        model->renameZone("America/Indiana/Indianapolis", std::string("Indianapolis"));
        model->renameZone("Asia/Tokyo", std::string("Tokyo Headquarters Team"));
    }
    ScreenshotContext::settle();
    return window;
}

NELVO_SCREENSHOT("canvas-ruler-names")
{
    return &longNames(context);
}

NELVO_SCREENSHOT("canvas-ruler-rename")
{
    MainWindow& window = longNames(context);
    auto* canvas = window.findChild<MainView*>();
    if (!canvas || canvas->namesRow()->names().size() < 2)
        return nullptr;
    canvas->namesRow()->names()[1]->beginRename();
    ScreenshotContext::settle();
    return &window;
}

NELVO_SCREENSHOT("canvas-dark")
{
    MainWindow& window = demoWeek(context);
    // The desktop's palette, as a dark desktop sets it: the window and its symbols follow.
    QApplication::setPalette(darkPalette());
    if (AvailabilityModel* model = window.rootView().model())
        model->setDayEdge(WindowEdge::end, 18 * 60 + 30, dayKey(window, 1));
    ScreenshotContext::settle();
    return &window;
}

NELVO_SCREENSHOT("canvas-trimmed-and-freed")
{
    return &trimmedAndFreed(context);
}

NELVO_SCREENSHOT("canvas-trimmed-and-freed-dark")
{
    MainWindow& window = trimmedAndFreed(context);
    // The desktop's palette, as a dark desktop sets it: the window and its symbols follow.
    QApplication::setPalette(darkPalette());
    ScreenshotContext::settle();
    return &window;
}

}  // namespace nelvo
