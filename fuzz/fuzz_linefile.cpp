// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Line files of any bytes: loading never writes past the table, what it keeps is what a line
// file can hold, and a file the checker passes is one the game loads as the checker read it.

#include "linecheck.h"
#include "silenthost.h"
#include "stationtable.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

const std::string& linePath()
{
    static const std::string path = fuzz::scratchFolder().toStdString() + "/line.txt";
    return path;
}

void writeFile(const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(linePath().c_str(), "wb");
    if (!f)
        fuzz::fail("cannot write the line file");
    if (size > 0 && std::fwrite(data, 1, size, f) != size)
        fuzz::fail("cannot write the line file");
    std::fclose(f);
}

// A field as stored: split at commas, cut at the comment, broken at CR.
bool plainField(const QString& s)
{
    return !s.contains(u',') && !s.contains(u';') && !s.contains(u'\r');
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::host().folder = fuzz::scratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeFile(data, size);
    fuzz::SilentHost& host = fuzz::host();
    host.clearCounts();

    const QString path = QString::fromStdString(linePath());
    const bool loaded = LoadLineFile(path);

    fuzz::check(gStationCount >= 0 && gStationCount <= kStationTableSize, "station count range");
    for (int i = gStationCount; i < kStationTableSize; ++i) {
        const StationRecord& r = StationTable[size_t(i)];
        fuzz::check(r.StationName.isEmpty() && r.Reading.isEmpty() && r.Extra.isEmpty(),
                    "text past the last station");
    }
    // Success is silent; a failure says why in exactly one box and keeps no station.
    fuzz::check(host.messages == (loaded ? 0 : 1), "message boxes for the outcome");
    // The checker is stricter than the game: what it passes, even without its dictionary, loads.
    if (const LineCheck check = CheckLineFile(path); check.errors() == 0) {
        fuzz::check(loaded, "a file the checker passes does not load");
        fuzz::check(gLineName == check.lineName && gStationCount == check.stations.size(),
                    "the checker and the game read a different name or station count");
    }
    if (!loaded) {
        fuzz::check(gStationCount == 0, "stations kept after a failure");
        return 0;
    }
    fuzz::check(!gLineName.contains(u';') && !gLineName.startsWith(u' ')
                    && !gLineName.endsWith(u' ') && !gLineName.contains(u'\r'),
                "line name keeps its comment or blanks");
    for (int i = 0; i < gStationCount; ++i) {
        const StationRecord& r = StationTable[size_t(i)];
        fuzz::check(plainField(r.StationName) && plainField(r.Reading) && plainField(r.Extra),
                    "station field holds a separator");
    }
    return 0;
}
