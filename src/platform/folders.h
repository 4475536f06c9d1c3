// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// $XDG_DATA_HOME/tabidori: the player's history and own lines. The generic location, not the
// application's, so that the application name's capitals do not leak into the path.
QString dataFolder();
// $XDG_CONFIG_HOME/tabidori: what the player chose, kept between runs.
QString configFolder();

} // namespace platform
