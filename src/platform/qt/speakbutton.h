// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small 「♪ 読み」 button and the F6 key of a window that shows stations one at a time (the
// review, 成績's route diagram): both say the selected station's reading. Hidden until the main
// window hands over its voice.

#include <QString>

#include <functional>

class QPushButton;
class QWidget;

// Speaks a station's reading (name, reading); empty when there is no voice.
using SayReading = std::function<void(const QString& name, const QString& reading)>;

// A hidden button on window, and F6 on the whole window; both call say.
QPushButton* MakeSpeakButton(QWidget* window, const std::function<void()>& say);
