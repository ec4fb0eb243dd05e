#pragma once

#include "app/sound/sound.h"

#include <cstdint>
#include <span>
#include <vector>

namespace nelvo {

// The six sounds, made from sine waves, a triangle wave and filtered noise, so that no audio
// file ships with the program.
namespace SoundSynthesis {

inline constexpr int sampleRate = 44100;
// Every sound is scaled so its loudest sample has this magnitude.
inline constexpr double peak = 0.2;

// Mono samples at `sampleRate`, normalised to `peak`. The same every time: the noise of the
// slides comes from a fixed seed.
std::vector<double> samples(Sound sound);

// A WAVE file in memory: 16-bit PCM, mono, `sampleRate`. Samples are limited to [-1, 1)
// before scaling, so out-of-range input cannot wrap around.
std::vector<std::uint8_t> wave(std::span<const double> samples);

}  // namespace SoundSynthesis

}  // namespace nelvo
