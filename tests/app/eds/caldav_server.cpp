#include "app/eds/caldav_server.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nelvo::test {

namespace {

namespace fs = std::filesystem;

int listenOn(int port, int backlog)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, backlog) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int boundPort(int fd)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

int connectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string base64(const std::string& text)
{
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned value = 0;
    int bits = -6;
    for (unsigned char c : text) {
        value = (value << 8) + c;
        bits += 8;
        while (bits >= 0) {
            out.push_back(digits[(value >> bits) & 0x3F]);
            bits -= 6;
        }
    }
    if (bits > -6)
        out.push_back(digits[((value << 8) >> (bits + 8)) & 0x3F]);
    while (out.size() % 4)
        out.push_back('=');
    return out;
}

}  // namespace

CaldavServer::CaldavServer(std::string password) : m_password(std::move(password))
{
    if (::access("/usr/bin/radicale", X_OK) != 0) {
        m_whyNot = "Radicale is not installed";
        return;
    }
    char pattern[] = "/tmp/nelvo-caldav-XXXXXX";
    if (!::mkdtemp(pattern)) {
        m_whyNot = "cannot make a temporary folder";
        return;
    }
    m_root = pattern;
    std::ofstream(m_root / "rights")
        << (m_password.empty() ? "[all]\nuser: .*\ncollection: .*\npermissions: RrWw\n"
                               : "[owner]\nuser: .+\ncollection: {user}(/.*)?\n"
                                 "permissions: RrWw\n[root]\nuser: .+\n"
                                 "collection:\npermissions: R\n");
    std::ofstream(m_root / "users") << "ana:" << m_password << "\n";
    const int probe = listenOn(0, 1);
    m_port = boundPort(probe);
    ::close(probe);
    m_whyNot = start();
}

CaldavServer::~CaldavServer()
{
    stop();
    if (!m_root.empty()) {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
}

std::string CaldavServer::start()
{
    const std::string hosts = "127.0.0.1:" + std::to_string(m_port);
    const std::string storage = (m_root / "collections").string();
    const std::string rights = (m_root / "rights").string();
    const std::string users = (m_root / "users").string();
    const std::string log = (m_root / "radicale.log").string();
    std::vector<std::string> args = {"radicale",
                                     "--config",
                                     "",
                                     "--server-hosts",
                                     hosts,
                                     "--storage-filesystem-folder",
                                     storage,
                                     "--rights-type",
                                     "from_file",
                                     "--rights-file",
                                     rights,
                                     "--auth-type",
                                     m_password.empty() ? "none" : "htpasswd"};
    if (!m_password.empty()) {
        for (const char* a :
             {"--auth-htpasswd-filename", users.c_str(), "--auth-htpasswd-encryption", "plain"})
            args.emplace_back(a);
    }
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
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv("/usr/bin/radicale", argv.data());
        ::_exit(127);
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < until) {
        if (const int fd = connectTo(m_port); fd >= 0) {
            ::close(fd);
            return {};
        }
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

int CaldavServer::request(const std::string& method, const std::string& path,
                          const std::string& body)
{
    const int fd = connectTo(m_port);
    if (fd < 0)
        return 0;
    std::string text =
        method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (!m_password.empty())
        text += "Authorization: Basic " + base64("ana:" + m_password) + "\r\n";
    if (!body.empty())
        text += "Content-Type: text/calendar; charset=utf-8\r\n";
    text += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    for (std::size_t sent = 0; sent < text.size();) {
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += static_cast<std::size_t>(n);
    }
    std::string reply;
    char buffer[1024];
    pollfd pfd{fd, POLLIN, 0};
    while (reply.find("\r\n") == std::string::npos && ::poll(&pfd, 1, 10'000) > 0) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    // "HTTP/1.1 201 Created"
    return reply.size() > 12 ? std::atoi(reply.c_str() + 9) : 0;
}

std::string CaldavServer::calendar(const std::string& name)
{
    request("MKCOL", "/ana/", {});
    request("MKCALENDAR", "/ana/" + name + "/", {});
    return "http://127.0.0.1:" + std::to_string(m_port) + "/ana/" + name + "/";
}

std::string CaldavServer::put(const std::string& calendar, const std::string& name,
                              const std::string& ics)
{
    const int status = request("PUT", "/ana/" + calendar + "/" + name + ".ics", ics);
    return status == 201 || status == 204 ? std::string()
                                          : "PUT answered " + std::to_string(status);
}

}  // namespace nelvo::test
