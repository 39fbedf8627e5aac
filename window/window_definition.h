#pragma once

#include "window/colour.h"
#include "window/controls.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The main window `Kelvora` as data: its frame, its 126 controls and which event of which
// control runs which behaviour. Positions and sizes are in twips (1/1440 inch, 15 to a pixel at
// 96 dpi) from the top-left corner of the client area, below the menu bar.
namespace WindowDefinition {

struct Window
{
    std::string_view name;
    std::string_view caption;
    ColorValue backColour;
    int clientWidth; // twips
    int clientHeight;
    bool resizable;
    bool closeBox;
    bool minimizeBox;
    bool maximizeBox;
};

inline constexpr Window MainWindow { "Kelvora", "Nolvex MIDI keyboard", Colour::Grey, 9285, 2085,
    false, true, false, false };

enum class ControlKind { Key, MarkerBar, ScrollBar, TextLabel };

// Face, size in points and weight (400 regular, 700 bold); character set 0, never italic,
// underlined or struck through. An empty face is the window's default font.
struct Font
{
    std::string_view face;
    double points = 0;
    int weight = 400;
};

inline constexpr Font DefaultFont {};
inline constexpr Font SansBold12 { "MS Sans Serif", 12, 700 };
inline constexpr Font Comic14 { "Comic Sans MS", 14.25, 400 };

struct Control
{
    std::string_view name;
    ControlKind kind;
    std::int16_t index; // member of an indexed array, or -1 for a single control
    int left, top, width, height; // twips
    std::optional<ColorValue> backColour; // empty: the kind's default
    std::optional<ColorValue> foreColour;
    Font font;
    std::string_view caption; // exactly as shown, spaces included
    bool visible;
};

inline constexpr int KeyCount = 60;
inline constexpr int ControlCount = 126;

inline constexpr int KeyTop = 570;
inline constexpr int KeyWidth = 225;
inline constexpr int WhiteKeyHeight = 975;
inline constexpr int BlackKeyHeight = 615;
inline constexpr int MarkerWidth = 195;
inline constexpr int MarkerHeight = 75;
inline constexpr int WhiteMarkerTop = 1530; // overlaps the bottom 15 twips of its key
inline constexpr int BlackMarkerTop = 510; // overlaps the top 15 twips of its key
inline constexpr int BlackMarkerShift = 30;

// Left of every key, one octave a row (C, C#, D, D#, E, F, F#, G, G#, A, A#, B). Black keys do
// not sit at one fixed offset: each lies 60 to 150 twips right of the white key to its left.
inline constexpr std::array<int, KeyCount> KeyLeft {
    450, 540, 690, 810, 930, 1170, 1260, 1410, 1530, 1650, 1800, 1890, //
    2130, 2220, 2370, 2490, 2610, 2850, 2940, 3090, 3180, 3330, 3450, 3570, //
    3810, 3900, 4050, 4140, 4290, 4530, 4620, 4770, 4860, 5010, 5130, 5250, //
    5490, 5580, 5730, 5820, 5970, 6210, 6270, 6450, 6540, 6690, 6810, 6930, //
    7170, 7230, 7410, 7500, 7650, 7890, 7980, 8130, 8220, 8370, 8490, 8610, //
};

// Only the white keys of the middle octave carry a caption.
struct KeyCaption
{
    std::int16_t key;
    std::string_view caption;
};
inline constexpr std::array<KeyCaption, 7> KeyCaptions { {
    { 24, "     C" },
    { 26, "     D" },
    { 28, "     E" },
    { 29, "     F" },
    { 31, "     G" },
    { 33, "     A" },
    { 35, "      B" },
} };

// The scroll bar and the text labels. `vol` gets no range here: start-up sets it.
inline constexpr std::array<Control, 6> SingleControls { {
    { "Lbl_Instrument_Name", ControlKind::TextLabel, -1, 450, 150, 6045, 345, std::nullopt,
        Colour::White, SansBold12, "PIANO - 000 - Acoustic Grand Piano", true },
    { "Lbl_OctaMoins", ControlKind::TextLabel, -1, 120, 1410, 345, 285, std::nullopt, Colour::White,
        SansBold12, "<<", true },
    { "Lbl_OctPlus", ControlKind::TextLabel, -1, 8850, 1410, 285, 375, std::nullopt, Colour::White,
        SansBold12, ">>", true },
    { "Lbl_gamme", ControlKind::TextLabel, -1, 480, 1650, 4275, 375, std::nullopt, Colour::Cyan,
        Comic14, "Gammes Majeur", true },
    { "Lbl_note", ControlKind::TextLabel, -1, 4680, 1650, 2565, 345, std::nullopt, Colour::Cyan,
        Comic14, "(Do)", true },
    { "vol", ControlKind::ScrollBar, -1, 8880, 570, 165, 915, std::nullopt, std::nullopt,
        DefaultFont, "", true },
} };

constexpr bool isBlackKey(int key)
{
    const int pc = key % 12;
    return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

constexpr std::string_view keyCaption(int key)
{
    for (const KeyCaption& c : KeyCaptions)
        if (c.key == key)
            return c.caption;
    return {};
}

constexpr Control keyControl(int key)
{
    const bool black = isBlackKey(key);
    return { "key", ControlKind::Key, static_cast<std::int16_t>(key), KeyLeft[key], KeyTop,
        KeyWidth, black ? BlackKeyHeight : WhiteKeyHeight, black ? Colour::MenuText : Colour::White,
        black ? std::optional<ColorValue>(Colour::HighlightText) : std::nullopt, DefaultFont,
        keyCaption(key), true };
}

// Opaque green bar without text: just below a white key, just above a black one.
constexpr Control markerControl(int key)
{
    const bool black = isBlackKey(key);
    return { "Lbl_repere_note", ControlKind::MarkerBar, static_cast<std::int16_t>(key),
        KeyLeft[key] + (black ? BlackMarkerShift : 0), black ? BlackMarkerTop : WhiteMarkerTop,
        MarkerWidth, MarkerHeight, Colour::Green, std::nullopt, DefaultFont, "", true };
}

// All controls in stacking order, lowest first: the markers and text labels lie beneath every
// key and beneath `vol`, and each black key lies above the white keys it overlaps.
constexpr std::array<Control, ControlCount> makeControls()
{
    std::array<Control, ControlCount> all {};
    int n = 0;
    for (int k = 0; k < KeyCount; ++k)
        all[n++] = markerControl(k);
    for (const Control& c : SingleControls)
        all[n++] = c;
    for (int k = 0; k < KeyCount; ++k)
        if (!isBlackKey(k))
            all[n++] = keyControl(k);
    for (int k = 0; k < KeyCount; ++k)
        if (isBlackKey(k))
            all[n++] = keyControl(k);
    return all;
}

inline constexpr std::array<Control, ControlCount> AllControls = makeControls();

// Names of the labels whose caption the behaviour writes.
constexpr std::string_view name(CaptionLabel label)
{
    constexpr std::array<std::string_view, 3> names { "Lbl_Instrument_Name", "Lbl_gamme",
        "Lbl_note" };
    return names[static_cast<int>(label)];
}
enum class Event { Load, Unload, MouseDown, MouseUp, Change, Chosen, Click };

enum class Behaviour {
    StartUp,
    ShutDown,
    KeyPress,
    KeyRelease,
    VelocityFromBar,
    Instruments,
    ScaleChosen,
    RootChosen,
    OctaveDown,
    OctaveUp,
    RedrawScale,
};

// Which event of which control (or menu array) runs which behaviour. Nothing else has a
// handler: not the other labels, not the markers, not the scroll bar's notifications during a
// thumb drag, not the opening of a menu, not keyboard input.
struct Binding
{
    std::string_view source;
    Event event;
    Behaviour behaviour;
};

inline constexpr std::array<Binding, 25> Bindings { {
    { "Kelvora", Event::Load, Behaviour::StartUp },
    { "Kelvora", Event::Unload, Behaviour::ShutDown },
    { "key", Event::MouseDown, Behaviour::KeyPress },
    { "key", Event::MouseUp, Behaviour::KeyRelease },
    { "vol", Event::Change, Behaviour::VelocityFromBar },
    { "Instrument1", Event::Chosen, Behaviour::Instruments },
    { "Instrument2", Event::Chosen, Behaviour::Instruments },
    { "Instrument3", Event::Chosen, Behaviour::Instruments },
    { "Instrument4", Event::Chosen, Behaviour::Instruments },
    { "Instrument5", Event::Chosen, Behaviour::Instruments },
    { "Instrument6", Event::Chosen, Behaviour::Instruments },
    { "Instrument7", Event::Chosen, Behaviour::Instruments },
    { "Instrument8", Event::Chosen, Behaviour::Instruments },
    { "Instrument9", Event::Chosen, Behaviour::Instruments },
    { "Instrument10", Event::Chosen, Behaviour::Instruments },
    { "Instrument11", Event::Chosen, Behaviour::Instruments },
    { "Instrument12", Event::Chosen, Behaviour::Instruments },
    { "Instrument13", Event::Chosen, Behaviour::Instruments },
    { "Instrument14", Event::Chosen, Behaviour::Instruments },
    { "Instrument15", Event::Chosen, Behaviour::Instruments },
    { "Gamme", Event::Chosen, Behaviour::ScaleChosen },
    { "Note", Event::Chosen, Behaviour::RootChosen },
    { "Lbl_OctaMoins", Event::Click, Behaviour::OctaveDown },
    { "Lbl_OctPlus", Event::Click, Behaviour::OctaveUp },
    { "Lbl_Instrument_Name", Event::Click, Behaviour::RedrawScale },
} };

constexpr std::optional<Behaviour> behaviour(std::string_view source, Event event)
{
    for (const Binding& b : Bindings)
        if (b.source == source && b.event == event)
            return b.behaviour;
    return std::nullopt;
}

} // namespace WindowDefinition
