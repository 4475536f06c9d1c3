// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// 地図: the library's lines at their stations' positions, opened on the loaded line. The player
// looks around, selects another line (a click, or N/P among those near the centre) and loads it
// with Enter; the window then closes and the caller loads the line as the open dialog does.

#include "mapcanvas.h"

#include <QDialog>
#include <optional>

class QLabel;

struct MapLegendEntry
{
    int state = 0;
    QString word;
};

struct MapInput
{
    QList<IndexedLine> lines; // the library, read whole
    const TrackAtlas* track = nullptr; // the library's track, to draw the lines along it
    QString currentPath; // the loaded line's file ("" when none); read here if not in lines
    QList<int> states; // the card state of each of its stations, in file order
    MapDotPainter paintDot; // draws a dot in a state's colours
    QList<MapLegendEntry> legend; // the states as the legend lists them
    std::optional<MapView> lastView; // where the map was left, for a map without a line
};

class frmMap : public QDialog
{
    Q_OBJECT
public:
    explicit frmMap(const MapInput& input, QWidget* parent = nullptr);

    MapCanvas* canvas() const { return canvas_; }
    // The line to load once the window has closed with Enter; "" otherwise.
    QString chosenPath() const { return chosen_; }
    // What the status line says (for tests).
    QString statusText() const;

private:
    void showLine(int line);
    void activate(int line);

    MapCanvas* canvas_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QString chosen_;
    bool unplaced_ = false; // the loaded line's file gives no positions
};
