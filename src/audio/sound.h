// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound effects: which file each sound number plays, whether the file was found, and
// whether the sound may ring now (found, and sound switched on). Flags are 16-bit with
// true = -1. The tables have eight entries; entry 7 is never filled, played or switched on.

#include "soundnumber.h"

#include <QString>
#include <array>
#include <cstdint>

struct SoundFileEntry
{
    QString FilePath;
    std::int16_t FileFound = 0; // -1 when the file exists
    std::int16_t RingFlag = 0; // -1 when the sound is played
};

extern std::array<SoundFileEntry, 8> gSoundFiles;
extern std::int16_t gSoundOn; // the Sound menu switch; starts -1 (on)

// Opens the sound device, finds and loads the seven files, then sets the ring flags. Every
// step is tried whatever failed before; each failure shows one message box, and the game then
// runs with the sounds that could be loaded (a found file that failed to load is silence).
void SetSound();
// Ring flags follow the switch: the found files when sound is on, none when it is off.
void SetSoundRingFlag();
// Starts sound k and returns at once; nothing when it may not ring, or while it still plays.
void PlaySoundEffect(int k);
// Waits, delivering events, until sound k has stopped; at once when it may not ring or the
// program is ending. The ring flag is read once, on entry.
void WaitSoundEffect(int k);
// Puts the switch on, empties the tables and drops the mixer's state (for tests).
void ResetSound();
