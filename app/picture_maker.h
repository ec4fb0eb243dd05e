#pragma once

#include "kit/render/rendered_table.h"

#include <string>

namespace nelvo {

// Draws the availability picture for the command line (`print --format png`). Drawing needs
// Qt Gui and fonts, which only the module "picture" loads. Its factory makes the maker and,
// with it, the application object the drawing needs (a QGuiApplication on the offscreen
// platform); the maker owns that object, so it is made before the model and outlives it.
class PictureMaker {
public:
    static constexpr const char* moduleName = "picture";
    static constexpr const char* factorySymbol = "nelvo_make_picture_maker";
    // `argc` and `argv` are main's; they must outlive the maker.
    using Factory = PictureMaker* (*)(int* argc, char** argv);

    virtual ~PictureMaker() = default;

    // The picture as PNG at `scale` pixels per point; empty when it cannot be drawn.
    virtual std::string png(const std::string& title, const RenderedTable& table,
                            double scale) const = 0;
};

}  // namespace nelvo
