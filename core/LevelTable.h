#pragma once

#include <array>
#include <cstdint>

class QWidget;

// Slider position to engine level, in hundredths of a decibel. The volume slider uses 0..10
// (attenuation, 10 is full volume), the balance slider 0..20 (negative towards the left). Entry i
// of 1..9 is 2000 * log10(i / 10) cut to a multiple of ten, so volume position i plays at about
// i / 10 of full amplitude; entry 0 is the engine's floor, and the balance half mirrors the volume half.
inline constexpr std::array<std::int16_t, 21> LevelTable = {
    -9640, -2000, -1390, -1040, -790, -600, -440, -300, -190, -90,  0,
    90,    190,   300,   440,   600,  790,  1040, 1390, 2000, 9640,
};

// The table is constant, so all that is left to do at start-up is to show the main window.
void InitLevelTable(QWidget &mainWindow);
