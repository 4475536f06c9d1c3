// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reviews of the coming days as a small bar chart: one bar a day from today, the number of
// cards that fall due on it above it (what is overdue counts today).

#include "progressdata.h"

#include <QWidget>

class ForecastChart : public QWidget
{
    Q_OBJECT
public:
    ForecastChart(const QList<int>& perDay, QDate today, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<int> perDay_;
    QDate today_;
};
