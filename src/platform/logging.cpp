// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "logging.h"

// Warnings too are off unless asked for: the player sees the messages that concern them in
// Japanese, in the window.
Q_LOGGING_CATEGORY(logPlatform, "tabidori.platform", QtCriticalMsg)
Q_LOGGING_CATEGORY(logHistory, "tabidori.history", QtCriticalMsg)
Q_LOGGING_CATEGORY(logAudio, "tabidori.audio", QtCriticalMsg)
Q_LOGGING_CATEGORY(logLibrary, "tabidori.library", QtCriticalMsg)
