// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the game loop sees it: the panels, the answer box and its tag, the plate,
// the sounds. The game decides; the window shows and forwards.
#include "correction.h"
#include "frmmain.h"
#include "kanalineedit.h"
#include "panelstatusbar.h"
#include "plate.h"
#include "platewidget.h"
#include "sound.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>

void frmMain::setPanel(const QString& key, const QString& text)
{
    sbStatusBar->setPanelText(key, text);
}

QString frmMain::answerText() const
{
    return txtKaitou->text();
}

QString frmMain::answerSoFar() const
{
    QString shown = txtKaitou->text();
    return shown.insert(txtKaitou->cursorPosition(), txtKaitou->pendingText());
}

void frmMain::setAnswerText(const QString& text)
{
    txtKaitou->setText(text);
}

QString frmMain::answerTag() const
{
    return answerTag_;
}

void frmMain::setAnswerTag(const QString& tag)
{
    answerTag_ = tag;
}

void frmMain::focusAnswer()
{
    txtKaitou->setFocus(Qt::OtherFocusReason);
}

void frmMain::enterGameControls()
{
    closeAnswer(false);
    setGameControls(true);
}

void frmMain::setGameControls(bool running)
{
    for (QAction* a : {mnuGameStart, mnuLine, mnuFinder, mnuMap, mnuLineMenu->menuAction(),
                       mnuLineList->menuAction(), mnuLearning, mnuGameToday, mnuLesson,
                       mnuGameProgress, mnuRebuild})
        a->setEnabled(!running);
    cmbGameMode->setEnabled(!running);
    mnuGameStop->setEnabled(running);
    // The last game's results are in the table again once this one is over.
    mnuGameScore->setEnabled(!running);
    if (running) {
        // The review is of the last game; it comes back when this one is over.
        mnuGameReview->setEnabled(false);
        cmdHint->setEnabled(true);
    }
}

void frmMain::showCorrection(std::int32_t asked, const QString& typed, bool timedOut, bool retype)
{
    DrawCorrectionPlate(*picStationPlate, asked, typed, timedOut, retype);
}

void frmMain::lockAnswer(bool locked)
{
    answerLocked_ = locked;
    // Read-only also keeps a system input method from committing into the box.
    txtKaitou->setReadOnly(locked);
}

void frmMain::closeAnswer(bool closed)
{
    answerClosed_ = closed;
    if (closed)
        txtKaitou->discardPending();
    // Keys are dropped in txtKaitou_KeyPress; a system input method would commit past it, so it
    // is kept out of the box meanwhile, as a read-only box keeps it out.
    txtKaitou->setAttribute(Qt::WA_InputMethodEnabled, !closed && !txtKaitou->isReadOnly());
}

void frmMain::askRetype(std::int32_t asked)
{
    Q_UNUSED(asked);
    setPanel(QStringLiteral("Guide"), QStringLiteral("打ち直し"));
    focusAnswer();
}

void frmMain::drawTitle()
{
    DrawGameTitle(*picStationPlate);
}

void frmMain::drawPlate(std::int32_t index)
{
    DrawStationPlate(*picStationPlate, index);
}

bool frmMain::soundMayRing(int sound) const
{
    return gSoundFiles[sound].RingFlag != 0;
}

void frmMain::playSound(int sound)
{
    PlaySoundEffect(sound);
}

void frmMain::waitSound(int sound)
{
    WaitSoundEffect(sound);
}
