#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QNetworkAccessManager;

namespace nelvo {

// One fetch of a calendar address, run by Qt Network without blocking the thread that starts
// it: the connection, TLS and HTTP work happen on Qt's own network thread, and `done` is
// called once, on the starting thread's event loop. TLS certificates are always verified.
// Causes of failure are plain words that never repeat the address.
class WebCalendarFetch {
public:
    static constexpr std::int64_t maxBytes = 20LL * 1024 * 1024;
    static constexpr int maxRedirects = 5;

    struct Result {
        enum class Outcome {
            fetched,    // `text` is the calendar, with the server's validators
            unchanged,  // 304: the saved copy is still the calendar
            failed,     // see `cause`
        };
        Outcome outcome = Outcome::failed;
        std::string text;
        std::string etag;
        std::string lastModified;
        std::string contentType;
        std::string cause;        // "the server refused the connection"
        bool isNoAnswer = false;  // failed because the bound ran out
    };

    // Starts at once. The validators, when not empty, are sent so that an unchanged calendar
    // costs a 304. The whole fetch is bounded by `timeout`.
    WebCalendarFetch(QNetworkAccessManager& network, const std::string& address,
                     const std::string& etag, const std::string& lastModified,
                     std::chrono::milliseconds timeout, std::function<void(Result)> done);
    // Aborts a fetch still running; `done` is not called then.
    ~WebCalendarFetch();
    WebCalendarFetch(const WebCalendarFetch&) = delete;
    WebCalendarFetch& operator=(const WebCalendarFetch&) = delete;

    bool isRunning() const;
    // Gives up now, as if the bound had run out: `done` is called with a no-answer failure.
    void giveUp();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace nelvo
