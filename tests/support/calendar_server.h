#pragma once

#include "support/temp_folder.h"

#include <QProcess>
#include <QStringList>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace nelvo::test {

// Certificates made for one test run with openssl: one for 127.0.0.1 and localhost, one for
// another name, and a bundle of both to trust through SSL_CERT_FILE.
class TestCertificates {
public:
    TestCertificates()
    {
        std::ofstream bundle(m_folder / "trusted.pem");
        for (const auto& [name, names] : {std::pair{"local", "IP:127.0.0.1,DNS:localhost"},
                                          std::pair{"other", "DNS:other.example"}}) {
            QProcess openssl;
            openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                                      "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2",
                                      "-subj", QStringLiteral("/CN=") + name, "-addext",
                                      QStringLiteral("subjectAltName=") + names, "-keyout",
                                      QString::fromStdString(key(name)), "-out",
                                      QString::fromStdString(certificate(name))});
            openssl.waitForFinished(20'000);
            bundle << std::ifstream(certificate(name)).rdbuf();
        }
    }

    std::string certificate(const std::string& name) const
    {
        return (m_folder / (name + ".pem")).string();
    }
    std::string key(const std::string& name) const { return (m_folder / (name + ".key")).string(); }
    std::string bundle() const { return (m_folder / "trusted.pem").string(); }

private:
    TempFolder m_folder{"nelvo-certificates"};
};

// The tests' calendar server (support/calendar_server.py) on 127.0.0.1, serving the files of
// its own folder under /cal/: HTTPS with the named certificate, or plain HTTP without one.
class CalendarServer {
public:
    explicit CalendarServer(const TestCertificates* certificates = nullptr,
                            const std::string& certificate = "local")
    {
        QStringList arguments{QStringLiteral(NELVO_TEST_DATA "/../support/calendar_server.py"),
                              QString::fromStdString(m_folder.path().string())};
        if (certificates)
            arguments << QString::fromStdString(certificates->certificate(certificate))
                      << QString::fromStdString(certificates->key(certificate));
        m_process.start("python3", arguments);
        m_process.waitForReadyRead(20'000);
        m_port = m_process.readLine().trimmed().toInt();
        m_scheme = certificates ? "https" : "http";
    }
    ~CalendarServer() { stop(); }
    CalendarServer(const CalendarServer&) = delete;
    CalendarServer& operator=(const CalendarServer&) = delete;

    // "https://127.0.0.1:PORT/cal/NAME", or another path of the server.
    std::string address(const std::string& path) const
    {
        return m_scheme + "://127.0.0.1:" + std::to_string(m_port) + path;
    }
    std::string calendar(const std::string& name) const { return address("/cal/" + name); }

    // Puts a calendar on the server (replacing one of that name).
    void serve(const std::string& name, const std::string& text) const
    {
        std::ofstream(m_folder / name, std::ios::binary) << text;
    }

    // The requests answered so far, one "GET /cal/work.ics 304" line each.
    std::string log()
    {
        m_log += m_process.readAllStandardOutput().toStdString();
        return m_log;
    }
    // Whether the server wrote `text` in its log, waiting for it as long as the server runs.
    bool hasLogged(const std::string& text)
    {
        while (log().find(text) == std::string::npos) {
            if (!m_process.waitForReadyRead(10'000))
                return false;
        }
        return true;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    TempFolder m_folder{"nelvo-served"};
    QProcess m_process;
    int m_port = 0;
    std::string m_scheme;
    std::string m_log;
};

// A socket that takes connections and never says a word.
class SilentServer {
public:
    SilentServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_fd, 8);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(m_fd); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;
    int port() const { return m_port; }
    std::string address() const
    {
        return "https://127.0.0.1:" + std::to_string(m_port) + "/cal/team.ics";
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

}  // namespace nelvo::test
