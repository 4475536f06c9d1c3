// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmmap.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kKeys
    = QStringLiteral("ホイール・＋/－：拡大縮小　ドラッグ・矢印：移動　Home：路線全体　"
                     "クリック・N/P：路線を選ぶ　Enter：開く　Esc：閉じる");

// The card states' dots and words in a row, drawn by the same painter as the map's dots.
class MapLegend : public QWidget
{
public:
    MapLegend(QList<MapLegendEntry> entries, MapDotPainter paintDot, QWidget* parent)
        : QWidget(parent), entries_(std::move(entries)), paintDot_(std::move(paintDot))
    {
        setObjectName(QStringLiteral("mapLegend"));
    }
    QSize sizeHint() const override
    {
        const QFontMetrics fm(font());
        int width = 0;
        for (const MapLegendEntry& e : entries_)
            width += fm.height() + 4 + fm.horizontalAdvance(e.word) + fm.height();
        return {width, fm.height() + 4};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!paintDot_)
            return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QFontMetricsF fm(font());
        const qreal r = fm.height() / 2.0;
        QPointF at(0, (height() - 2 * r) / 2);
        for (const MapLegendEntry& e : entries_) {
            paintDot_(p, at + QPointF(r, r), r - 2, e.state);
            at.rx() += 2 * r + 4;
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(QRectF(at, QSizeF(fm.horizontalAdvance(e.word) + 2, 2 * r)),
                       Qt::AlignLeft | Qt::AlignVCenter, e.word);
            at.rx() += fm.horizontalAdvance(e.word) + fm.height();
        }
    }

private:
    QList<MapLegendEntry> entries_;
    MapDotPainter paintDot_;
};

} // namespace

frmMap::frmMap(const MapInput& input, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMap"));
    setWindowTitle(QStringLiteral("地図"));
    setSizeGripEnabled(true);

    QList<MapLine> lines = MapLinesOf(input.lines, input.track);
    int current = -1;
    if (!input.currentPath.isEmpty()) {
        const auto same = [&](const MapLine& l) { return l.path == input.currentPath; };
        current = int(std::find_if(lines.cbegin(), lines.cend(), same) - lines.cbegin());
        if (current == lines.size()) {
            // A line from outside the library, or one without positions: read it here, so
            // that the map still says which line is loaded.
            IndexedLine own;
            current = -1;
            if (ReadIndexedLine(input.currentPath, &own) && !MapLineOf(own).stations.isEmpty()) {
                lines.append(MapLineOf(own));
                current = int(lines.size() - 1);
            }
            unplaced_ = current < 0;
        }
    }
    canvas_ = new MapCanvas(std::move(lines), this);
    canvas_->setCurrent(current, input.states, input.paintDot);
    if (current < 0 && input.lastView)
        canvas_->setView(*input.lastView);

    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblMapStatus"));
    lblStatus_->setWordWrap(true);
    lblStatus_->setTextFormat(Qt::PlainText);
    auto* keys = new QLabel(kKeys, this);
    keys->setObjectName(QStringLiteral("lblMapKeys"));
    keys->setWordWrap(true);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblStatus_, 1);
    if (current >= 0)
        bottom->addWidget(new MapLegend(input.legend, input.paintDot, this), 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(canvas_, 1);
    layout->addLayout(bottom);
    layout->addWidget(keys);

    connect(canvas_, &MapCanvas::selectedChanged, this, &frmMap::showLine);
    connect(canvas_, &MapCanvas::activated, this, &frmMap::activate);
    showLine(-1);
    canvas_->setFocus();

    // Most of the screen, never more than it holds.
    QSize want(960, 760);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        want = want.boundedTo(screen->availableGeometry().size() * 0.9);
    resize(want);
}

QString frmMap::statusText() const
{
    return lblStatus_->text();
}

void frmMap::showLine(int line)
{
    const int current = canvas_->current();
    if (line < 0 && current < 0) {
        lblStatus_->setText(unplaced_ ? QStringLiteral("いまの路線の路線ファイルには駅の位置が"
                                                       "書かれていないので、地図に描けません。")
                                : canvas_->lines().isEmpty()
                                ? QStringLiteral("駅の位置が書かれた路線ファイルがありません。")
                                : QStringLiteral("路線をクリックすると、その路線を選べます。"));
        return;
    }
    const int shown = line >= 0 ? line : current;
    const MapLine& l = canvas_->lines()[shown];
    QStringList parts {(shown == current ? QStringLiteral("いまの路線：") : QString()) + l.name};
    if (!l.operatorName.isEmpty())
        parts << l.operatorName;
    if (!l.description.isEmpty())
        parts << l.description;
    QString text = parts.join(QStringLiteral("　"));
    if (line >= 0 && line != current)
        text += QStringLiteral("\nEnter でこの路線を開きます。");
    lblStatus_->setText(text);
}

void frmMap::activate(int line)
{
    if (line < 0) {
        lblStatus_->setText(QStringLiteral("開く路線をクリックか N/P で選んでください。"));
        return;
    }
    chosen_ = line == canvas_->current() ? QString() : canvas_->lines()[line].path;
    accept();
}
