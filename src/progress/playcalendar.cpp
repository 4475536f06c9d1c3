// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "playcalendar.h"
#include "progresstext.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <algorithm>

namespace {

// One hue from pale to deep, which every kind of colour vision orders alike.
const QColor kShades[5]
    = {QColor(0xeb, 0xed, 0xf0), QColor(0xc6, 0xdb, 0xef), QColor(0x6b, 0xae, 0xd6),
       QColor(0x31, 0x82, 0xbd), QColor(0x08, 0x45, 0x94)};

const QString kWeekdays[7]
    = {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
       QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土")};

// The mark of a day that met the goal: a tick, drawn rather than typed so that no face lacks it.
void PaintTick(QPainter& p, const QRectF& cell, const QColor& colour)
{
    QPainterPath tick;
    tick.moveTo(cell.left() + cell.width() * 0.22, cell.top() + cell.height() * 0.52);
    tick.lineTo(cell.left() + cell.width() * 0.42, cell.top() + cell.height() * 0.72);
    tick.lineTo(cell.left() + cell.width() * 0.78, cell.top() + cell.height() * 0.28);
    p.strokePath(
        tick,
        QPen(colour, std::max(1.5, cell.width() / 7), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void PaintDay(QPainter& p, const QRectF& cell, int level, bool today)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kShades[level]);
    p.drawRoundedRect(cell, 2, 2);
    if (level == 4)
        PaintTick(p, cell, Qt::white);
    if (today) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 2));
        p.drawRoundedRect(cell.adjusted(-1, -1, 1, 1), 2, 2);
    }
}

} // namespace

QDate CalendarStart(QDate today)
{
    const QDate sunday = today.addDays(-(today.dayOfWeek() % 7));
    return sunday.addDays(-7 * kCalendarWeeks);
}

int ShadeLevel(int reviews, int dailyGoal)
{
    if (reviews <= 0)
        return 0;
    if (dailyGoal <= 0 || reviews >= dailyGoal)
        return 4;
    return 1 + std::min(2, reviews * 3 / dailyGoal);
}

QString CalendarSummary(const LibraryProgress& library, QDate today)
{
    int days = 0, answered = 0;
    for (auto it = library.reviewsPerDay.cbegin(); it != library.reviewsPerDay.cend(); ++it) {
        if (it.key() >= CalendarStart(today) && it.key() <= today && it.value() > 0) {
            ++days;
            answered += it.value();
        }
    }
    return QStringLiteral("この %1 週間に遊んだ日 %2 日・答えた問題 %3 問")
        .arg(kCalendarWeeks + 1)
        .arg(Grouped(days), Grouped(answered));
}

PlayCalendar::PlayCalendar(const LibraryProgress& library, QDate today, QWidget* parent)
    : QWidget(parent)
    , reviews_(library.reviewsPerDay)
    , cleared_(library.reviewCleared)
    , goal_(library.dailyGoal)
    , today_(today)
{
    setObjectName(QStringLiteral("picCalendar"));
    setAccessibleName(QStringLiteral("遊んだ日のカレンダー"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

int PlayCalendar::levelOf(QDate day) const
{
    // A day whose due cards were all answered met its goal, however few they were.
    const int n = reviews_.value(day);
    return n > 0 && cleared_.contains(day) ? 4 : ShadeLevel(n, goal_);
}

PlayCalendar::Grid PlayCalendar::grid() const
{
    const QFontMetrics fm = fontMetrics();
    Grid g;
    g.cell = fm.height() + 2;
    g.pitch = g.cell + 3;
    g.origin = QPoint(fm.horizontalAdvance(kWeekdays[0]) + 8, fm.lineSpacing() + 4);
    return g;
}

QSize PlayCalendar::sizeHint() const
{
    const Grid g = grid();
    const QFontMetrics fm = fontMetrics();
    const int legend = fm.horizontalAdvance(QStringLiteral("少ない　多い　目標達成　今日"))
        + 8 * g.pitch + 4 * fm.averageCharWidth();
    const int width = std::max(g.origin.x() + (kCalendarWeeks + 1) * g.pitch, legend);
    return {width + 2, g.origin.y() + 7 * g.pitch + fm.lineSpacing() + 10};
}

QRect PlayCalendar::cellRect(QDate day) const
{
    const Grid g = grid();
    const qint64 offset = CalendarStart(today_).daysTo(day);
    const int column = int(offset / 7), row = int(offset % 7);
    return {g.origin.x() + column * g.pitch, g.origin.y() + row * g.pitch, g.cell, g.cell};
}

QDate PlayCalendar::dayAt(QPoint point) const
{
    const QDate start = CalendarStart(today_);
    for (QDate d = start; d <= today_; d = d.addDays(1)) {
        if (cellRect(d).contains(point))
            return d;
    }
    return {};
}

void PlayCalendar::paintLegend(QPainter& p, const Grid& g) const
{
    const QFontMetrics fm = fontMetrics();
    int x = g.origin.x();
    const int top = g.origin.y() + 7 * g.pitch + 6;
    auto text = [&](const QString& t) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(x, top, fm.horizontalAdvance(t) + 2, g.cell), Qt::AlignVCenter, t);
        x += fm.horizontalAdvance(t) + fm.averageCharWidth();
    };
    text(QStringLiteral("少ない"));
    for (int level = 0; level < 5; ++level) {
        PaintDay(p, QRectF(x, top, g.cell, g.cell), level, false);
        x += g.pitch;
    }
    text(QStringLiteral("多い　"));
    PaintDay(p, QRectF(x, top, g.cell, g.cell), 4, false);
    x += g.pitch;
    text(QStringLiteral("目標達成　"));
    PaintDay(p, QRectF(x + 1, top, g.cell, g.cell), 0, true);
    x += g.pitch + 1;
    text(QStringLiteral("今日"));
}

void PlayCalendar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const Grid g = grid();
    const QFontMetrics fm = fontMetrics();
    const QColor ink = palette().color(QPalette::WindowText);
    const QDate start = CalendarStart(today_);
    p.setPen(ink);
    for (int row = 0; row < 7; ++row)
        p.drawText(QRect(0, g.origin.y() + row * g.pitch, g.origin.x() - 6, g.cell),
                   Qt::AlignRight | Qt::AlignVCenter, kWeekdays[row]);
    // A month's name over the first week that reaches into it, where there is room.
    int free = g.origin.x();
    for (int column = 0; column <= kCalendarWeeks; ++column) {
        const QDate saturday = start.addDays(column * 7 + 6);
        if (column > 0 && saturday.month() == saturday.addDays(-7).month())
            continue;
        const int x = g.origin.x() + column * g.pitch;
        const QString name = QStringLiteral("%1月").arg(saturday.month());
        if (x < free)
            continue;
        p.setPen(ink);
        p.drawText(QRect(x, 0, fm.horizontalAdvance(name) + 2, fm.lineSpacing()),
                   Qt::AlignLeft | Qt::AlignVCenter, name);
        free = x + fm.horizontalAdvance(name) + fm.averageCharWidth();
    }
    for (QDate d = start; d <= today_; d = d.addDays(1))
        PaintDay(p, QRectF(cellRect(d)), levelOf(d), d == today_);
    paintLegend(p, g);
}

bool PlayCalendar::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QDate day = dayAt(help->pos());
    if (!day.isValid()) {
        QToolTip::hideText();
        return true;
    }
    const int n = reviews_.value(day);
    QString text
        = QStringLiteral("%1（%2）　%3 問")
              .arg(day.toString(QStringLiteral("yyyy/MM/dd")), kWeekdays[day.dayOfWeek() % 7])
              .arg(Grouped(n));
    if (levelOf(day) == 4)
        text += QStringLiteral("　目標達成");
    QToolTip::showText(help->globalPos(), text, this);
    return true;
}
