#include "instruments/instrument_catalogue.h"

#include <array>

namespace InstrumentCatalogue {
namespace {

// One family submenu: its caption and its 8 entries, program 8 × (family − 1) first.
struct Family
{
    std::string_view caption;
    std::array<std::string_view, EntriesPerFamily> entries;
};

// Captions exactly as the menus show them, spaces included: programs 000-022 put a full stop
// after the number, 023 on " - "; 071, 079, 103 and 111 end in a space; 074 and 076 have two
// spaces after the hyphen.
constexpr std::array<Family, FamilyCount> families { {
    { "PIANO",
        { "000. Acoustic Grand Piano", "001. Bright Acoustic Piano", "002. Electric Grand Piano",
            "003. Honky-tonk Piano", "004. Electric Piano 1", "005. Electric Piano 2",
            "006. Harpsichord", "007. Clavi" } },
    { "CHROMATIC PERCUSSION",
        { "008. Celesta", "009. Glockenspiel", "010. Music Box", "011. Vibraphone", "012. Marimba",
            "013. Xylophone", "014. Tubular Bells", "015. Dulcimer" } },
    { "ORGAN",
        { "016. Drawbar Organ", "017. Percussive Organ", "018. Rock Organ", "019. Church Organ",
            "020. Reed Organ", "021. Accordion", "022. Harmonica", "023 - Tango Accordion" } },
    { "GUITAR",
        { "024 - Nylon Str GT", "025 - Steel Str GT", "026 - Jazz Guitar", "027 - Clean Guitar",
            "028 - Muted Guitar", "029 - Overdriven GT", "030 - Dist Guitar",
            "031 - GT Harmonics" } },
    { "BASS",
        { "032 - Acoustic Bass", "033 - Electric Bass (finger)", "034 - Electric Bass (pick)",
            "035 - Fretless Bass", "036 - Slap Bass 1", "037 - Slap Bass 2", "038 - Synth Bass 1",
            "039 - Synth Bass 2" } },
    { "STRINGS",
        { "040 - Violin", "041 - Viola", "042 - Cello", "043 - Contrabass", "044 - Tremelo Strings",
            "045 - Pizzicato Strings", "046 - Orchestral Harp", "047 - Timpani" } },
    { "ENSEMBLE",
        { "048 - String Ensemble", "049 - String Ensemble", "050 - SynthStrings 1",
            "051 - SynthStrings 2", "052 - Choir Aahs", "053 - Voice Oohs", "054 - Synth Voice",
            "055 - Orchestra Hit" } },
    { "BRASS",
        { "056 - Trumpet", "057 - Trombone", "058 - Tuba", "059 - Muted Trumpet",
            "060 - french Horn", "061 - Brass", "062 - Synth-Brass 1", "063 - Synth-Brass 2" } },
    { "REED",
        { "064 - Soprano Sax", "065 - Alto Sax", "066 - Tenor Sax", "067 - Baritone Sax",
            "068 - Oboe", "069 - English Horn", "070 - Bassoon", "071 - Clarinet " } },
    { "PIPE",
        { "072 - Piccolo", "073 - Flute", "074 -  Recorder", "075 - Pan Flute",
            "076 -  Blown Bottle", "077 - Skakuhachi", "078 - Whistle", "079 - Ocarina " } },
    { "SYNTH LEAD",
        { "080 - Lead 1 (square)", "081 - Lead 2 (sawtooth)", "082 - Lead 3 (calliope)",
            "083 - Lead 4 (chiff)", "084 - Lead 5 (charang)", "085 - Lead 6 (voice)",
            "086 - Lead 7 (fifths)", "087 - Lead 8 (bass + lead)" } },
    { "SYNTH-PAD",
        { "088 - New Age", "089 - Warm Pad", "090 - Polysynth", "091 - Space Choir",
            "092 - Bowed Glass", "093 - Metalic Pad", "094 - Halo Pad", "095 - Sweep Pad" } },
    { "SYNTH EFFECTS",
        { "096 - FX 1 (rain)", "097 - FX 2 (soundtrack)", "098 - FX 3 (crystal)",
            "099 - FX 4 (atmosphere)", "100 - FX 5 (brightness)", "101 - FX 6 (goblins)",
            "102 - FX 7 (echoes)", "103 - FX 8 (sci-fi) " } },
    { "ETHNIC",
        { "104 - Sitar", "105 - Banjo", "106 - Shamisen", "107 - Koto", "108 - Kalimba",
            "109 - Bag Pipe", "110 - Fiddle", "111 - Shanai " } },
    { "PERCUSSIVE",
        { "112 - Tinkle Bell", "113 - Agogo", "114 - Steel Drums", "115 - Woodblock",
            "116 - Taiko Drum", "117 - Melodic Tom", "118 - Synth Drum", "119 - Reverse Cymbal" } },
} };

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
    return families[program / EntriesPerFamily].entries[program % EntriesPerFamily];
}

} // namespace InstrumentCatalogue
