#pragma once

#include "app/sound/sound.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace nelvo {

// Plays interface sounds unless the user switched them off, and at most one every
// `throttleSeconds`, so that a drag across many quarter hours does not rattle.
class SoundPlayer {
public:
    // Playback level the output applies to every sound.
    static constexpr double volume = 0.6;
    // A sound this soon or sooner after the last one played is dropped.
    static constexpr double throttleSeconds = 0.06;

    // Plays a sound from its WAVE data, at `volume`, from the start. The data stays alive and
    // unchanged as long as the player, so an output may prepare one player per sound once.
    using Output = std::function<void(Sound, std::span<const std::uint8_t> wave)>;
    // Seconds on a clock that never goes back.
    using Clock = std::function<double()>;

    // `isEnabled` reads the user's setting at each play (an empty function: always on). An
    // empty output plays nothing.
    SoundPlayer(std::function<bool()> isEnabled, Output output, Clock clock = monotonicSeconds);

    void play(Sound sound);

    // The WAVE data of a sound. All six are synthesised together on first use and kept.
    std::span<const std::uint8_t> wave(Sound sound);

    static double monotonicSeconds();

private:
    std::function<bool()> m_isEnabled;
    Output m_output;
    Clock m_clock;
    std::optional<double> m_lastPlayed;
    std::array<std::vector<std::uint8_t>, soundCount> m_waves;  // empty until first use
};

}  // namespace nelvo
