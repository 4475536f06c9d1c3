// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every global of the game back to its start value: no line, no game, the sound table unmade,
// no autoplay. One call for the tests that run the whole program.

#include "commandline.h"
#include "gamestate.h"
#include "sound.h"
#include "stationtable.h"

inline void ResetGlobals()
{
    ResetStationTable();
    ResetGameState();
    ResetSound();
    gAutoPlay = false;
}
