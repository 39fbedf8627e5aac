#include "midi/fluidsynth/fluid_synth_device.h"
#include "midi/midi_result.h"
#include "midi/short_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <span>
#include <vector>

namespace {

constexpr double sampleRate = 48000.0;
constexpr std::int16_t channel = 8, middleC = 60;

double rms(std::span<const float> s)
{
    return std::sqrt(std::inner_product(s.begin(), s.end(), s.begin(), 0.0) / double(s.size()));
}

// A synthesiser without audio output playing the system's General MIDI SoundFont.
class RenderedSynth : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto fonts = generalMidiSoundFonts();
        const auto installed
            = std::ranges::find_if(fonts, [](const auto& f) { return std::filesystem::exists(f); });
        if (installed == fonts.end())
            GTEST_SKIP() << "no General MIDI SoundFont installed (package timgm6mb-soundfont)";
        options.soundFonts = { *installed };
        restart();
    }
    void restart()
    {
        synth = std::make_unique<FluidSynthDevice>(options);
        ASSERT_EQ(synth->open(), MidiResult::NoError);
    }
    std::vector<float> render(double seconds)
    {
        std::vector<float> left(std::size_t(seconds * sampleRate)), right(left.size());
        synth->render(left, right);
        return left;
    }
    std::vector<float> play(std::int16_t program, std::int16_t velocity, double seconds)
    {
        synth->send(ShortMessage::programChange(channel, program).value());
        synth->send(ShortMessage::noteOn(channel, middleC, velocity).value());
        return render(seconds);
    }

    SynthOptions options;
    std::unique_ptr<FluidSynthDevice> synth;
};

// The pitch is heard end to end; here what only the rendered samples show. Rendering is
// deterministic: the same note on the same program gives the same samples.
TEST_F(RenderedSynth, theProgramChangesTheSoundAndVelocityZeroIsSilent)
{
    const auto piano = play(0, 100, 0.5);
    restart();
    EXPECT_EQ(play(0, 100, 0.5), piano);
    restart();
    EXPECT_NE(play(73, 100, 0.5), piano) << "a flute does not sound like a piano";
    restart();
    EXPECT_LT(rms(play(0, 0, 0.5)), 1e-6);
    restart();
    EXPECT_GT(rms(play(0, 1, 0.5)), 0.0) << "velocity 1 still sounds";
}

TEST_F(RenderedSynth, aNoteEndsOnlyWithItsOwnNoteOff)
{
    // A church organ holds its level while the key is down.
    const std::pair<std::uint32_t, bool> cases[] = {
        { ShortMessage::noteOff(channel, middleC).value(), false },
        { ShortMessage::noteOff(7, middleC).value(), true },
        { ShortMessage::noteOff(channel, middleC + 1).value(), true },
    };
    for (const auto& [message, stillSounds] : cases) {
        restart();
        const double held = rms(play(19, 100, 0.5));
        ASSERT_GT(held, 1e-3);
        synth->send(message);
        const std::vector<float> after = render(3.0);
        const double tail = rms(std::span(after).last(4800));
        EXPECT_EQ(tail > held * 0.3, stillSounds) << std::hex << message;
    }
}

// An output that connects when told to, counts its wake-ups and renders when told to.
struct FakeOutput : AudioConnection
{
    FakeOutput(AudioSource& source, bool answer, const AudioFormat& format)
        : AudioConnection(source, format)
        , answers(answer)
    { }
    bool connect() override { return answers; }
    void wake() override { ++wakes; }
    using AudioConnection::lose;
    using AudioConnection::render;
    bool answers;
    int wakes = 0;
};

TEST_F(RenderedSynth, outputsAreTriedInOrderSoundFromEachNoteOnAndALostOneIsReplaced)
{
    std::vector<std::string> made;
    std::shared_ptr<FakeOutput> last;
    const auto kind = [&](std::string service, bool answers, bool server) {
        return AudioOutputKind { service,
            [&, service, answers](AudioSource& source, const AudioFormat& format) {
                made.push_back(service);
                return last = std::make_shared<FakeOutput>(source, answers, format);
            },
            server };
    };
    options.outputs
        = { kind("absent", false, true), kind("server", true, true), kind("card", true, false) };
    restart();
    EXPECT_EQ(made, (std::vector<std::string> { "absent", "server" }));
    std::vector<float> left(480), right(480);
    const auto next = [&] { return last->render({ left.data(), right.data(), left.size() }); };
    EXPECT_FALSE(next()) << "silent before the first note";
    for (const char* when : { "at first", "after a silence" }) {
        synth->send(ShortMessage::noteOn(channel, middleC, 100).value());
        EXPECT_TRUE(next() && rms(left) > 1e-3) << "in its first block " << when;
        synth->send(ShortMessage::noteOff(channel, middleC).value());
        int sounding = 0;
        while (sounding < 500 && next())
            ++sounding;
        EXPECT_TRUE(sounding < 500 && rms(left) < 1e-5) << "silence within 5 s of the note off";
    }
    EXPECT_EQ(last->wakes, 2);
    last->lose();
    synth->send(ShortMessage::programChange(channel, 1).value());
    synth->send(ShortMessage::noteOff(channel, middleC).value());
    EXPECT_EQ(made.size(), 2U) << "nothing is replaced before a note on";
    synth->send(ShortMessage::noteOn(channel, middleC, 100).value());
    EXPECT_EQ(made, (std::vector<std::string> { "absent", "server", "absent", "server" }));
    EXPECT_EQ(last->wakes, 1);

    options.outputs = { kind("absent", false, true) };
    FluidSynthDevice noOutput(options);
    EXPECT_EQ(noOutput.open(), MidiResult::NotReady);
}

// A missing candidate is passed over without a word: most are not installed.
TEST(FluidSynthDevice, noReadableSoundFontFailsWithInvalidSetupNamingTheUnreadableOnes)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string named = "nolvex-keyboard: the SoundFont " + folder.string()
        + " cannot be read (Is a directory)\n";
    for (const auto& soundFonts :
        { std::vector<std::filesystem::path> {}, { "/nonexistent/default-GM.sf2", folder } }) {
        SynthOptions options;
        options.soundFonts = soundFonts;
        FluidSynthDevice synth(options);
        testing::internal::CaptureStderr();
        EXPECT_EQ(synth.open(), MidiResult::InvalidSetup);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), soundFonts.empty() ? "" : named);
        EXPECT_FALSE(synth.isOpen());
        synth.send(0x7F3C98); // ignored, not a crash
    }
}

} // namespace
