#include "midi/fluidsynth/fluid_synth_device.h"
#include "midi/midi_result.h"
#include "midi/short_message.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <span>
#include <vector>

namespace {

constexpr double sampleRate = 48000.0;
constexpr std::int16_t channel = 8;
constexpr std::int16_t middleC = 60;
constexpr double middleCHz = 261.63;

std::optional<std::filesystem::path> installedSoundFont()
{
    for (const auto& path : generalMidiSoundFonts()) {
        if (std::filesystem::exists(path))
            return path;
    }
    return std::nullopt;
}

// Strength of frequency `hz` in `samples`, Hann-windowed (Goertzel).
double magnitudeAt(std::span<const float> samples, double hz)
{
    const double n = static_cast<double>(samples.size());
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / sampleRate);
    double previous = 0.0;
    double beforePrevious = 0.0;
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
    double peak = hz;
    double strongest = -1.0;
    for (double f = hz * 0.85; f <= hz * 1.15; f += 0.25) {
        if (const double m = magnitudeAt(samples, f); m > strongest) {
            strongest = m;
            peak = f;
        }
    }
    return peak;
}

double rms(std::span<const float> samples)
{
    double sum = 0.0;
    for (const float s : samples)
        sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

// A synthesiser without audio driver playing the system's General MIDI SoundFont.
class RenderedSynth : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_soundFont = installedSoundFont();
        if (!m_soundFont)
            GTEST_SKIP() << "no General MIDI SoundFont installed (package timgm6mb-soundfont)";
        SynthOptions options;
        options.soundFonts = { *m_soundFont };
        m_synth = std::make_unique<FluidSynthDevice>(options);
        ASSERT_EQ(m_synth->open(), MidiResult::NoError);
    }

    void send(std::optional<std::uint32_t> message)
    {
        ASSERT_TRUE(message.has_value());
        m_synth->send(*message);
    }

    // The next `seconds` of sound, left and right mixed.
    std::vector<float> render(double seconds)
    {
        const auto frames = static_cast<std::size_t>(seconds * sampleRate);
        std::vector<float> left(frames);
        std::vector<float> right(frames);
        m_synth->render(left, right);
        for (std::size_t i = 0; i < frames; ++i)
            left[i] = 0.5F * (left[i] + right[i]);
        return left;
    }

    std::vector<float> play(std::int16_t program, std::int16_t note, double seconds)
    {
        send(ShortMessage::programChange(channel, program));
        send(ShortMessage::noteOn(channel, note, 100));
        return render(seconds);
    }

    std::optional<std::filesystem::path> m_soundFont;
    std::unique_ptr<FluidSynthDevice> m_synth;
};

TEST_F(RenderedSynth, noteSoundsAtItsPitch)
{
    const struct
    {
        std::int16_t note;
        double hz;
    } cases[] = { { middleC, middleCHz }, { 69, 440.0 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        ASSERT_TRUE(m_synth->open() == MidiResult::NoError);
        const std::vector<float> sound = play(0, c.note, 0.5);
        EXPECT_NEAR(peakNear(sound, c.hz), c.hz, c.hz * 0.02);
    }
}

TEST_F(RenderedSynth, noteEndsOnlyWithItsOwnNoteOff)
{
    // A church organ holds its level while the key is down.
    const struct
    {
        const char* what;
        std::optional<std::uint32_t> message;
        bool sounds;
    } cases[] = {
        { "note off", ShortMessage::noteOff(channel, middleC), false },
        { "note on at velocity 0", ShortMessage::noteOn(channel, middleC, 0), false },
        { "note off on another channel", ShortMessage::noteOff(channel - 1, middleC), true },
        { "note off of another note", ShortMessage::noteOff(channel, middleC + 1), true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(m_synth->open() == MidiResult::NoError);
        const double held = rms(play(19, middleC, 0.5));
        ASSERT_GT(held, 1e-3);
        send(c.message);
        const std::vector<float> after = render(3.0);
        const double tail = rms(std::span(after).last(4800));
        if (c.sounds)
            EXPECT_GT(tail, held * 0.3);
        else
            EXPECT_LT(tail, held * 1e-3);
    }
}

TEST_F(RenderedSynth, noteOnAtVelocityZeroIsSilent)
{
    send(ShortMessage::programChange(channel, 0));
    send(ShortMessage::noteOn(channel, middleC, 0));
    EXPECT_LT(rms(render(0.5)), 1e-6);
}

TEST_F(RenderedSynth, programChangeChangesTheSound)
{
    // The first eight partials of middle C, as a unit vector: the timbre without loudness.
    const auto timbre = [](std::span<const float> sound) {
        std::vector<double> partials;
        double norm = 0.0;
        for (int k = 1; k <= 8; ++k) {
            partials.push_back(magnitudeAt(sound, middleCHz * k));
            norm += partials.back() * partials.back();
        }
        for (double& p : partials)
            p /= std::sqrt(norm);
        return partials;
    };
    const auto distance = [](const std::vector<double>& a, const std::vector<double>& b) {
        double sum = 0.0;
        for (std::size_t i = 0; i < a.size(); ++i)
            sum += (a[i] - b[i]) * (a[i] - b[i]);
        return std::sqrt(sum);
    };
    const auto piano = timbre(play(0, middleC, 1.0));
    ASSERT_EQ(m_synth->open(), MidiResult::NoError);
    const auto pianoAgain = timbre(play(0, middleC, 1.0));
    ASSERT_EQ(m_synth->open(), MidiResult::NoError);
    const auto flute = timbre(play(73, middleC, 1.0));
    EXPECT_LT(distance(piano, pianoAgain), 0.01);
    EXPECT_GT(distance(piano, flute), 0.2);
}

TEST_F(RenderedSynth, noAudioOutputFailsWithNotReady)
{
    SynthOptions options;
    options.soundFonts = { *m_soundFont };
    options.audioDrivers = { "no-such-driver" };
    FluidSynthDevice synth(options);
    EXPECT_EQ(synth.open(), MidiResult::NotReady);
    EXPECT_FALSE(synth.isOpen());
}

TEST(FluidSynthDevice, missingSoundFontFailsWithInvalidSetup)
{
    const auto notASoundFont
        = std::filesystem::temp_directory_path() / "nolvex-not-a-soundfont.sf2";
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
