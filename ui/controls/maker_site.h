#pragma once

#include <QUrl>

namespace nelvo {

// The maker's web pages, from one base address.
namespace MakerSite {

inline constexpr const char* base = "https://nelvo.app";

inline QUrl privacy() { return QUrl(QString::fromLatin1(base) + QStringLiteral("/nelvo/privacy")); }
inline QUrl support() { return QUrl(QString::fromLatin1(base) + QStringLiteral("/nelvo/support")); }

}  // namespace MakerSite

}  // namespace nelvo
