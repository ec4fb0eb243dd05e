#pragma once

#include "app/sound/sound_player.h"

namespace nelvo {

// Where the interface sounds are heard.
namespace SoundOutput {

// The desktop's default audio output, looked up when the first sound plays. Plays nothing,
// and says nothing, where there is no audio device or it takes no 16-bit mono sound.
SoundPlayer::Output desktop();

// The sample data of a WAVE file: the bytes of its "data" chunk; empty when there is none.
std::span<const std::uint8_t> pcmData(std::span<const std::uint8_t> wave);

}  // namespace SoundOutput

}  // namespace nelvo
