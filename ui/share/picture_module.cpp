// The one entry of the module "picture": the availability picture without the window.
#include "app/picture_maker.h"
#include "ui/share/availability_picture.h"

#include <QGuiApplication>

#include <memory>

namespace {

class OffscreenPictureMaker final : public nelvo::PictureMaker {
public:
    OffscreenPictureMaker(int* argc, char** argv)
    {
        // Drawing needs fonts, not a display: the same picture with or without one.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt's notes about the session (no runtime folder, say) are not the command's.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        m_application = std::make_unique<QGuiApplication>(*argc, argv);
    }

    std::string png(const std::string& title, const nelvo::RenderedTable& table,
                    double scale) const override
    {
        const auto bytes = nelvo::AvailabilityPicture(title, table).png(scale);
        return bytes ? bytes->toStdString() : std::string();
    }

private:
    std::unique_ptr<QGuiApplication> m_application;
};

}  // namespace

extern "C" nelvo::PictureMaker* nelvo_make_picture_maker(int* argc, char** argv)
{
    return new OffscreenPictureMaker(argc, argv);
}
