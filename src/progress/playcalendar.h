// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The days played: the last weeks as a grid of days, a column a week from Sunday down to
// Saturday, each day shaded by the questions answered and marked when it met the daily goal.

#include "progressdata.h"

#include <QDate>
#include <QWidget>

class QPainter;

// The weeks shown before the current one.
inline constexpr int kCalendarWeeks = 16;

// The first day shown: the Sunday kCalendarWeeks weeks before today's week.
QDate CalendarStart(QDate today);
// 0 for a day without play, 1 to 3 for a day short of the goal by less and less, 4 for a day
// that met it.
int ShadeLevel(int reviews, int dailyGoal);
// 「この 17 週間に遊んだ日 23 日・答えた問題 1,234 問」.
QString CalendarSummary(const LibraryProgress& library, QDate today);

class PlayCalendar : public QWidget
{
    Q_OBJECT
public:
    PlayCalendar(const LibraryProgress& library, QDate today, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The day whose cell lies at point (in the widget); invalid when none.
    QDate dayAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Grid
    {
        int cell = 0; // a day's square
        int pitch = 0; // from one day to the next
        QPoint origin; // the top left of the first day
    };
    Grid grid() const;
    QRect cellRect(QDate day) const;
    void paintLegend(QPainter& p, const Grid& g) const;

    // The shade of a day: ShadeLevel of its answers, the darkest when its review was done.
    int levelOf(QDate day) const;

    QMap<QDate, int> reviews_;
    QList<QDate> cleared_;
    int goal_ = 0;
    QDate today_;
};
