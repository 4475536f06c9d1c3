// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound effects by number, as the game asks for them and the sound module plays them, each
// with its file in the "sound" folder beside the program.

#include <array>
#include <cstdint>

enum SoundNumber : std::int32_t {
    kSoundOk = 0, // ok.wav: a right answer
    kSoundNg = 1, // ng.wav: a wrong answer
    kSoundBadEnd = 2, // badend.wav; kSoundBadEnd + grade is the end sound of a grade
    kSoundEnd = 3, // end.wav
    kSoundGoodEnd = 4, // goodend.wav
    kSoundSec = 5, // sec.wav: a second passes
    kSoundStart = 6, // start.wav
};
inline constexpr int kSoundFileCount = 7;
inline constexpr std::array<const char*, kSoundFileCount> kSoundFileNames
    = {"ok.wav", "ng.wav", "badend.wav", "end.wav", "goodend.wav", "sec.wav", "start.wav"};
