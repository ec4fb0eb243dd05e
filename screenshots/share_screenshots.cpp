// The picture that Copy as Picture, Save Picture… and sharing hand out, for the demo week.
#include "screenshot.h"

#include "app/availability_model.h"
#include "ui/share/availability_picture.h"
#include "ui/share/clipboard_content.h"

#include <QLabel>
#include <QPixmap>

namespace nelvo {

namespace {

QWidget* pictureOf(ScreenshotContext& context, std::initializer_list<const char*> zones)
{
    MainWindow& window = context.window({.demo = true, .onboarded = true});
    AvailabilityModel& model = *window.rootView().model();
    model.setDayCount(5);
    for (const char* zone : zones)
        model.addZone(zone);
    auto* label = new QLabel(&window, Qt::Window);
    const QPixmap picture = QPixmap::fromImage(ClipboardContent::pictureOf(model).image(1));
    label->setPixmap(picture);
    label->resize(picture.size());
    label->show();
    ScreenshotContext::settle();
    return label;
}

}  // namespace

NELVO_SCREENSHOT("picture-one-zone")
{
    return pictureOf(context, {});
}

NELVO_SCREENSHOT("picture-three-zones")
{
    return pictureOf(context, {"Europe/London", "Asia/Kolkata"});
}

}  // namespace nelvo
