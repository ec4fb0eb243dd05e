#include "ui/share/copy_actions.h"

#include "app/availability_model.h"
#include "ui/share/availability_picture.h"
#include "ui/share/clipboard_content.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace nelvo {

namespace {

bool put(std::unique_ptr<QMimeData> data)
{
    if (!data)
        return false;
    // Replacing the data drops every flavour of the previous copy.
    QGuiApplication::clipboard()->setMimeData(data.release());
    return true;
}

}  // namespace

CopyActions::CopyActions(AvailabilityModel& model, Scale scale, QObject* parent)
    : QObject(parent), m_model(model), m_scale(std::move(scale))
{
}

bool CopyActions::copyAvailability()
{
    return finish(put(ClipboardContent::availability(m_model)));
}

bool CopyActions::copyTable()
{
    return finish(put(ClipboardContent::table(m_model)));
}

bool CopyActions::copyPicture()
{
    const QImage image = ClipboardContent::pictureOf(m_model).image(m_scale ? m_scale() : 1.0);
    return finish(put(ClipboardContent::picture(image)));
}

bool CopyActions::copyTextAndPicture()
{
    auto data = std::make_unique<QMimeData>();
    data->setData(ClipboardContent::plainType, QByteArray::fromStdString(m_model.chatText()));
    const QImage image = ClipboardContent::pictureOf(m_model).image(m_scale ? m_scale() : 1.0);
    if (const auto png = AvailabilityPicture::encode(image, "png"))
        data->setData(ClipboardContent::pngType, *png);
    return finish(put(std::move(data)));
}

bool CopyActions::finish(bool wrote)
{
    // Nothing written, nothing said: a sound or "Copied" would claim a copy that did not happen.
    if (!wrote)
        return false;
    m_model.play(Sound::copy);
    Q_EMIT copied();
    return true;
}

}  // namespace nelvo
