// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "speakbutton.h"

#include <QPushButton>
#include <QShortcut>

QPushButton* MakeSpeakButton(QWidget* window, const std::function<void()>& say)
{
    auto* button = new QPushButton(QStringLiteral("♪ 読み"), window);
    button->setObjectName(QStringLiteral("cmdSpeak"));
    button->setToolTip(QStringLiteral("選んだ駅の読みを聞く (F6)"));
    button->hide();
    QObject::connect(button, &QPushButton::clicked, window, say);
    auto* key = new QShortcut(QKeySequence(Qt::Key_F6), window);
    QObject::connect(key, &QShortcut::activated, window, say);
    return button;
}
