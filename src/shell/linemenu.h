// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// 路線一覧: the library's lines by their own names, region by region, and the player's own
// lines under マイ路線.

#include "linecatalogue.h"

#include <QString>
#include <functional>

class QMenu;

// Fills menu (emptied first) with a submenu per region of the library folder and マイ路線 with
// the lines of ownFolder; choosing a line calls open with its path. Returns マイ路線, for the
// caller's own items at its end. note, when given, is shown after each line's name (the share
// of it known).
QMenu* FillLineMenu(QMenu* menu, LineCatalogue& catalogue, const QString& libraryFolder,
                    const QString& ownFolder, const std::function<void(const QString&)>& open,
                    const std::function<QString(const QString& path)>& note = {});
