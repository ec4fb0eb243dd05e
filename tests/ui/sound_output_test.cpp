#include "app/sound/sound_player.h"
#include "ui/sound_output.h"

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(SoundOutput, FindsTheSamplesOfEverySynthesisedSound)
{
    SoundPlayer player({}, {});
    for (std::size_t i = 0; i < soundCount; ++i) {
        const auto wave = player.wave(static_cast<Sound>(i));
        const auto pcm = SoundOutput::pcmData(wave);
        ASSERT_FALSE(pcm.empty());
        EXPECT_EQ(pcm.data(), wave.data() + 44);
        EXPECT_EQ(pcm.size(), wave.size() - 44);
    }
    const std::uint8_t truncated[] = {'R', 'I', 'F', 'F', 0,   0,    0,    0, 'W', 'A', 'V',
                                      'E', 'd', 'a', 't', 'a', 0xff, 0xff, 0, 0,   1,   2};
    EXPECT_EQ(SoundOutput::pcmData(truncated).size(), 2u);
    EXPECT_TRUE(SoundOutput::pcmData({}).empty());
}

TEST(SoundOutput, PlaysSilentlyWithoutAnAudioDevice)
{
    // The test machine has no sound server: playing must neither fail nor block.
    SoundPlayer player({}, SoundOutput::desktop(), [] { return 0.0; });
    player.play(Sound::copy);
    SUCCEED();
}

}  // namespace
}  // namespace nelvo
