// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "forecastchart.h"
#include "progresstext.h"

#include <QPainter>

#include <algorithm>

ForecastChart::ForecastChart(const QList<int>& perDay, QDate today, QWidget* parent)
    : QWidget(parent), perDay_(perDay), today_(today)
{
    setObjectName(QStringLiteral("picForecast"));
    setAccessibleName(QStringLiteral("これからの復習"));
    QStringList days;
    for (int i = 0; i < perDay_.size(); ++i)
        days << QStringLiteral("%1 %2 問")
                    .arg(today_.addDays(i).toString(QStringLiteral("M/d")))
                    .arg(perDay_[i]);
    setToolTip(days.join(u'\n'));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize ForecastChart::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(QStringLiteral("12/31"))
                * int(std::max<qsizetype>(perDay_.size(), 1)),
            fm.lineSpacing() * 6};
}

void ForecastChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    if (perDay_.isEmpty())
        return;
    const QFontMetrics fm = fontMetrics();
    const int line = fm.lineSpacing();
    const int most = std::max(1, *std::max_element(perDay_.cbegin(), perDay_.cend()));
    const double step = double(width()) / perDay_.size();
    const int bottom = height() - line - 2;
    const int top = line + 2;
    int freeFrom = 0; // day labels never run into each other
    for (int i = 0; i < perDay_.size(); ++i) {
        const int x = int(i * step);
        const int w = std::max(2, int(step) - 4);
        const int h = (bottom - top) * perDay_[i] / most;
        p.fillRect(QRect(x + 2, bottom - h, w, h), QColor(0x00, 0x72, 0xb2));
        p.setPen(palette().text().color());
        if (perDay_[i] > 0)
            p.drawText(QRect(x, bottom - h - line, int(step), line), Qt::AlignCenter,
                       Grouped(perDay_[i]));
        const QString day
            = i == 0 ? QStringLiteral("今日") : today_.addDays(i).toString(QStringLiteral("M/d"));
        if (x >= freeFrom) {
            p.drawText(QRect(x, bottom + 2, int(step) * 2, line), Qt::AlignLeft, day);
            freeFrom = x + fm.horizontalAdvance(day) + fm.averageCharWidth();
        }
    }
}
