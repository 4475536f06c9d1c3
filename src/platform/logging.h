// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a bug report needs and the player does not: SQL and SDL errors, files skipped, message
// boxes nobody could see. Off by default; QT_LOGGING_RULES="tabidori.*=true" switches all on.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(logPlatform) // tabidori.platform
Q_DECLARE_LOGGING_CATEGORY(logHistory) // tabidori.history
Q_DECLARE_LOGGING_CATEGORY(logAudio) // tabidori.audio
Q_DECLARE_LOGGING_CATEGORY(logLibrary) // tabidori.library
