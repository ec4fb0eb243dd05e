#pragma once

#include <memory>
#include <optional>
#include <string>

class QImage;
class QMimeData;

namespace nelvo {

class AvailabilityModel;
class AvailabilityPicture;

// What each copy command puts on the clipboard, flavour by flavour in the order offered.
// A flavour whose content cannot be produced is left out.
namespace ClipboardContent {

inline constexpr const char* plainType = "text/plain";
inline constexpr const char* htmlType = "text/html";
// What LibreOffice and GTK read; some older programs ask for the second name.
inline constexpr const char* rtfType = "text/rtf";
inline constexpr const char* richTextType = "text/richtext";
inline constexpr const char* markdownType = "text/markdown;charset=utf-8";
inline constexpr const char* pngType = "image/png";
inline constexpr const char* tiffType = "image/tiff";

// The plain-text flavour of Copy availability: the chat text. The preview shows the same.
std::string availabilityPlainText(const AvailabilityModel& model);
// Whether Copy as Table has anything to write: the model renders two zones or more (its own
// primary zone counted, which need not be the machine's).
bool offersTable(const AvailabilityModel& model);
// The plain-text flavour of Copy as Table; empty unless offersTable.
std::optional<std::string> tablePlainText(const AvailabilityModel& model);

// Copy availability: the chat text, the rich HTML, the same as RTF, the Markdown.
std::unique_ptr<QMimeData> availability(const AvailabilityModel& model);

// Copy as Table: the table as Markdown under a plain heading, as HTML, as RTF, and as
// Markdown with the bold heading. Empty unless offersTable.
std::unique_ptr<QMimeData> table(const AvailabilityModel& model);

// Copy as Picture: PNG, then TIFF when that encoder exists. Empty when the image is null or
// cannot be encoded as PNG.
std::unique_ptr<QMimeData> picture(const QImage& image);

// The picture of the model's current table under its title.
AvailabilityPicture pictureOf(const AvailabilityModel& model);

}  // namespace ClipboardContent

}  // namespace nelvo
