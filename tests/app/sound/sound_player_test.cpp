#include "app/sound/sound_player.h"

#include <gtest/gtest.h>

#include <vector>

namespace nelvo {
namespace {

// A player on a hand-set clock that records what reaches the output.
struct Bench {
    double now = 100;
    bool isEnabled = true;
    std::vector<Sound> played;
    std::vector<const std::uint8_t*> data;
    SoundPlayer player{[this] { return isEnabled; },
                       [this](Sound sound, std::span<const std::uint8_t> wave) {
                           played.push_back(sound);
                           data.push_back(wave.data());
                       },
                       [this] { return now; }};

    std::size_t playAfter(double seconds, Sound sound = Sound::tick)
    {
        now += seconds;
        player.play(sound);
        return played.size();
    }
};

TEST(SoundPlayer, ThrottlesRapidSoundsAndIsSilentWhileSoundsAreOff)
{
    Bench bench;
    EXPECT_EQ(bench.playAfter(0), 1u);
    // 0.05 s later: dropped; 0.07 s after the last played: plays.
    EXPECT_EQ(bench.playAfter(0.05), 1u);
    EXPECT_EQ(bench.playAfter(0.02, Sound::copy), 2u);
    EXPECT_EQ(bench.played.back(), Sound::copy);
    // Exactly 0.06 s is still too soon (0.25 and 0.06 add up exactly).
    Bench exact;
    exact.now = 0.25;
    exact.playAfter(0);
    EXPECT_EQ(exact.playAfter(0.06), 1u);
    // Sounds off: nothing plays. The setting is read at each play, and a silent play does not
    // hold back the next one.
    Bench off;
    off.isEnabled = false;
    EXPECT_EQ(off.playAfter(1, Sound::copy), 0u);
    off.isEnabled = true;
    EXPECT_EQ(off.playAfter(0.01, Sound::copy), 1u);
}

TEST(SoundPlayer, HandsTheOutputTheSameWaveEachTime)
{
    Bench bench;
    bench.playAfter(0, Sound::restore);
    bench.playAfter(1, Sound::restore);
    // Synthesised once and kept, so an output may prepare one player per sound.
    ASSERT_EQ(bench.data.size(), 2u);
    EXPECT_EQ(bench.data[0], bench.data[1]);
    EXPECT_EQ(bench.data[0], bench.player.wave(Sound::restore).data());
}

}  // namespace
}  // namespace nelvo
