#pragma once

#include <memory>
#include <string>

namespace nelvo {

class AvailabilityModel;
class PictureMaker;

// The picture of `print --format png`, drawn by the module "picture", which a run loads only
// for it. main makes one before anything else makes an application object: it brings its
// own (a QGuiApplication), which the model then runs on.
class PictureOutput {
public:
    // `argc` and `argv` are main's.
    PictureOutput(int& argc, char** argv);
    ~PictureOutput();
    PictureOutput(const PictureOutput&) = delete;
    PictureOutput& operator=(const PictureOutput&) = delete;

    // Whether the module was loaded; otherwise whyNot() says why.
    bool isReady() const { return m_maker != nullptr; }
    const std::string& whyNot() const { return m_whyNot; }

    // The model's picture as PNG, by the live PictureOutput; empty without one, or when it
    // cannot be drawn.
    static std::string png(const AvailabilityModel& model, double scale);

private:
    std::unique_ptr<PictureMaker> m_maker;
    std::string m_whyNot;
};

}  // namespace nelvo
