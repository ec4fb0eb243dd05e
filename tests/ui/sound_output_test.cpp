#include "app/sound/sound_player.h"
#include "ui/sound_output.h"

#include "support/scoped_env.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace nelvo {
namespace {

TEST(SoundOutput, FindsTheSamplesOfASynthesisedOrTruncatedWave)
{
    SoundPlayer player({}, {});
    const auto wave = player.wave(Sound::copy);
    const auto pcm = SoundOutput::pcmData(wave);
    EXPECT_EQ(pcm.data(), wave.data() + 44);
    EXPECT_EQ(pcm.size(), wave.size() - 44);
    const std::uint8_t truncated[] = {'R', 'I', 'F', 'F', 0,   0,    0,    0, 'W', 'A', 'V',
                                      'E', 'd', 'a', 't', 'a', 0xff, 0xff, 0, 0,   1,   2};
    EXPECT_EQ(SoundOutput::pcmData(truncated).size(), 2u);
    EXPECT_TRUE(SoundOutput::pcmData({}).empty());
}

QStringList said;

TEST(SoundOutput, PlaysSilentlyWithoutAnAudioDevice)
{
    // No sound server: playing neither fails nor complains on the terminal.
    QTemporaryDir runtime;
    const test::ScopedEnv noRuntime("XDG_RUNTIME_DIR", runtime.path().toStdString());
    const test::ScopedEnv noServer("PULSE_SERVER", std::nullopt);
    said.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { said.append(text); });
    SoundPlayer player({}, SoundOutput::desktop(), [] { return 0.0; });
    player.play(Sound::copy);
    player.play(Sound::remove);
    QCoreApplication::processEvents();
    qInstallMessageHandler(previous);
    EXPECT_EQ(said, QStringList{});
}

}  // namespace
}  // namespace nelvo
