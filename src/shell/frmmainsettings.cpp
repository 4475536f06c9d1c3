// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the kept settings and the learning settings window.
#include "frmlearning.h"
#include "frmmain.h"
#include "lib_util.h"
#include "panelstatusbar.h"
#include "sound.h"
#include "stationtable.h"
#include "versioninfo.h"

#include <QAction>

void frmMain::restoreSettings()
{
    kept_ = ReadKeptSettings();
    gSoundOn = kept_.soundOn ? -1 : 0;
    gGameMode = kept_.mode;
    gLearning = kept_.learning;
    mnuCorrection->setChecked(gLearning.correction);
    history_.setRetention(gLearning.retention);
    sharing_.restore();
}

bool frmMain::restoreLastLine()
{
    if (kept_.lastLine.isEmpty() || !FileExists(kept_.lastLine))
        return false;
    gLineFilePath = kept_.lastLine;
    if (!LoadLineFile(gLineFilePath)) {
        gLineFilePath.clear();
        return false;
    }
    showLineCaption();
    return true;
}

void frmMain::keepSettings()
{
    if (keepReady_)
        WriteKeptSettings(kept_);
}

void frmMain::mnuLearning_Click()
{
    if (GameRunning())
        return;
    frmLearning window(gLearning, this);
    window.setSpeechUnavailable(narrator_.unavailable());
    History* h = history_.get();
    if (h)
        window.setLearningLines(h->learningLines());
    if (window.exec() != QDialog::Accepted)
        return;
    if (h)
        h->setLearningLines(window.learningLines());
    const LearningSettings chosen = window.settings();
    const bool turned = chosen.reversed != gLearning.reversed;
    const bool rescheduled = chosen.retention != gLearning.retention;
    gLearning = chosen;
    mnuCorrection->setChecked(gLearning.correction);
    history_.setRetention(gLearning.retention);
    kept_.learning = gLearning;
    keepSettings();
    // A card falls due when its chance of recall reaches the retention: every due day moves.
    // The memories stay as they are; playing the answers again with the new retention is the
    // one way the history knows to set the days.
    if (History* h = rescheduled ? history_.get() : nullptr)
        h->rebuildCards();
    // The table holds the line in the direction of travel: a new direction is a new ride.
    if (turned && gStationCount > 0)
        OpenLineFile(gLineFilePath);
}
