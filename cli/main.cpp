// The `nelvo` binary: the window, and the command line.
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/output_format.h"
#include "ui/nelvo_app.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <filesystem>
#include <iostream>

#include <unistd.h>

int main(int argc, char** argv)
{
    using namespace nelvo;
    // Before the first zone: parsing resolves zone names.
    std::error_code error;
    if (const auto executable = std::filesystem::read_symlink("/proc/self/exe", error); !error)
        useZoneRulesBeside(executable);
    const std::vector<std::string> arguments(argv, argv + argc);
    const ParsedCommand parsed = parseCommandLine(arguments);
    if (!parsed.command) {
        std::cerr << "nelvo: " << parsed.error << "\n";
        return exitUsage;
    }
    if (const auto* window = std::get_if<WindowOptions>(&*parsed.command))
        return NelvoApp::run(argc, argv, window->isDemo);
    if (const auto* print = std::get_if<PrintOptions>(&*parsed.command)) {
        const OutputFormat* format = OutputFormat::named(print->format);
        if (format && !format->isText) {
            if ((!print->outputPath || *print->outputPath == "-") && ::isatty(STDOUT_FILENO)) {
                std::cerr << "nelvo: --format " << print->format
                          << " writes a picture, not text: name a file with -o FILE or redirect "
                             "standard output\n";
                return exitUsage;
            }
            // Drawing needs fonts, not a display: the same picture with or without one.
            qputenv("QT_QPA_PLATFORM", "offscreen");
            // Qt's notes about the session (no runtime folder, say) are not the command's.
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
            QGuiApplication app(argc, argv);
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
