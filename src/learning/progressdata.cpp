// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "progressdata.h"

#include <algorithm>

double KnownShare(const LineProgress& line)
{
    if (line.stations.isEmpty())
        return 0.0;
    const auto known
        = std::count_if(line.stations.cbegin(), line.stations.cend(),
                        [](const StationProgress& s) { return s.state == CardState::Known; });
    return double(known) / double(line.stations.size());
}

QString StationLabel(const StationProgress& station)
{
    return station.number.isEmpty() ? station.name : station.number + u' ' + station.name;
}
