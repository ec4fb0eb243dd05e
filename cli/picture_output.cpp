#include "cli/picture_output.h"

#include "app/availability_model.h"
#include "app/module.h"
#include "app/picture_maker.h"

namespace nelvo {

namespace {

const PictureMaker* live = nullptr;

}  // namespace

PictureOutput::PictureOutput(int& argc, char** argv)
{
    if (const auto factory = Module::factory<PictureMaker::Factory>(
            PictureMaker::moduleName, PictureMaker::factorySymbol, m_whyNot))
        m_maker.reset(factory(&argc, argv));
    live = m_maker.get();
}

PictureOutput::~PictureOutput()
{
    live = nullptr;
}

std::string PictureOutput::png(const AvailabilityModel& model, double scale)
{
    return live ? live->png(model.title(), model.table(), scale) : std::string();
}

}  // namespace nelvo
