#include "ui/share/clipboard_content.h"

#include "app/availability_model.h"
#include "kit/render/markdown_renderer.h"
#include "ui/share/availability_picture.h"

#include <QImage>
#include <QMimeData>

namespace nelvo::ClipboardContent {

namespace {

QByteArray bytes(const std::string& text)
{
    return QByteArray::fromStdString(text);
}

void setRtf(QMimeData& data, const std::string& rtf)
{
    if (rtf.empty())
        return;
    data.setData(rtfType, bytes(rtf));
    data.setData(richTextType, bytes(rtf));
}

}  // namespace

std::string availabilityPlainText(const AvailabilityModel& model)
{
    return model.chatText();
}

bool offersTable(const AvailabilityModel& model)
{
    const auto& options = model.renderOptions();
    return options && options->zones.size() >= 2;
}

std::optional<std::string> tablePlainText(const AvailabilityModel& model)
{
    if (!offersTable(model))
        return std::nullopt;
    return model.tableMarkdown();
}

std::unique_ptr<QMimeData> availability(const AvailabilityModel& model)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(plainType, bytes(availabilityPlainText(model)));
    data->setData(htmlType, bytes(model.richHTML()));
    setRtf(*data, model.richRTF());
    data->setData(markdownType, bytes(model.markdownText()));
    return data;
}

std::unique_ptr<QMimeData> table(const AvailabilityModel& model)
{
    const std::optional<std::string> plain = tablePlainText(model);
    if (!plain)
        return nullptr;
    auto data = std::make_unique<QMimeData>();
    data->setData(plainType, bytes(*plain));
    data->setData(htmlType, bytes(model.tableHTML()));
    setRtf(*data, model.tableRTF());
    data->setData(markdownType, bytes(MarkdownRenderer::render(model.table())));
    return data;
}

std::unique_ptr<QMimeData> picture(const QImage& image)
{
    const auto png = AvailabilityPicture::encode(image, "png");
    if (!png)
        return nullptr;
    auto data = std::make_unique<QMimeData>();
    data->setData(pngType, *png);
    if (const auto tiff = AvailabilityPicture::encode(image, "tiff"))
        data->setData(tiffType, *tiff);
    return data;
}

AvailabilityPicture pictureOf(const AvailabilityModel& model)
{
    return AvailabilityPicture(model.title(), model.table());
}

}  // namespace nelvo::ClipboardContent
