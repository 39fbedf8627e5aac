#include "scale_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Markers = std::vector<int>;

// Entries of the "Gamme et Accord" menu and roots of the "Clé" menu, by position.
enum Scale {
    Majeur = 0,
    MineurHarmonique = 1,
    MelodiqueDescendante = 3,
    Dominante7 = 7,
    MajeurSeptMajeure = 8,
    AccordMineur = 9,
    MineurSeptMineure = 11,
    SeptDiminuee = 13,
    SeptQuinteAugmentee = 14,
    NeuviemeMineure = 16,
};
enum Root { Do = 0, DoDiese = 1, Re = 2, ReDiese = 3, La = 9, Si = 11 };

const Markers cMajorAtShift0 { 24, 26, 28, 29, 31, 33, 35 };

TEST(ScaleDisplay, startShowsCMajorOnTheCaptionedOctave)
{
    RecordingControls controls;
    ScaleDisplay display(controls);
    display.start();
    EXPECT_EQ(controls.visibleMarkers(), cMajorAtShift0);
    EXPECT_EQ(controls.caption(CaptionLabel::Lbl_note), "(Do) ");
    EXPECT_EQ(controls.caption(CaptionLabel::Lbl_gamme), "Gammes Majeur");
    EXPECT_EQ(display.state().Root_Name, "Do");
    EXPECT_EQ(display.state().Octave_Shift, 0);
}

TEST(ScaleDisplay, workedExamples)
{
    const struct
    {
        int root;
        int scale;
        Markers markers;
        const char* note;
    } cases[] = {
        { Do, Dominante7, { 24, 28, 31, 34 }, "(Do) 7" },
        { Re, Dominante7, { 30, 33, 36, 38 }, "(Ré) 7" },
        { Re, MineurSeptMineure, { 33, 36, 38, 41 }, "(Ré) m7" },
        { ReDiese, SeptDiminuee, { 24, 27, 30, 33 }, "(Ré # - Mi b) dim" },
        { Do, SeptQuinteAugmentee, { 22, 24, 28, 32 }, "(Do) 7+5" },
        { Si, NeuviemeMineure, { 35, 39, 42, 45, 48 }, "(Si) 9m" },
        { Do, MajeurSeptMajeure, { 24, 28, 31, 35 }, "(Do) M7" },
        { DoDiese, MajeurSeptMajeure, { 32, 36, 37, 41 }, "(Do # - Ré b) M7" },
    };
    for (const auto& c : cases) {
        StartedDisplay d;
        d.chooseRoot(c.root);
        d.chooseGamme(c.scale);
        EXPECT_EQ(d.markers(), c.markers) << c.note;
        EXPECT_EQ(d.note(), c.note);
    }
}

TEST(ScaleDisplay, descendingMelodicMinorSharesTheHarmonicMarkers)
{
    StartedDisplay d;
    d.chooseGamme(MineurHarmonique);
    const Markers harmonic = d.markers();
    d.chooseGamme(MelodiqueDescendante);
    EXPECT_EQ(d.markers(), (Markers { 24, 26, 27, 29, 31, 32, 35 }));
    EXPECT_EQ(d.markers(), harmonic);
    EXPECT_EQ(d.gamme(), "Gamme Mineur Mélodique <<");
    EXPECT_EQ(d.note(), "(Do) ");
}

TEST(ScaleDisplay, octaveLabelsStopAtTheirLimits)
{
    StartedDisplay d;
    d.shiftOctave(-2);
    EXPECT_EQ(d.markers(), (Markers { 0, 2, 4, 5, 7, 9, 11 }));
    d.shiftOctave(-1);
    EXPECT_EQ(d.markers(), (Markers { 0, 2, 4, 5, 7, 9, 11 }));
    EXPECT_EQ(d.display.state().Octave_Shift, -2);
    EXPECT_EQ(std::count(d.controls.log.begin(), d.controls.log.end(), "caption (Do) "), 3)
        << "each click redraws, also at the limit";

    StartedDisplay up;
    up.shiftOctave(1);
    EXPECT_EQ(up.markers(), (Markers { 36, 38, 40, 41, 43, 45, 47 }));
    up.shiftOctave(1);
    EXPECT_EQ(up.markers(), (Markers { 36, 38, 40, 41, 43, 45, 47 }));
    EXPECT_EQ(up.display.state().Octave_Shift, 1);
    EXPECT_EQ(up.note(), "(Do) ");
}

TEST(ScaleDisplay, newRootKeepsTheChordAndTheScaleLabel)
{
    StartedDisplay d;
    d.chooseGamme(AccordMineur);
    d.chooseRoot(La);
    EXPECT_EQ(d.markers(), (Markers { 33, 36, 40 }));
    EXPECT_EQ(d.note(), "(La) m");
    EXPECT_EQ(d.gamme(), "Accord Mineur");
    d.shiftOctave(1);
    EXPECT_EQ(d.markers(), (Markers { 45, 48, 52 }));
    EXPECT_EQ(d.note(), "(La) m");
    EXPECT_EQ(d.gamme(), "Accord Mineur");
}

TEST(ScaleDisplay, rootChoiceNeverWritesTheScaleLabel)
{
    StartedDisplay d;
    d.controls.captions[static_cast<int>(CaptionLabel::Lbl_gamme)] = "untouched";
    for (int root = 0; root < 12; ++root)
        d.chooseRoot(root);
    d.shiftOctave(-1);
    d.display.instrumentNameClicked();
    EXPECT_EQ(d.gamme(), "untouched");
}

TEST(ScaleDisplay, instrumentLabelClickRedrawsTheSameDisplay)
{
    StartedDisplay d;
    d.chooseRoot(Re);
    d.chooseGamme(Dominante7);
    const RecordingControls before = d.controls;
    const ScaleDisplay::State state = d.display.state();
    d.display.instrumentNameClicked();
    EXPECT_EQ(d.controls.markerVisible, before.markerVisible);
    EXPECT_EQ(d.controls.captions, before.captions);
    EXPECT_EQ(d.display.state(), state);
}

TEST(ScaleDisplay, gammeChoiceHidesAllThenShowsThenWritesBothLabels)
{
    StartedDisplay d;
    d.chooseRoot(Re);
    d.controls.log.clear();
    d.chooseGamme(Dominante7);
    std::vector<std::string> expected;
    for (int k = 0; k < 60; ++k)
        expected.push_back("hide marker " + std::to_string(k));
    for (const int k : { 30, 33, 36, 38 })
        expected.push_back("show marker " + std::to_string(k));
    expected.push_back("caption (Ré) 7");
    expected.push_back("caption Accord de 7è de dominante");
    EXPECT_EQ(d.controls.log, expected);
    EXPECT_EQ(d.display.state().Degrees,
        (std::array<std::int16_t, 9> { 0, 4, 7, 10, 12, 99, 99, 99, 0 }));
}

TEST(ScaleDisplay, menuIndicesOutsideTheirRangeAreIgnored)
{
    StartedDisplay d;
    d.chooseRoot(Re);
    d.chooseGamme(Dominante7);
    d.controls.log.clear();
    const ScaleDisplay::State state = d.display.state();
    for (const std::int16_t index : { -32768, -1, 0, 16, 135, 153, 164, 165, 32767 })
        d.display.gammeChosen(index);
    for (const std::int16_t index : { -32768, -1, 0, 135, 136, 152, 165, 32767 })
        d.display.noteChosen(index);
    EXPECT_TRUE(d.controls.log.empty());
    EXPECT_EQ(d.display.state(), state);
}

} // namespace
