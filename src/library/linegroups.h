// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// 路線一覧 in menus short enough to be seen whole: a region of many lines is split by
// prefecture, a prefecture of many lines by operator, and what is still too long into runs of
// lines in their order. A hand-made region without prefectures stays one list while it fits.

#include "linecatalogue.h"

#include <QList>
#include <QString>

// Most entries (lines, submenus and separators) in one menu: 25 rows of a menu stand within a
// 1366 × 768 screen at 96 dpi, the task bar and the menu bar left over.
inline constexpr int kLineMenuLimit = 25;

struct LineMenuNode
{
    QString title; // the submenu's title ("" for the region's own menu)
    QList<LineMenuNode> submenus; // shown first
    QList<LineEntry> lines; // then these, in order
    // Separators between the operators' lines: left out when they would make the menu too long.
    bool separators = true;
};

// The prefecture's number, 1 (北海道) to 47 (沖縄県); 0 for another name.
int PrefectureCode(const QString& name);
// The region folder ("kanto") a prefecture's lines are filed under; "" for another name.
QString PrefectureRegion(const QString& name);
// The prefecture a line is listed under in the menu of the region folder: the first of its
// @都道府県 inside that region (the region is where most of its stations are), else its first;
// "" when it names none.
QString MenuPrefecture(const LineEntry& line, const QString& folder);

// The menu of one region (lines in the order SortByOperator gives them), none of whose menus
// holds more than limit entries.
LineMenuNode SplitLineMenu(const QList<LineEntry>& lines, const QString& folder,
                           int limit = kLineMenuLimit);
