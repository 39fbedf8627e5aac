#include "midi/fluidsynth/fluid_synth_device.h"
#include "midi/midi_result.h"
#include "midi/short_message.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <numeric>
#include <span>
#include <vector>

namespace {

constexpr double sampleRate = 48000.0;
constexpr std::int16_t channel = 8;
constexpr std::int16_t middleC = 60;
constexpr double middleCHz = 261.63;

// Strength of frequency `hz` in `samples`, Hann-windowed (Goertzel).
double magnitudeAt(std::span<const float> samples, double hz)
{
    const double n = static_cast<double>(samples.size());
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / sampleRate);
    double previous = 0.0, beforePrevious = 0.0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double window = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / n);
        const double current = samples[i] * window + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return std::sqrt(previous * previous + beforePrevious * beforePrevious
        - coefficient * previous * beforePrevious);
}

// The strongest frequency within 15 % of `hz`, to 0.25 Hz: the octave above lies outside.
double peakNear(std::span<const float> samples, double hz)
{
    double peak = hz, strongest = -1.0;
    for (double f = hz * 0.85; f <= hz * 1.15; f += 0.25) {
        if (const double m = magnitudeAt(samples, f); m > strongest) {
            strongest = m;
            peak = f;
        }
    }
    return peak;
}

double rms(std::span<const float> s)
{
    return std::sqrt(std::inner_product(s.begin(), s.end(), s.begin(), 0.0) / double(s.size()));
}

// The first eight partials of middle C, as a unit vector: the timbre without loudness.
std::vector<double> timbre(std::span<const float> sound)
{
    std::vector<double> p;
    for (int k = 1; k <= 8; ++k)
        p.push_back(magnitudeAt(sound, middleCHz * k));
    const double norm = std::sqrt(std::inner_product(p.begin(), p.end(), p.begin(), 0.0));
    for (double& x : p)
        x /= norm;
    return p;
}

double distance(const std::vector<double>& a, const std::vector<double>& b)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return std::sqrt(sum);
}

// A synthesiser without audio driver playing the system's General MIDI SoundFont.
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

    // The next `seconds` of sound from the left channel.
    std::vector<float> render(double seconds)
    {
        std::vector<float> left(static_cast<std::size_t>(seconds * sampleRate));
        std::vector<float> right(left.size());
        synth->render(left, right);
        return left;
    }
    std::vector<float> play(
        std::int16_t program, std::int16_t note, std::int16_t velocity, double seconds)
    {
        synth->send(ShortMessage::programChange(channel, program).value());
        synth->send(ShortMessage::noteOn(channel, note, velocity).value());
        return render(seconds);
    }

    SynthOptions options;
    std::unique_ptr<FluidSynthDevice> synth;
};

TEST_F(RenderedSynth, noteSoundsAtItsPitch)
{
    for (const auto& [note, hz] : { std::pair { middleC, middleCHz }, { 69, 440.0 } }) {
        restart();
        EXPECT_NEAR(peakNear(play(0, note, 100, 0.5), hz), hz, hz * 0.02) << note;
    }
}

TEST_F(RenderedSynth, noteEndsOnlyWithItsOwnNoteOff)
{
    // A church organ holds its level while the key is down.
    const struct
    {
        const char* what;
        std::uint32_t message;
        bool sounds;
    } cases[] = {
        { "note off", ShortMessage::noteOff(channel, middleC).value(), false },
        { "note off on another channel", ShortMessage::noteOff(7, middleC).value(), true },
        { "note off of another note", ShortMessage::noteOff(channel, middleC + 1).value(), true },
    };
    for (const auto& c : cases) {
        restart();
        const double held = rms(play(19, middleC, 100, 0.5));
        ASSERT_GT(held, 1e-3) << c.what;
        synth->send(c.message);
        const std::vector<float> after = render(3.0);
        const double tail = rms(std::span(after).last(4800));
        EXPECT_TRUE(c.sounds ? tail > held * 0.3 : tail < held * 1e-3) << c.what << ": " << tail;
    }
}

TEST_F(RenderedSynth, noteOnAtVelocityZeroIsSilent)
{
    EXPECT_LT(rms(play(0, middleC, 0, 0.5)), 1e-6);
}

TEST_F(RenderedSynth, programChangeChangesTheSound)
{
    const auto piano = timbre(play(0, middleC, 100, 1.0));
    restart();
    const auto pianoAgain = timbre(play(0, middleC, 100, 1.0));
    restart();
    const auto flute = timbre(play(73, middleC, 100, 1.0));
    EXPECT_LT(distance(piano, pianoAgain), 0.01);
    EXPECT_GT(distance(piano, flute), 0.2);
}

TEST_F(RenderedSynth, renderingStopsOnceTheSoundHasEndedAndTheNextNoteStartsAtOnce)
{
    const std::size_t block = 480;
    std::vector<float> left(block), right(block);
    synth->send(ShortMessage::noteOn(channel, middleC, 100).value());
    EXPECT_TRUE(synth->render(left, right));
    synth->send(ShortMessage::noteOff(channel, middleC).value());
    int blocks = 0;
    while (synth->render(left, right) && blocks < 500)
        ++blocks;
    EXPECT_LT(blocks, 500) << "silent within 5 s of the note off";
    EXPECT_FALSE(synth->render(left, right));
    EXPECT_EQ(rms(left), 0.0);
    synth->send(ShortMessage::noteOn(channel, middleC, 100).value());
    EXPECT_TRUE(synth->render(left, right));
    EXPECT_GT(rms(left), 1e-3) << "the note sounds in the first block after it";
}

// An output that connects when told to and counts its wake-ups.
struct FakeOutput : AudioConnection
{
    FakeOutput(AudioSource& source, bool answer)
        : AudioConnection(source, {})
        , answers(answer)
    { }
    bool connect() override { return answers; }
    void wake() override { ++wakes; }
    using AudioConnection::lose;
    bool answers;
    int wakes = 0;
};

TEST_F(RenderedSynth, outputsAreTriedInOrderAndALostServerIsReplacedAtTheNextNote)
{
    std::vector<std::string> made;
    std::shared_ptr<FakeOutput> last;
    const auto kind = [&](std::string service, bool answers, bool server) {
        return AudioOutputKind { service,
            [&, service, answers](AudioSource& source, const AudioFormat&) {
                made.push_back(service);
                return last = std::make_shared<FakeOutput>(source, answers);
            },
            server };
    };
    options.outputs
        = { kind("absent", false, true), kind("server", true, true), kind("card", true, false) };
    restart();
    EXPECT_EQ(made, (std::vector<std::string> { "absent", "server" }));
    synth->send(ShortMessage::noteOn(channel, middleC, 100).value());
    EXPECT_EQ(last->wakes, 1);
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
    EXPECT_FALSE(noOutput.isOpen());
}

TEST(FluidSynthDevice, missingSoundFontFailsWithInvalidSetup)
{
    const auto notASoundFont = std::filesystem::temp_directory_path() / "nolvex-not-an.sf2";
    std::ofstream(notASoundFont) << "RIFF but not a SoundFont";
    const std::vector<std::filesystem::path> cases[] = { {}, { "/nonexistent/default-GM.sf2" },
        { std::filesystem::temp_directory_path() }, { notASoundFont } };
    for (const auto& soundFonts : cases) {
        SynthOptions options;
        options.soundFonts = soundFonts;
        FluidSynthDevice synth(options);
        EXPECT_EQ(synth.open(), MidiResult::InvalidSetup);
        EXPECT_FALSE(synth.isOpen());
        synth.send(0x7F3C98); // ignored, not a crash
    }
    std::filesystem::remove(notASoundFont);
}

} // namespace
