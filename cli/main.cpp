// The `nelvo` binary: the window, and the command line.
#include "cli/commands.h"
#include "cli/command_line.h"
#include "ui/nelvo_app.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char** argv)
{
    using namespace nelvo;
    const std::vector<std::string> arguments(argv, argv + argc);
    const ParsedCommand parsed = parseCommandLine(arguments);
    if (!parsed.command) {
        std::cerr << "nelvo: " << parsed.error << "\n";
        return exitUsage;
    }
    if (const auto* window = std::get_if<WindowOptions>(&*parsed.command))
        return NelvoApp::run(argc, argv, window->isDemo);
    // Timers of the model need an application object, even when nothing waits for them.
    QCoreApplication app(argc, argv);
    return std::visit(
        [](const auto& command) -> int {
            using T = std::decay_t<decltype(command)>;
            if constexpr (std::is_same_v<T, PrintOptions>) {
                return runPrint(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, CalendarsOptions>) {
                return runCalendars(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, ZonesOptions>) {
                return runZones(command, std::cout);
            } else if constexpr (std::is_same_v<T, VersionRequest>) {
                std::cout << "nelvo " << NELVO_VERSION << "\n";
                return exitDone;
            } else {
                // Help.
                std::cout << usageText();
                return exitDone;
            }
        },
        *parsed.command);
}
