// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the map: the library read whole, the loaded line's stations in the
// colours of 成績's route diagram, and a line chosen on the map loaded as the open dialog loads
// one.
#include "frmmain.h"
#include "frmmap.h"
#include "gamestate.h"
#include "lib_util.h"
#include "progresstext.h"
#include "routelayout.h"
#include "stationtable.h"

#include <QFileInfo>

namespace {

// The loaded line's stations in its file's order, each in the state its card has; a station
// the game does not hold (or a line never played) is new.
QList<int> StatesInFileOrder(const IndexedLine& file, const LineProgress& loaded)
{
    QHash<QString, CardState> byStation;
    for (const StationProgress& s : loaded.stations)
        byStation.insert(s.name + u',' + s.reading, s.state);
    QList<int> states;
    for (const IndexedStation& s : file.stations)
        states.append(int(byStation.value(s.name + u',' + s.reading, CardState::New)));
    return states;
}

} // namespace

void frmMain::mnuMap_Click()
{
    if (GameRunning())
        return;
    MapInput input;
    input.lines = allLines();
    if (gStationCount > 0 && !gLineFilePath.isEmpty()) {
        input.currentPath = QFileInfo(gLineFilePath).absoluteFilePath();
        IndexedLine file;
        const auto same = [&](const IndexedLine& l) { return l.path == input.currentPath; };
        if (const auto it = std::find_if(input.lines.cbegin(), input.lines.cend(), same);
            it != input.lines.cend())
            file = *it;
        else
            ReadIndexedLine(input.currentPath, &file);
        input.states = StatesInFileOrder(file, loadedLineProgress(history_.get()));
    }
    input.paintDot = [](QPainter& p, QPointF centre, qreal radius, int state) {
        PaintStationDot(p, centre, radius, CardState(state));
    };
    for (const CardState s : {CardState::New, CardState::Learning, CardState::Known, CardState::Due,
                              CardState::Forgotten})
        input.legend.append({int(s), CardStateName(s)});
    input.lastView = mapView_;

    frmMap map(input, this);
    map.exec();
    mapView_ = map.canvas()->view();
    if (!map.chosenPath().isEmpty())
        OpenLineFile(map.chosenPath());
}
