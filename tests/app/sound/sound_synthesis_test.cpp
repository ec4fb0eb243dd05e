#include "app/sound/sound_synthesis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace nelvo {
namespace {

double loudest(std::span<const double> samples)
{
    double peak = 0;
    for (double s : samples)
        peak = std::max(peak, std::fabs(s));
    return peak;
}

TEST(SoundSynthesis, PeakAndRestoreMirrorsRemove)
{
    // Every sound peaks at 0.2.
    for (std::size_t i = 0; i < soundCount; ++i)
        EXPECT_NEAR(loudest(SoundSynthesis::samples(static_cast<Sound>(i))), 0.2, 1e-12) << i;
    // Restore is remove played backwards, sample for sample.
    auto remove = SoundSynthesis::samples(Sound::remove);
    std::reverse(remove.begin(), remove.end());
    EXPECT_EQ(SoundSynthesis::samples(Sound::restore), remove);
}

TEST(SoundSynthesis, SlidesBrightenOrDarken)
{
    // Sample-to-sample change against level: higher where the filter lets more through.
    const auto brightness = [](std::span<const double> s) {
        double steps = 0, level = 0;
        for (std::size_t i = 1; i < s.size(); ++i) {
            steps += std::fabs(s[i] - s[i - 1]);
            level += std::fabs(s[i]);
        }
        return steps / level;
    };
    const auto in = SoundSynthesis::samples(Sound::slideIn);
    const auto out = SoundSynthesis::samples(Sound::slideOut);
    EXPECT_GT(brightness(std::span(in).last(2646)), 1.5 * brightness(std::span(in).first(2646)));
    EXPECT_GT(brightness(std::span(out).first(2646)), 1.5 * brightness(std::span(out).last(2646)));
    // Faded in from silence.
    EXPECT_EQ(in.front(), 0);
}

TEST(SoundSynthesis, WaveIsSixteenBitMonoPcm)
{
    const double samples[] = {0.5, -1.0, 1.0, -3.0, std::numeric_limits<double>::quiet_NaN()};
    // clang-format off
    const std::vector<std::uint8_t> expected = {
        'R', 'I', 'F', 'F', 46, 0, 0, 0, 'W', 'A', 'V', 'E',  // 36 + 10 data bytes
        'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,          // 16-byte chunk, PCM, mono
        0x44, 0xAC, 0, 0, 0x88, 0x58, 0x01, 0,                // 44100 Hz, 88200 bytes a second
        2, 0, 16, 0, 'd', 'a', 't', 'a', 10, 0, 0, 0,         // 2 bytes a sample, 16 bits
        0xFF, 0x3F,                                           // 0.5: 16383, fraction dropped
        0x01, 0x80, 0xFE, 0x7F,                               // -1 and 1 limited to [-1, 1)
        0x01, 0x80, 0, 0,                                     // -3 limited; NaN is silence
    };
    // clang-format on
    EXPECT_EQ(SoundSynthesis::wave(samples), expected);
}

}  // namespace
}  // namespace nelvo
