#include "ui/sound_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaDevices>
#include <QPointer>

#include <algorithm>
#include <cstring>

namespace nelvo::SoundOutput {

namespace {

// One sink for every sound: a new sound cuts the one still playing, as the player's
// throttle expects.
class Speaker : public QObject {
public:
    explicit Speaker(QObject* parent) : QObject(parent) {}
    // The sink reads the buffer until it stops.
    ~Speaker() override { delete m_sink; }

    void play(std::span<const std::uint8_t> wave)
    {
        if (!m_probed)
            probe();
        const auto pcm = pcmData(wave);
        if (!m_sink || pcm.empty())
            return;
        m_sink->stop();
        m_buffer.close();
        m_buffer.setData(reinterpret_cast<const char*>(pcm.data()),
                         static_cast<qsizetype>(pcm.size()));
        m_buffer.open(QIODevice::ReadOnly);
        m_sink->start(&m_buffer);
    }

private:
    void probe()
    {
        m_probed = true;
        // Qt reaches sound through a PulseAudio server (PipeWire offers one too); without its
        // socket there is nothing to play to, and asking would only print a complaint.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER") &&
            (runtime.isEmpty() ||
             !QFileInfo::exists(QString::fromLocal8Bit(runtime) + QStringLiteral("/pulse/native"))))
            return;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return;
        QAudioFormat format;
        format.setSampleRate(44100);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format))
            return;
        m_sink = new QAudioSink(device, format, this);
        m_sink->setVolume(SoundPlayer::volume);
    }

    bool m_probed = false;
    QAudioSink* m_sink = nullptr;
    QBuffer m_buffer;
};

}  // namespace

std::span<const std::uint8_t> pcmData(std::span<const std::uint8_t> wave)
{
    // RIFF header (12 bytes), then chunks of an 8-byte header and an even-padded body.
    std::size_t at = 12;
    while (wave.size() >= 12 && at + 8 <= wave.size()) {
        std::uint32_t size = 0;
        for (int i = 3; i >= 0; --i)
            size = size << 8 | wave[at + 4 + static_cast<std::size_t>(i)];
        if (std::memcmp(wave.data() + at, "data", 4) == 0)
            return wave.subspan(at + 8, std::min<std::size_t>(size, wave.size() - at - 8));
        at += 8 + size + (size & 1);
    }
    return {};
}

SoundPlayer::Output desktop()
{
    return [speaker = QPointer<Speaker>()](Sound, std::span<const std::uint8_t> wave) mutable {
        if (!speaker) {
            if (!QCoreApplication::instance())
                return;
            speaker = new Speaker(QCoreApplication::instance());
        }
        speaker->play(wave);
    };
}

}  // namespace nelvo::SoundOutput
