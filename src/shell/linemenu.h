// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// 路線一覧: the library's lines by their own names, region by region (a long region split by
// prefecture and operator so that no menu scrolls), each with its colour, and the player's own
// lines under マイ路線.

#include "linecatalogue.h"

#include <QIcon>
#include <QString>
#include <functional>

class QMenu;

struct LineMenuHandlers
{
    std::function<void(const QString& path)> open; // a line was chosen
    // Shown after a line's name (the share of it known), asked when the line's menu opens.
    std::function<QString(const QString& path)> note;
    std::function<void()> openOwnFolder; // the last item of マイ路線, when given
};

// Fills menu with a submenu per region of the library folder and マイ路線 with the lines of
// ownFolder. A region's lines are read when its submenu first opens, and again only when a file
// was added, removed or changed; 路線一覧 itself is made again only when its regions or the
// player's lines changed (true then). The notes are asked each time a line's menu opens.
bool FillLineMenu(QMenu* menu, LineCatalogue& catalogue, const QString& libraryFolder,
                  const QString& ownFolder, const LineMenuHandlers& handlers);

// A small swatch of a line's colour ("#RRGGBB"), neutral grey for a line without one.
QIcon LineSwatch(const QString& colour);
