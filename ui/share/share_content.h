#pragma once

#include <QByteArray>

#include <optional>
#include <string>

namespace nelvo {

class AvailabilityModel;

// What one share offers; each destination takes the parts its kind asks for.
struct ShareContent {
    std::string title;              // the subject of a message
    std::string text;               // the chat text
    std::string emailHTML;          // the e-mail card document
    std::optional<QByteArray> png;  // the picture; empty when it does not render
    std::string fileNameStem;       // names the attached files

    // The model's outputs now, the picture at `scale` pixels per point.
    static ShareContent of(const AvailabilityModel& model, double scale);
};

}  // namespace nelvo
