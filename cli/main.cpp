// The `nelvo` binary: the command line, and the window, which it loads as a module.
#include "app/module.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/output_format.h"
#include "cli/picture_output.h"
#include "ui/nelvo_app.h"

#include <QCoreApplication>

#include <filesystem>
#include <iostream>

#include <unistd.h>

int main(int argc, char** argv)
{
    using namespace nelvo;
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        Module::useFolder(modulesBeside(executable));
        // Before the first zone: parsing resolves zone names.
        if (const auto missing = useZoneRulesBeside(executable)) {
            std::cerr << "nelvo: " << *missing << "\n";
            return exitBadInput;
        }
    }
    const std::vector<std::string> arguments(argv, argv + argc);
    const ParsedCommand parsed = parseCommandLine(arguments);
    if (!parsed.command) {
        std::cerr << "nelvo: " << parsed.error << "\n";
        return exitUsage;
    }
    if (const auto* window = std::get_if<WindowOptions>(&*parsed.command)) {
        std::string whyNot;
        const auto run =
            Module::factory<NelvoApp::Entry>(NelvoApp::moduleName, NelvoApp::entrySymbol, whyNot);
        if (!run) {
            std::cerr << "nelvo: cannot open the window: " << whyNot << "\n";
            return exitBadInput;
        }
        return run(argc, argv, window->isDemo);
    }
    if (const auto* print = std::get_if<PrintOptions>(&*parsed.command)) {
        const OutputFormat* format = OutputFormat::named(print->format);
        if (format && !format->isText) {
            if ((!print->outputPath || *print->outputPath == "-") && ::isatty(STDOUT_FILENO)) {
                std::cerr << "nelvo: --format " << print->format
                          << " writes a picture, not text: name a file with -o FILE or redirect "
                             "standard output\n";
                return exitUsage;
            }
            const PictureOutput picture(argc, argv);
            if (!picture.isReady()) {
                std::cerr << "nelvo: cannot draw the picture: " << picture.whyNot() << "\n";
                return exitBadInput;
            }
            return runPrint(*print, std::cout, std::cerr);
        }
    }
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
                return runVersion(std::cout);
            } else {
                // Help.
                std::cout << usageText();
                return exitDone;
            }
        },
        *parsed.command);
}
