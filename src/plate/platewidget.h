// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station plate area: a picture that keeps what was last drawn on it, repainted from memory
// whenever the window shows it again.

#include "platesurface.h"

#include <QImage>
#include <QWidget>

class PlateWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PlateWidget(QWidget* parent = nullptr);

    // The picture drawn on, in design pixels (its device pixel ratio says how many device
    // pixels make one).
    QImage& image();
    const QImage& image() const { return image_; }
    // The drawing operations over the picture.
    PlateSurface& surface();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Makes the picture match the widget's size and pixel ratio, keeping what it shows.
    void syncImage();

    QImage image_;
    PlateSurface surface_;
};
