// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmmain.h"
#include "commandline.h"
#include "frmabout.h"
#include "frmfinder.h"
#include "frmscorelist.h"
#include "kanalineedit.h"
#include "lib_util.h"
#include "linecheck.h"
#include "linemenu.h"
#include "mixer.h"
#include "panelstatusbar.h"
#include "platewidget.h"
#include "sound.h"
#include "stationtable.h"
#include "versioninfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSignalBlocker>

// ---- Loading and closing

void frmMain::Form_Load(const QString& argumentText)
{
    Form_Load(TokenizeArguments(argumentText));
}

void frmMain::Form_Load(const QStringList& tokens)
{
    gSoundOn = -1;
    gGameMode = kModeHayauchi;
    restoreSettings();
    SetSound();

    dlgCommonDialog.initialFolder
        = BuildFilePath(platform::host().programFolder(), QStringLiteral("/line"));
    dlgCommonDialog.title = QStringLiteral("路線ファイルの選択");
    dlgCommonDialog.filters
        = {QStringLiteral("路線ファイル.(*.txt)"), QStringLiteral("すべてのﾌｧｲﾙ (*.*)")};

    GetArrgment(tokens);
    if (platform::ending())
        return;
    const bool restored = gLineFilePath.isEmpty() && restoreLastLine();

    mnuSound->setChecked(gSoundOn != 0);
    SetSoundRingFlag();
    show();
    // The log-on dialog had the keyboard; an autoplayed game needs it in the answer box.
    activateWindow();

    {
        // Filling the list must not select anything by itself.
        const QSignalBlocker quiet(cmbGameMode);
        for (int mode = kModeHayauchi; mode <= kModeEkiate; ++mode)
            cmbGameMode->addItem(ModeListName(mode));
        cmbGameMode->setCurrentIndex(-1);
    }
    // Selecting runs cmbGameMode_Click; with -1 nothing is selected and nothing runs.
    cmbGameMode->setCurrentIndex(gGameMode);
    if (gStationCount > 0 && !confirmAnswerable())
        ForgetLineFile();
    // A line given on the command line or kept from the last run is loaded without the menu:
    // its former names are looked at here.
    const QString adopted = gStationCount > 0 ? AdoptedText(desk_) : QString();

    keepReady_ = true;
    // What became of the history on opening (moved aside, another program's, a newer
    // version's, out of reach) is said as the window appears, not after the first game.
    history_.get();
    library_.readAhead();
    if (history_.hasMessage())
        platform::messageBox(history_.takeMessage(), platform::Buttons::Ok,
                             platform::Icon::Exclamation);
    // What is due today needs no line of its own: it is said first.
    const QString due = gAutoPlay ? QString() : adopted.isEmpty() ? dueText() : adopted;
    if (!due.isEmpty())
        setPanel(QStringLiteral("Guide"), due);
    else if (!FileExists(gLineFilePath))
        setPanel(QStringLiteral("Guide"), QStringLiteral("路線ファイルを選択してください。"));
    else if (gAutoPlay)
        mnuGameStart_Click();
    else if (restored)
        setPanel(QStringLiteral("Guide"), kLineLoadedGuide);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    Form_Unload();
}

void frmMain::Form_Unload()
{
    // A last try at the games the history could not take; the player hears of any lost.
    const QString lost = history_.finish();
    if (!lost.isEmpty() && !platform::ending())
        platform::messageBox(lost, platform::Buttons::Ok, platform::Icon::Exclamation);
    audio::mixer().stopAll();
    platform::host().endProgram();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // Without a window manager nobody gives the keyboard back when a modal window closes: X
    // hands it to the root window, Qt then sees no active window, so F5 and the menus' Alt
    // keys do nothing while letters still reach the box under the pointer. A window manager
    // would activate the main window itself; doing it here as well does no harm there.
    if (event->type() == QEvent::Hide && watched != this && watched->isWidgetType()) {
        const auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow() && window->isModal())
            QMetaObject::invokeMethod(this, &frmMain::takeKeyboardBack, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::takeKeyboardBack()
{
    // Another modal window may have opened meanwhile (the review after the score window).
    if (!isVisible() || isMinimized() || QApplication::activeModalWidget()
        || QApplication::activePopupWidget())
        return;
    // Only when needed: a window manager or a click may have activated it already, and each
    // request moves the X focus again.
    if (!isActiveWindow())
        activateWindow();
    focusAnswer();
}

void frmMain::mnuFileEnd_Click()
{
    close();
}

// ---- Play controls

void frmMain::txtKaitou_KeyPress(int& keyAscii)
{
    // Typing is dropped while the right reading is shown and after a game; Enter goes on.
    if ((answerLocked_ || answerClosed_) && keyAscii != 13) {
        keyAscii = 0;
        return;
    }
    if (keyAscii == 13) {
        // Swallowed: nothing enters the box and no beep sounds.
        keyAscii = 0;
        setAnswerTag(QStringLiteral("1"));
    }
}

void frmMain::cmdHint_Click()
{
    QString box = txtKaitou->text();
    if (!TakeHint(box))
        return;
    txtKaitou->setText(box);
    setPanel(QStringLiteral("Score"), QString::number(gScore));
}

void frmMain::cmbGameMode_Click()
{
    gGameMode = cmbGameMode->currentIndex();
    if (keepReady_ && gGameMode >= kModeHayauchi) {
        kept_.mode = gGameMode;
        keepSettings();
    }
    const AnswerRow row
        = ArrangeAnswerRow(gGameMode, kClientWidth, boxLeft_, kBoxWidth, kPlateLeft);
    boxLeft_ = row.boxLeft;
    hintLeft_ = row.hintLeft;
    if (row.hintVisible >= 0)
        cmdHint->setVisible(row.hintVisible == 1);
    placeAnswerRow();
    // The results in the table belong to a game of another mode.
    mnuGameScore->setEnabled(false);
    // A new mode starts from a clean window: its own title plate, nothing of the last game.
    if (!GameRunning()) {
        clearLeftovers();
        if (gStationCount > 0)
            drawTitle();
    }
}

void frmMain::clearLeftovers()
{
    txtKaitou->clear();
    setPanel(QStringLiteral("StaPlace"), QString());
    setPanel(QStringLiteral("Time"), QStringLiteral("0"));
    setPanel(QStringLiteral("Score"), QStringLiteral("0"));
}

void frmMain::mnuGameStart_Click()
{
    StartGame(*this);
    if (platform::ending())
        return;
    cmdHint->setEnabled(GameRunning());
    if (!SubsetScope::active() && !GameRunning())
        afterGame();
}

void frmMain::mnuGameStop_Click()
{
    gStopRequest = -1;
    setGameControls(false);
}

// ---- Menu commands

void frmMain::mnuLine_Click()
{
    const QString chosen = platform::host().openFileName(dlgCommonDialog);
    if (chosen.isEmpty())
        return;
    OpenLineFile(chosen);
}

void frmMain::mnuFinder_Click()
{
    if (GameRunning())
        return;
    QString chosen;
    {
        // Read whole the first time; afterwards only files that changed are read again.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        frmFinder finder(library_.all(), this, narrator_.sayer());
        finder.markLearning(desk_.learningPaths(library_.all()));
        QApplication::restoreOverrideCursor();
        if (finder.exec() != QDialog::Accepted)
            return;
        chosen = finder.chosenPath();
    }
    // The finder is closed before the line loads: what loading may say is said over the window.
    OpenLineFile(chosen);
}

bool frmMain::OpenLineFile(const QString& path)
{
    mnuGameScore->setEnabled(false);
    // The review belongs to a game on the line played before.
    mnuGameReview->setEnabled(false);
    last_ = {};
    gLineFilePath = path;
    showLineCaption();
    const bool loaded = LoadLineFile(gLineFilePath);
    ClearScore();
    clearLeftovers();
    if (!loaded) {
        // The player has been told why; nothing of the refused file may stay on show, and the
        // start command must ask for a line rather than complain about this one.
        ForgetLineFile();
        return false;
    }
    if (!confirmAnswerable()) {
        ForgetLineFile();
        return false;
    }
    kept_.lastLine = gLineFilePath;
    keepSettings();
    narrator_.lineLoaded();
    const QString adopted = AdoptedText(desk_);
    // The new line's title replaces whatever plate the last game left behind.
    drawTitle();
    setPanel(QStringLiteral("Guide"), adopted.isEmpty() ? kLineLoadedGuide : adopted);
    return true;
}

void frmMain::showLineCaption(const QString& mark)
{
    // Ridden from the terminus, the caption says so: the plates alone may not show it.
    const QString reversed = gLearning.reversed ? QStringLiteral("（終点から）") : QString();
    setWindowTitle(GetBaseNameOf(gLineFilePath) + mark + reversed + QStringLiteral(" - ")
                   + platform::versionInfo().productName);
}

bool frmMain::confirmAnswerable()
{
    // The checker's own rules, read through the same reader as the game.
    const QStringList problems = UnanswerableStations(CheckLineFile(gLineFilePath));
    if (problems.isEmpty())
        return true;
    const QString text
        = QStringLiteral("この路線ファイルには、正しく答えられない駅があります。\r\n")
        + gLineFilePath + QStringLiteral("\r\n\r\n") + problems.join(QStringLiteral("\r\n"))
        + QStringLiteral("\r\n\r\nこのまま遊びますか？");
    return platform::messageBox(text, platform::Buttons::YesNo, platform::Icon::Exclamation)
        == platform::Answer::Yes;
}

void frmMain::ForgetLineFile()
{
    UnloadLine();
    setWindowTitle(platform::applicationTitle());
    picStationPlate->surface().clear();
    setPanel(QStringLiteral("Guide"), QStringLiteral("路線ファイルを選択してください。"));
}

void frmMain::mnuLineList_Show()
{
    desk_.refreshKnown(QDate::currentDate());
    FillLineMenu(mnuLineList, library_.catalogue(), LineLibrary::folder(), UserLineFolder(),
                 {[this](const QString& path) { OpenLineFile(path); },
                  [this](const QString& path) { return desk_.menuNote(path); },
                  [this] { mnuMyLinesFolder_Click(); }});
}

void frmMain::mnuMyLinesFolder_Click()
{
    const QString folder = UserLineFolder();
    if (!QDir().mkpath(folder)) {
        platform::messageBox(QStringLiteral("マイ路線のフォルダを作れません。\r\n") + folder,
                             platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    if (!platform::host().openDocument(folder))
        platform::messageBox(
            QStringLiteral("フォルダを開くプログラムが見つかりません。"
                           "自分の路線ファイルは次のフォルダに入れてください。\r\n")
                + folder,
            platform::Buttons::Ok, platform::Icon::Information);
}

void frmMain::mnuGameScore_Click()
{
    if (platform::ending())
        return;
    frmScoreList score(this);
    if (last_.valid)
        score.offerReview();
    score.exec();
    if (!score.reviewRequested())
        return;
    // No window opens inside a game: at the terminus the review waits until the game is over.
    if (GameRunning())
        reviewPending_ = true;
    else
        mnuGameReview_Click();
}

void frmMain::mnuSound_Click()
{
    gSoundOn = mnuSound->isChecked() ? -1 : 0;
    SetSoundRingFlag();
    kept_.soundOn = gSoundOn != 0;
    keepSettings();
}

void frmMain::mnuCorrection_Click()
{
    gLearning.correction = mnuCorrection->isChecked();
    kept_.learning = gLearning;
    keepSettings();
}

void frmMain::mnuHelpHelp_Click()
{
    const QString folder = platform::host().programFolder();
    QString page = BuildFilePath(folder, QStringLiteral("help/index.htm"));
    if (!FileExists(page)) {
        platform::messageBox(QStringLiteral("ヘルプがありません。別途入手してください。\r\n")
                                 + platform::versionInfo().authorWeb,
                             platform::Buttons::Ok, platform::Icon::Information);
        page = BuildFilePath(folder, QStringLiteral("help/index0.htm"));
        if (!FileExists(page)) {
            platform::messageBox(
                QStringLiteral("ヘルプ前紙もありません。再インストールしてください。\r\n"),
                platform::Buttons::Ok, platform::Icon::Information);
            return;
        }
    }
    page = ResolvePath(page);
    // Without a program for HTML pages the player would see nothing happen.
    if (!platform::host().openDocument(page))
        platform::messageBox(QStringLiteral("ヘルプのページを開くプログラムが見つかりません。"
                                            "ブラウザーで次のファイルを開いてください。\r\n")
                                 + page,
                             platform::Buttons::Ok, platform::Icon::Information);
}

void frmMain::mnuHelpAbout_Click()
{
    frmAbout about(this);
    about.exec();
}
