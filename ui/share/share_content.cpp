#include "ui/share/share_content.h"

#include "app/availability_model.h"
#include "ui/share/availability_picture.h"
#include "ui/share/clipboard_content.h"

namespace nelvo {

ShareContent ShareContent::of(const AvailabilityModel& model, double scale)
{
    return ShareContent{.title = model.title(),
                        .text = model.chatText(),
                        .emailHTML = model.emailHTML(),
                        .png = ClipboardContent::pictureOf(model).png(scale),
                        .fileNameStem = model.fileNameStem()};
}

}  // namespace nelvo
