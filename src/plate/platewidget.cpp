// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platewidget.h"

#include <QPainter>

PlateWidget::PlateWidget(QWidget* parent) : QWidget(parent), surface_(image_, [this] { update(); })
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage& PlateWidget::image()
{
    syncImage();
    return image_;
}

PlateSurface& PlateWidget::surface()
{
    // The game may draw before the window is first shown, when no resize event has come yet.
    syncImage();
    return surface_;
}

void PlateWidget::syncImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (image_.size() == pixels && image_.devicePixelRatio() == ratio)
        return;
    QImage next(pixels, QImage::Format_RGB32);
    next.setDevicePixelRatio(ratio);
    // Point sizes turn into pixels at 96 dpi whatever the screen says.
    next.setDotsPerMeterX(PlateSurface::kDotsPerMeter);
    next.setDotsPerMeterY(PlateSurface::kDotsPerMeter);
    next.fill(PlateSurface::kBackground);
    if (!image_.isNull() && !next.isNull()) {
        // Drawn at its design size: a move to a screen of another density keeps the picture.
        QPainter p(&next);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QPointF(0, 0), image_);
    }
    image_ = next;
}

void PlateWidget::resizeEvent(QResizeEvent*)
{
    syncImage();
}

void PlateWidget::paintEvent(QPaintEvent*)
{
    syncImage();
    QPainter p(this);
    p.drawImage(QPointF(0, 0), image_);
}
