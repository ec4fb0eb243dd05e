#include "app/web/web_calendar_fetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace nelvo {

namespace {

std::string seconds(std::chrono::milliseconds timeout)
{
    const auto whole = std::max<long long>(1, (timeout.count() + 999) / 1000);
    return std::to_string(whole) + " s";
}

std::string statusCause(int status)
{
    switch (status) {
    case 401:
    case 403:
        return "the server refused the address (the address may have been reset)";
    case 404:
    case 410:
        return "the server has no calendar at this address (it may have been removed)";
    default:
        break;
    }
    if (status >= 500)
        return "the server failed (error " + std::to_string(status) + ")";
    return "the server answered with error " + std::to_string(status);
}

std::string networkCause(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return "the server was not found (no network, or a mistyped address)";
    case QNetworkReply::ConnectionRefusedError:
        return "the server refused the connection";
    case QNetworkReply::RemoteHostClosedError:
        return "the server closed the connection";
    case QNetworkReply::TimeoutError:
        return "the server did not answer";
    case QNetworkReply::SslHandshakeFailedError:
        return "a secure connection could not be made";
    case QNetworkReply::TooManyRedirectsError:
        return "the server redirected more than " + std::to_string(WebCalendarFetch::maxRedirects) +
               " times";
    case QNetworkReply::InsecureRedirectError:
        return "the server redirected to an unencrypted address";
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError:
        return "the network is not available";
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::ProxyAuthenticationRequiredError:
    case QNetworkReply::UnknownProxyError:
        return "the network's proxy refused the connection";
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::ProtocolFailure:
        return "the server's answer was not understood";
    default:
        // Qt's own text may name the address: never used.
        return "it could not be fetched (network error " + std::to_string(static_cast<int>(error)) +
               ")";
    }
}

// The certificates trusted in place of the system's when SSL_CERT_FILE names a bundle, as
// every OpenSSL program does; nothing when it is unset. Read once.
const std::optional<QSslConfiguration>& trustedBundle()
{
    static const std::optional<QSslConfiguration> bundle =
        []() -> std::optional<QSslConfiguration> {
        const QString file = qEnvironmentVariable("SSL_CERT_FILE");
        if (file.isEmpty())
            return std::nullopt;
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setCaCertificates(QSslCertificate::fromPath(file));
        return configuration;
    }();
    return bundle;
}

std::string header(QNetworkReply& reply, const char* name)
{
    return reply.rawHeader(name).toStdString();
}

}  // namespace

struct WebCalendarFetch::Impl {
    std::function<void(Result)> done;
    QNetworkReply* reply = nullptr;  // owned until it finishes
    QTimer bound;
    QByteArray body;
    std::string timeoutText;
    std::string tlsCause;
    std::string refusal;  // set when we stop the transfer ourselves
    bool isNoAnswer = false;

    void stop(std::string cause, bool noAnswer)
    {
        if (!reply)
            return;
        refusal = std::move(cause);
        isNoAnswer = noAnswer;
        reply->abort();  // finished() follows at once
    }

    void finish()
    {
        bound.stop();
        QNetworkReply* finished = reply;
        reply = nullptr;
        finished->deleteLater();
        Result result;
        const int status = finished->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (!refusal.empty()) {
            result.cause = refusal;
            result.isNoAnswer = isNoAnswer;
        } else if (status == 304) {
            result.outcome = Result::Outcome::unchanged;
        } else if (status >= 400) {
            result.cause = statusCause(status);
        } else if (finished->error() != QNetworkReply::NoError) {
            result.cause = tlsCause.empty() ? networkCause(finished->error()) : tlsCause;
            result.isNoAnswer = finished->error() == QNetworkReply::TimeoutError;
        } else if (status != 200 && status != 203) {
            result.cause = "the server answered with status " + std::to_string(status);
        } else {
            body += finished->readAll();
            result.outcome = Result::Outcome::fetched;
            result.text = body.toStdString();
            result.etag = header(*finished, "ETag");
            result.lastModified = header(*finished, "Last-Modified");
            result.contentType = header(*finished, "Content-Type");
        }
        body.clear();
        auto callback = std::move(done);
        done = nullptr;
        if (callback)
            callback(std::move(result));
    }
};

WebCalendarFetch::WebCalendarFetch(QNetworkAccessManager& network, const std::string& address,
                                   const std::string& etag, const std::string& lastModified,
                                   std::chrono::milliseconds timeout,
                                   std::function<void(Result)> done)
    : m_impl(std::make_unique<Impl>())
{
    Impl& d = *m_impl;
    d.done = std::move(done);
    d.timeoutText = "did not answer in " + seconds(timeout);

    QNetworkRequest request{QUrl(QString::fromStdString(address))};
    // Never from https to http; verification of the peer is Qt's default and stays on.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    if (const auto& bundle = trustedBundle())
        request.setSslConfiguration(*bundle);
    request.setRawHeader("Accept", "text/calendar, */*;q=0.5");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Nelvo"));
    if (!etag.empty())
        request.setRawHeader("If-None-Match", QByteArray::fromStdString(etag));
    if (!lastModified.empty())
        request.setRawHeader("If-Modified-Since", QByteArray::fromStdString(lastModified));

    d.reply = network.get(request);
    Impl* impl = &d;
    QObject::connect(d.reply, &QNetworkReply::metaDataChanged, d.reply, [impl] {
        const QVariant length = impl->reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes)
            impl->stop("larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB", false);
    });
    QObject::connect(d.reply, &QNetworkReply::readyRead, d.reply, [impl] {
        if (!impl->reply)
            return;
        impl->body += impl->reply->readAll();
        if (impl->body.size() > maxBytes)
            impl->stop("larger than " + std::to_string(maxBytes / (1024 * 1024)) + " MB", false);
    });
    QObject::connect(
        d.reply, &QNetworkReply::sslErrors, d.reply, [impl](const QList<QSslError>& errors) {
            // Told, never ignored: the fetch fails.
            impl->tlsCause = "the server's certificate was refused";
            if (!errors.isEmpty())
                impl->tlsCause += " (" + errors.first().errorString().toLower().toStdString() + ")";
        });
    QObject::connect(d.reply, &QNetworkReply::finished, d.reply, [impl] { impl->finish(); });
    d.bound.setSingleShot(true);
    d.bound.setInterval(timeout);
    QObject::connect(&d.bound, &QTimer::timeout, &d.bound,
                     [impl] { impl->stop(impl->timeoutText, true); });
    d.bound.start();
}

WebCalendarFetch::~WebCalendarFetch()
{
    if (m_impl->reply) {
        m_impl->done = nullptr;
        QNetworkReply* reply = m_impl->reply;
        m_impl->reply = nullptr;
        QObject::disconnect(reply, nullptr, nullptr, nullptr);
        reply->abort();
        reply->deleteLater();
    }
}

bool WebCalendarFetch::isRunning() const
{
    return m_impl->reply != nullptr;
}

void WebCalendarFetch::giveUp()
{
    m_impl->stop(m_impl->timeoutText, true);
}

}  // namespace nelvo
