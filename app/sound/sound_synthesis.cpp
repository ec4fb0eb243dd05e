#include "app/sound/sound_synthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace nelvo::SoundSynthesis {

namespace {

constexpr double twoPi = 2 * std::numbers::pi;

struct Tone {
    int sampleCount;
    double frequency;      // Hz
    double attackSeconds;  // linear rise from silence
    double decaySeconds;   // time constant of the exponential fall
};

constexpr Tone tickTone{
    .sampleCount = 1234, .frequency = 2200, .attackSeconds = 0.001, .decaySeconds = 0.008};
// The copy sound rises a minor third: E5, then G5.
constexpr Tone copyFirstNote{
    .sampleCount = 3969, .frequency = 659.255, .attackSeconds = 0.008, .decaySeconds = 0.06};
constexpr Tone copySecondNote{
    .sampleCount = 6174, .frequency = 783.991, .attackSeconds = 0.008, .decaySeconds = 0.09};

constexpr double removeSeconds = 0.12;
constexpr double removeFrequency = 440;
constexpr double removeDecaySeconds = 0.035;

constexpr int slideSampleCount = 7938;
constexpr double slideLowCutoff = 300;    // Hz
constexpr double slideHighCutoff = 3000;  // Hz
// Above this the one-pole filter barely filters and starts to ring.
constexpr double largestFilterCoefficient = 0.95;
// Any fixed seed: the slides then sound the same on every run and can be checked.
constexpr std::mt19937::result_type noiseSeed = 20250304;
constexpr int noiseBits = 24;

constexpr double largestSample = 32767;

double seconds(int sample)
{
    return static_cast<double>(sample) / sampleRate;
}

void appendTone(const Tone& tone, std::vector<double>& out)
{
    for (int i = 0; i < tone.sampleCount; ++i) {
        const double t = seconds(i);
        out.push_back(std::sin(twoPi * tone.frequency * t) * std::min(1.0, t / tone.attackSeconds) *
                      std::exp(-t / tone.decaySeconds));
    }
}

std::vector<double> removed()
{
    const auto count = static_cast<int>(std::lround(removeSeconds * sampleRate));
    std::vector<double> out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double t = seconds(i);
        const double phase = removeFrequency * t;
        const double triangle = std::fabs(phase - std::floor(phase) - 0.5) * 4 - 1;
        out.push_back(triangle * std::exp(-t / removeDecaySeconds));
    }
    return out;
}

// White noise through a one-pole low-pass whose cutoff sweeps between the two limits, faded
// in and out with a sine-squared envelope.
std::vector<double> slide(bool isRising)
{
    std::mt19937 random(noiseSeed);
    constexpr double noiseScale = 1 << (noiseBits - 1);
    std::vector<double> out;
    out.reserve(slideSampleCount);
    double y = 0;
    for (int i = 0; i < slideSampleCount; ++i) {
        const double p = static_cast<double>(i) / slideSampleCount;
        const double cutoff =
            slideLowCutoff + (slideHighCutoff - slideLowCutoff) * (isRising ? p : 1 - p);
        const double a = std::min(largestFilterCoefficient, twoPi * cutoff / sampleRate);
        const double noise = static_cast<double>(random() >> (32 - noiseBits)) / noiseScale - 1;
        y += (noise - y) * a;
        const double envelope = std::sin(std::numbers::pi * p);
        out.push_back(y * envelope * envelope);
    }
    return out;
}

std::vector<double> raw(Sound sound)
{
    std::vector<double> out;
    switch (sound) {
    case Sound::tick:
        appendTone(tickTone, out);
        break;
    case Sound::copy:
        appendTone(copyFirstNote, out);
        appendTone(copySecondNote, out);
        break;
    case Sound::remove:
        out = removed();
        break;
    case Sound::restore:
        out = removed();
        std::reverse(out.begin(), out.end());
        break;
    case Sound::slideIn:
        out = slide(true);
        break;
    case Sound::slideOut:
        out = slide(false);
        break;
    }
    return out;
}

void putText(std::vector<std::uint8_t>& out, const char (&text)[5])
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(text[i]));
}

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<double> samples(Sound sound)
{
    std::vector<double> out = raw(sound);
    double loudest = 0;
    for (double s : out)
        loudest = std::max(loudest, std::fabs(s));
    if (loudest > 0) {
        const double scale = peak / loudest;
        for (double& s : out)
            s *= scale;
    }
    return out;
}

std::vector<std::uint8_t> wave(std::span<const double> samples)
{
    constexpr std::uint32_t headerBytes = 44;
    constexpr std::uint32_t fmtChunkBytes = 16;
    constexpr std::uint16_t pcmFormat = 1;
    constexpr std::uint16_t channels = 1;
    constexpr std::uint16_t bitsPerSample = 16;
    constexpr std::uint16_t blockAlign = channels * bitsPerSample / 8;
    constexpr std::uint32_t bytesPerSecond = sampleRate * blockAlign;

    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * blockAlign);
    std::vector<std::uint8_t> out;
    out.reserve(headerBytes + dataBytes);
    putText(out, "RIFF");
    putLittleEndian(out, headerBytes - 8 + dataBytes, 4);
    putText(out, "WAVE");
    putText(out, "fmt ");
    putLittleEndian(out, fmtChunkBytes, 4);
    putLittleEndian(out, pcmFormat, 2);
    putLittleEndian(out, channels, 2);
    putLittleEndian(out, sampleRate, 4);
    putLittleEndian(out, bytesPerSecond, 4);
    putLittleEndian(out, blockAlign, 2);
    putLittleEndian(out, bitsPerSample, 2);
    putText(out, "data");
    putLittleEndian(out, dataBytes, 4);

    const double belowOne = std::nextafter(1.0, 0.0);
    for (double s : samples) {
        // NaN would make the conversion undefined; it becomes silence.
        const double limited = std::isnan(s) ? 0.0 : std::clamp(s, -1.0, belowOne);
        const auto value = static_cast<std::int16_t>(limited * largestSample);
        putLittleEndian(out, static_cast<std::uint16_t>(value), 2);
    }
    return out;
}

}  // namespace nelvo::SoundSynthesis
