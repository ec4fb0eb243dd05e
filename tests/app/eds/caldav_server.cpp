#include "app/eds/caldav_server.h"

#include "support/calendar_server.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nelvo::test {

namespace {

namespace fs = std::filesystem;

bool accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

}  // namespace

CaldavServer::CaldavServer(const std::string& password)
{
    if (::access("/usr/bin/radicale", X_OK) != 0) {
        m_whyNot = "Radicale is not installed";
        return;
    }
    // A port the system hands out, free again once the probe closes it.
    m_port = SilentServer().port();
    // Without a password everyone is the anonymous user, who may do anything; with one, ana
    // may use her own collections and nobody else anything.
    std::ofstream(m_root / "rights")
        << (password.empty() ? "[all]\nuser: .*\ncollection: .*\npermissions: RrWw\n"
                             : "[owner]\nuser: .+\ncollection: {user}(/.*)?\n"
                               "permissions: RrWw\n[root]\nuser: .+\n"
                               "collection:\npermissions: R\n");
    std::ofstream(m_root / "users") << "ana:" << password << "\n";
    std::ofstream(m_root / "config")
        << "[server]\nhosts = 127.0.0.1:" << m_port << "\n"
        << "[storage]\nfilesystem_folder = " << (m_root / "collections").string() << "\n"
        << "[rights]\ntype = from_file\nfile = " << (m_root / "rights").string() << "\n"
        << "[auth]\ntype = " << (password.empty() ? "none" : "htpasswd") << "\n"
        << "htpasswd_filename = " << (m_root / "users").string() << "\n"
        << "htpasswd_encryption = plain\n";
    m_whyNot = start();
}

CaldavServer::~CaldavServer()
{
    stop();
}

std::string CaldavServer::start()
{
    const std::string config = (m_root / "config").string();
    const std::string log = (m_root / "radicale.log").string();
    m_pid = ::fork();
    if (m_pid < 0)
        return "cannot start Radicale";
    if (m_pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (out >= 0) {
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
        }
        // Only this configuration: none of the machine's or the user's.
        ::execl("/usr/bin/radicale", "radicale", "--config", config.c_str(), nullptr);
        ::_exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
        if (accepts(m_port))
            return {};
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            return "Radicale ended at start";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "Radicale did not start";
}

void CaldavServer::stop()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

// The server reads its folder anew on every request, so what is written here is what a
// client's upload would have stored.
std::string CaldavServer::calendar(const std::string& name)
{
    const fs::path folder = m_root / "collections/collection-root/ana" / name;
    fs::create_directories(folder);
    std::ofstream(folder / ".Radicale.props") << R"({"tag": "VCALENDAR"})";
    return "http://127.0.0.1:" + std::to_string(m_port) + "/ana/" + name + "/";
}

void CaldavServer::put(const std::string& calendar, const std::string& name, const std::string& ics)
{
    std::ofstream(m_root / "collections/collection-root/ana" / calendar / (name + ".ics")) << ics;
}

}  // namespace nelvo::test
