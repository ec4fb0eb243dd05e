#pragma once

// A named state of the window, rendered to a PNG by `make screenshots`. Each file adds its own
// states:
//
//   NELVO_SCREENSHOT("main-window")
//   {
//       MainWindow& window = context.window({.demo = true, .onboarded = true});
//       return &window;  // the widget to picture
//   }
//
// Every state gets a fresh window over fresh in-memory defaults and a fresh temporary folder,
// the clock at Monday 3 March 2025, 08:00 in New York, and the machine's zone pinned there.

#include "kit/store/in_memory_user_defaults.h"
#include "ui/main_window.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nelvo {

class ScreenshotContext {
public:
    struct Options {
        bool demo = true;
        bool onboarded = false;
        // The calendar locations chosen before; ignored in demo mode.
        std::vector<std::string> locations{};
        // What the calendar chooser answers when it opens; nothing: cancelled.
        std::optional<CalendarChoice> chooserAnswer{};
    };

    ScreenshotContext();
    ~ScreenshotContext();

    // The window of this state, shown at its default size, laid out and painted.
    MainWindow& window(const Options& options);
    RootView::Setup setup(const Options& options);
    // A file in this state's temporary folder.
    std::string path(const std::string& name) const;
    // Runs the event loop for a moment, so that queued work and layouts settle.
    static void settle(int milliseconds = 50);

    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();

private:
    QTemporaryDir m_folder;
    std::unique_ptr<MainWindow> m_window;
};

using ScreenshotFunction = std::function<QWidget*(ScreenshotContext&)>;

struct Screenshot {
    std::string name;
    ScreenshotFunction render;
};

// Every registered state, in name order.
std::vector<Screenshot>& screenshots();

struct ScreenshotRegistration {
    ScreenshotRegistration(std::string name, ScreenshotFunction render);
};

}  // namespace nelvo

#define NELVO_SCREENSHOT_CONCAT2(a, b) a##b
#define NELVO_SCREENSHOT_CONCAT(a, b) NELVO_SCREENSHOT_CONCAT2(a, b)
#define NELVO_SCREENSHOT(name)                                                                     \
    static QWidget* NELVO_SCREENSHOT_CONCAT(screenshot_, __LINE__)(::nelvo::ScreenshotContext&);   \
    static const ::nelvo::ScreenshotRegistration NELVO_SCREENSHOT_CONCAT(registration_, __LINE__)( \
        name, &NELVO_SCREENSHOT_CONCAT(screenshot_, __LINE__));                                    \
    static QWidget* NELVO_SCREENSHOT_CONCAT(screenshot_, __LINE__)(                                \
        [[maybe_unused]] ::nelvo::ScreenshotContext & context)
