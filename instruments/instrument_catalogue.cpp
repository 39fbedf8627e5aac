#include "instruments/instrument_catalogue.h"

#include <array>
#include <cstdio>
#include <string>

namespace InstrumentCatalogue {
namespace {

// One family submenu: its caption and the names of its 8 entries, program 8 × (family − 1) first,
// exactly as the menus show them after the number: 071, 079, 103 and 111 end in a space, 074 and
// 076 begin with one.
struct Family
{
    std::string_view caption;
    std::array<std::string_view, EntriesPerFamily> names;
};

constexpr std::array<Family, FamilyCount> families { {
    { "PIANO",
        {
            "Acoustic Grand Piano",
            "Bright Acoustic Piano",
            "Electric Grand Piano",
            "Honky-tonk Piano",
            "Electric Piano 1",
            "Electric Piano 2",
            "Harpsichord",
            "Clavi",
        } },
    { "CHROMATIC PERCUSSION",
        {
            "Celesta",
            "Glockenspiel",
            "Music Box",
            "Vibraphone",
            "Marimba",
            "Xylophone",
            "Tubular Bells",
            "Dulcimer",
        } },
    { "ORGAN",
        {
            "Drawbar Organ",
            "Percussive Organ",
            "Rock Organ",
            "Church Organ",
            "Reed Organ",
            "Accordion",
            "Harmonica",
            "Tango Accordion",
        } },
    { "GUITAR",
        {
            "Nylon Str GT",
            "Steel Str GT",
            "Jazz Guitar",
            "Clean Guitar",
            "Muted Guitar",
            "Overdriven GT",
            "Dist Guitar",
            "GT Harmonics",
        } },
    { "BASS",
        {
            "Acoustic Bass",
            "Electric Bass (finger)",
            "Electric Bass (pick)",
            "Fretless Bass",
            "Slap Bass 1",
            "Slap Bass 2",
            "Synth Bass 1",
            "Synth Bass 2",
        } },
    { "STRINGS",
        {
            "Violin",
            "Viola",
            "Cello",
            "Contrabass",
            "Tremelo Strings",
            "Pizzicato Strings",
            "Orchestral Harp",
            "Timpani",
        } },
    { "ENSEMBLE",
        {
            "String Ensemble",
            "String Ensemble",
            "SynthStrings 1",
            "SynthStrings 2",
            "Choir Aahs",
            "Voice Oohs",
            "Synth Voice",
            "Orchestra Hit",
        } },
    { "BRASS",
        {
            "Trumpet",
            "Trombone",
            "Tuba",
            "Muted Trumpet",
            "french Horn",
            "Brass",
            "Synth-Brass 1",
            "Synth-Brass 2",
        } },
    { "REED",
        {
            "Soprano Sax",
            "Alto Sax",
            "Tenor Sax",
            "Baritone Sax",
            "Oboe",
            "English Horn",
            "Bassoon",
            "Clarinet ",
        } },
    { "PIPE",
        {
            "Piccolo",
            "Flute",
            " Recorder",
            "Pan Flute",
            " Blown Bottle",
            "Skakuhachi",
            "Whistle",
            "Ocarina ",
        } },
    { "SYNTH LEAD",
        {
            "Lead 1 (square)",
            "Lead 2 (sawtooth)",
            "Lead 3 (calliope)",
            "Lead 4 (chiff)",
            "Lead 5 (charang)",
            "Lead 6 (voice)",
            "Lead 7 (fifths)",
            "Lead 8 (bass + lead)",
        } },
    { "SYNTH-PAD",
        {
            "New Age",
            "Warm Pad",
            "Polysynth",
            "Space Choir",
            "Bowed Glass",
            "Metalic Pad",
            "Halo Pad",
            "Sweep Pad",
        } },
    { "SYNTH EFFECTS",
        {
            "FX 1 (rain)",
            "FX 2 (soundtrack)",
            "FX 3 (crystal)",
            "FX 4 (atmosphere)",
            "FX 5 (brightness)",
            "FX 6 (goblins)",
            "FX 7 (echoes)",
            "FX 8 (sci-fi) ",
        } },
    { "ETHNIC",
        {
            "Sitar",
            "Banjo",
            "Shamisen",
            "Koto",
            "Kalimba",
            "Bag Pipe",
            "Fiddle",
            "Shanai ",
        } },
    { "PERCUSSIVE",
        {
            "Tinkle Bell",
            "Agogo",
            "Steel Drums",
            "Woodblock",
            "Taiko Drum",
            "Melodic Tom",
            "Synth Drum",
            "Reverse Cymbal",
        } },
} };

// Each entry's caption: its program number in three digits, a full stop up to 022 and " - " from
// 023 on, then its name ("000. Acoustic Grand Piano", "023 - Tango Accordion").
const std::array<std::string, ProgramCount>& entries()
{
    static const std::array<std::string, ProgramCount> captions = [] {
        std::array<std::string, ProgramCount> all;
        for (int program = 0; program < ProgramCount; ++program) {
            std::array<char, 4> number {};
            std::snprintf(number.data(), number.size(), "%03d", program);
            all[program] = std::string(number.data()) + (program < 23 ? ". " : " - ")
                + std::string(
                    families[program / EntriesPerFamily].names[program % EntriesPerFamily]);
        }
        return all;
    }();
    return captions;
}

} // namespace

std::string_view familyCaption(int family)
{
    if (family < 1 || family > FamilyCount)
        return {};
    return families[family - 1].caption;
}

std::string_view entryCaption(int program)
{
    if (program < 0 || program >= ProgramCount)
        return {};
    return entries()[program];
}

} // namespace InstrumentCatalogue
