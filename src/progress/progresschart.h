// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart of a line's full games, oldest on the left and one step each, however many were
// played on one day: the rate of right answers (正解率, on the left scale) and the score (得点,
// on the right scale). Under the plot each day is named at its first game. Painted apart from
// the widget, so that it renders to an image without a screen.

#include "progressdata.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPixmap>
#include <QWidget>

class QPainter;

// The series' colours, told apart by their marks and strokes as well: the rate is a solid line
// through circles, the score a dashed line through squares.
inline const QColor kRateColour(0x00, 0x72, 0xb2);
inline const QColor kScoreColour(0xd5, 0x5e, 0x00);

// The step of a scale of about `intervals` intervals over lo to hi: 1, 2, 2.5 or 5 times a
// power of ten.
double NiceStep(double lo, double hi, int intervals);

// Where game (0 = the oldest) of games stands across plot: the middle of its step.
qreal ChartGameX(const QRectF& plot, qsizetype games, int game);

// A day's name under the plot, at the first game played that day.
struct ChartDayLabel
{
    int game = 0;
    QString text; // 「5/3」
    QRectF rect; // where it is written
};

// The days under a plot of games, left to right; a day whose name would run into the one
// before it is left unnamed.
QList<ChartDayLabel> ChartDayLabels(const QRectF& plot, const QList<GamePoint>& games,
                                    const QFontMetricsF& fm);

// Paints the chart of line's games into area, on white.
void PaintChart(QPainter& p, const QRectF& area, const LineProgress& line, const QFont& font);
QImage RenderChart(const LineProgress& line, QSize size, const QFont& font);

class ProgressChart : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressChart(const LineProgress& line, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LineProgress line_;
    QPixmap cache_; // the chart at the widget's size
};
