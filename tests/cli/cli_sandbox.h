#pragma once

// The built `nelvo` binary run as a user runs it, in a home of its own.
#include "support/golden.h"
#include "support/temp_folder.h"

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace nelvo::test {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// A fresh home with its own XDG folders, the Los Angeles zone and a pinned clock.
class Sandbox {
public:
    Sandbox()
    {
        fs::create_directories(home());
        fs::create_directories(m_root / "tmp");
    }

    // The program run: the one built, or a copy put elsewhere.
    std::string program = NELVO_BINARY;

    fs::path home() const { return m_root / "home"; }
    fs::path root() const { return m_root.path(); }

    Outcome run(std::vector<std::string> arguments) const
    {
        return finish(start(std::move(arguments)));
    }

    // A run that goes on beside others; finish() waits for it.
    struct Started {
        pid_t pid = -1;
        fs::path outPath;
        fs::path errPath;
    };

    // `terminal`, when given, is the standard output instead of a file.
    Started start(std::vector<std::string> arguments, int terminal = -1) const
    {
        const std::string tag = std::to_string(s_runs++);
        const Started started{-1, m_root / ("stdout." + tag), m_root / ("stderr." + tag)};
        std::fflush(stdout);  // the child must not repeat what the parent buffered
        std::fflush(stderr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("HOME", home().c_str(), 1);
            ::unsetenv("XDG_CONFIG_HOME");
            ::unsetenv("XDG_DATA_HOME");
            ::unsetenv("XDG_CACHE_HOME");
            ::setenv("TMPDIR", (m_root / "tmp").c_str(), 1);
            ::setenv("TZ", "America/Los_Angeles", 1);
            ::setenv("LANG", "de_DE.UTF-8", 1);
            ::setenv("LC_ALL", "de_DE.UTF-8", 1);
            // No session bus: the desktop's calendars of whoever runs the tests stay out.
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
            ::setenv("XDG_RUNTIME_DIR", (m_root / "tmp").c_str(), 1);
            if (terminal >= 0 ? ::dup2(terminal, STDOUT_FILENO) < 0
                              : !std::freopen(started.outPath.c_str(), "w", stdout))
                ::_exit(126);
            if (!std::freopen(started.errPath.c_str(), "w", stderr))
                ::_exit(126);
            std::vector<char*> argv;
            std::string binary = program;
            argv.push_back(binary.data());
            for (auto& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            ::execv(binary.c_str(), argv.data());
            ::_exit(127);
        }
        return Started{pid, started.outPath, started.errPath};
    }

    // A run with its standard output on a terminal; empty, with the reason in `whyNot`, where
    // no pseudo-terminal can be opened (a minimal container has no /dev/pts).
    std::optional<Outcome> runOnTerminal(std::vector<std::string> arguments,
                                         std::string& whyNot) const
    {
        int terminal = -1;
        int client = -1;
        if (::openpty(&terminal, &client, nullptr, nullptr, nullptr) != 0) {
            whyNot = std::strerror(errno);
            return std::nullopt;
        }
        const Started started = start(std::move(arguments), client);
        ::close(client);
        const Outcome result = finish(started);
        ::close(terminal);
        return result;
    }

    static Outcome finish(const Started& started)
    {
        int status = 0;
        ::waitpid(started.pid, &status, 0);
        Outcome result;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = readFile(started.outPath);
        result.err = readFile(started.errPath);
        fs::remove(started.outPath);
        fs::remove(started.errPath);
        return result;
    }

    fs::path write(const std::string& relative, const std::string& text) const
    {
        const fs::path path = m_root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Every file under the home with its size and modification time.
    std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> snapshot() const
    {
        std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> files;
        for (auto& entry : fs::recursive_directory_iterator(home())) {
            if (entry.is_regular_file())
                files[entry.path().string()] = {entry.file_size(), entry.last_write_time()};
        }
        return files;
    }

private:
    TempFolder m_root{"nelvo-cli"};
    static inline int s_runs = 0;
};

}  // namespace nelvo::test
