// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the player chose, kept between runs in $XDG_CONFIG_HOME/tabidori/tabidori.conf: the sound
// switch, the mode, the last line and the learning settings. A file that cannot be read gives
// the defaults; one that cannot be written is noted in the log. Neither stops the game.

#include "gamestate.h"

#include <QString>
#include <cstdint>

struct KeptSettings
{
    bool soundOn = true;
    std::int32_t mode = kModeHayauchi;
    QString lastLine; // the path of the last line loaded, "" for none
    LearningSettings learning;
};

QString KeptSettingsPath();
// What was kept, each value checked; the defaults for what is missing or out of range.
KeptSettings ReadKeptSettings();
// Writes all of it; false (and a note in the log) when the file could not be written.
bool WriteKeptSettings(const KeptSettings& settings);
