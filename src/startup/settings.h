// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the player chose, kept between runs in $XDG_CONFIG_HOME/tabidori/tabidori.conf: the sound
// switch, the mode, the last line and the learning settings. A file that cannot be read gives
// the defaults; one that cannot be written is noted in the log. Neither stops the game. The keys,
// defaults and limits are those of settingsschema.h.

#include "gamestate.h"

#include <QString>
#include <cstdint>

struct KeptSettings
{
    bool soundOn = setting::kSound.fallback;
    std::int32_t mode = setting::kMode.fallback;
    QString lastLine; // the path of the last line loaded, "" for none
    QString installation; // never empty: made when the file has none (or a malformed one)
    QString sharedFolder; // an absolute path, "" for none
    LearningSettings learning;
};

QString KeptSettingsPath();
// A settings file larger than this is set aside unread (the real one is a few hundred bytes).
inline constexpr qint64 kKeptSettingsMaxBytes = 64 * 1024;
// What was kept, each value checked; the defaults for what is missing or out of range.
KeptSettings ReadKeptSettings();
// Writes all of it; false (and a note in the log) when the file could not be written.
bool WriteKeptSettings(const KeptSettings& settings);
