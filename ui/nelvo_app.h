#pragma once

namespace nelvo {

// The application entry: one window over the user's calendars, or over the demo calendar.
namespace NelvoApp {

// The window is the module "window"; `nelvo` loads it and calls run() through its one entry.
inline constexpr const char* moduleName = "window";
inline constexpr const char* entrySymbol = "nelvo_run_window";
using Entry = int (*)(int argc, char** argv, bool demo);

// The line printed when there is no display to open the window on.
inline constexpr const char* noDisplayMessage =
    "nelvo: the window needs a display (DISPLAY or WAYLAND_DISPLAY); \"nelvo print\" works "
    "without one";

// Whether a window can be tried at all: a display is named, or a Qt platform is chosen.
bool hasDisplay();

// Opens the window and runs until the application quits; returns the exit status. Without a
// display: 1 and `noDisplayMessage` on standard error.
int run(int argc, char** argv, bool demo);

}  // namespace NelvoApp

}  // namespace nelvo
