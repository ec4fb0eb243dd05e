#pragma once

namespace nelvo {

// The texts the model writes from its free time (AvailabilityModel::text).
enum class TextFormat {
    chat,           // the chat text
    markdown,       // the message in Markdown
    html,           // the message as an HTML document
    rtf,            // the message in RTF
    table,          // the table in Markdown under a plain heading
    tableMarkdown,  // the table in Markdown with the bold heading
    tableHtml,      // the table as an HTML document
    tableRtf,       // the table in RTF
    email,          // the e-mail card document
};

}  // namespace nelvo
