// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lineidentity.h"
#include "linefile.h"
#include "session.h"
#include "textfile.h"

#include <QFileInfo>
#include <QStringList>

LineIdentity LineIdentities::of(const QString& path)
{
    const QFileInfo info(path);
    auto it = known_.find(path);
    if (it != known_.end() && it->modified == info.lastModified() && it->size == info.size())
        return it->identity;
    LineIdentity identity;
    TextFile file;
    if (file.open(path) && !file.isEmpty()) {
        LineFileOptions options;
        options.keepFreeText = false;
        options.stationLimit = kMaxLineStations;
        const LineFile line = ParseLineFile(file, options);
        if (line.marker && !line.stations.isEmpty() && !line.overLimit && line.tooLongLine == 0) {
            // The key the game gives the line once loaded: its name and stations in file order.
            QStringList stations;
            for (const LineFileStation& s : line.stations)
                stations << s.fields[0] + u',' + s.fields[1];
            identity = {LineKey(line.name, stations), int(line.stations.size())};
        }
    }
    known_.insert(path, {info.lastModified(), info.size(), identity});
    return identity;
}
