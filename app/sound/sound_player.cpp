#include "app/sound/sound_player.h"

#include "app/sound/sound_synthesis.h"

#include <chrono>

namespace nelvo {

SoundPlayer::SoundPlayer(std::function<bool()> isEnabled, Output output, Clock clock)
    : m_isEnabled(std::move(isEnabled)), m_output(std::move(output)), m_clock(std::move(clock))
{
}

void SoundPlayer::play(Sound sound)
{
    if (m_isEnabled && !m_isEnabled())
        return;
    const double now = m_clock();
    if (m_lastPlayed && now - *m_lastPlayed <= throttleSeconds)
        return;
    m_lastPlayed = now;
    if (m_output)
        m_output(sound, wave(sound));
}

std::span<const std::uint8_t> SoundPlayer::wave(Sound sound)
{
    if (m_waves.front().empty()) {
        for (std::size_t i = 0; i < soundCount; ++i)
            m_waves[i] = SoundSynthesis::wave(SoundSynthesis::samples(static_cast<Sound>(i)));
    }
    return m_waves[static_cast<std::size_t>(sound)];
}

double SoundPlayer::monotonicSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace nelvo
