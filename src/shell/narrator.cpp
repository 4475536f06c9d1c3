// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "narrator.h"
#include "gamestate.h"
#include "stationtable.h"

#include <QAction>
#include <QMenu>

Narrator::Narrator(QObject* parent) : QObject(parent) { }

Narrator::~Narrator() = default;

speech::Speaker& Narrator::speaker()
{
    // Made on first use, once the program's folder (and so the voice file) is known.
    if (!speaker_)
        speaker_ = std::make_unique<speech::Speaker>(speech::DefaultSetup());
    return *speaker_;
}

void Narrator::setSetup(const speech::VoiceSetup& setup)
{
    speaker_ = std::make_unique<speech::Speaker>(setup);
    if (action_)
        action_->setEnabled(unavailable().isEmpty());
}

QString Narrator::unavailable()
{
    return speaker().unavailable();
}

QAction* Narrator::addTo(QMenu* menu)
{
    auto* action = menu->addAction(QStringLiteral("読みを聞く(&Y)"));
    action->setObjectName(QStringLiteral("mnuSpeak"));
    action->setShortcut(QKeySequence(Qt::Key_F6));
    action->setEnabled(unavailable().isEmpty());
    action->setToolTip(unavailable());
    action_ = action;
    connect(action, &QAction::triggered, this, &Narrator::repeat);
    return action;
}

void Narrator::lineLoaded()
{
    last_ = {};
    prepared_ = false;
    if (gLearning.speech != kSpeechOff)
        prepareLine();
}

void Narrator::prepareLine()
{
    prepared_ = true;
    QList<speech::Reading> readings;
    for (std::int32_t i = 0; i < gStationCount; ++i)
        readings.append({StationTable[i].StationName, StationTable[i].Reading});
    speaker().prepare(readings);
}

void Narrator::readingShown(std::int32_t entry, Reveal moment)
{
    if (entry < 0 || entry >= gStationCount)
        return;
    last_ = {StationTable[entry].StationName, StationTable[entry].Reading};
    if (!SpeaksAt(moment, gLearning.speech))
        return;
    speaker().say(last_);
    // 読み上げ turned on after the line was loaded: the rest of it is made now.
    if (!prepared_)
        prepareLine();
}

void Narrator::say(const QString& name, const QString& reading)
{
    speaker().say({name, reading});
}

void Narrator::repeat()
{
    speaker().say(last_);
}
