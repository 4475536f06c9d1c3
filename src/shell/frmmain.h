// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the station plate, the answer row, the status bar and the menus, and the
// handlers through which the player drives a game.

#include "dailysession.h"
#include "frmreview.h"
#include "gameloop.h"
#include "historykeeper.h"
#include "host.h"
#include "learningdesk.h"
#include "linelibrary.h"
#include "mapprojection.h"
#include "narrator.h"
#include "session.h"
#include "settings.h"
#include "sharingmenu.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QMenu;
class QPushButton;
class KanaLineEdit;
class PanelStatusBar;
class PlateWidget;

// The guide once a line is loaded.
inline const QString kLineLoadedGuide
    = QStringLiteral("ゲームをはじめるには「ゲーム｣メニューの「スタート」を選択します。");

class frmMain : public QMainWindow, public GameFrontEnd, public SessionHost
{
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    // Controls, named as in the design.
    KanaLineEdit* txtKaitou = nullptr;
    PlateWidget* picStationPlate = nullptr;
    PanelStatusBar* sbStatusBar = nullptr;
    QPushButton* cmdHint = nullptr;
    QComboBox* cmbGameMode = nullptr;
    platform::FileDialogSettings dlgCommonDialog;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileEnd = nullptr;
    QMenu* mnuLineMenu = nullptr; // 路線: open, find, map
    QAction* mnuLine = nullptr;
    QAction* mnuFinder = nullptr; // 路線を探す
    QAction* mnuMap = nullptr; // 地図: the library on a map, opened on the loaded line
    QMenu* mnuLineList = nullptr; // the library, line by line name
    QMenu* mnuGame = nullptr;
    QAction* mnuGameStart = nullptr;
    QAction* mnuGameStop = nullptr;
    QAction* mnuGameBar = nullptr;
    QAction* mnuGameScore = nullptr;
    QAction* mnuGameReview = nullptr; // the last game, station by station
    QAction* mnuGameToday = nullptr; // today's review of the due cards
    QAction* mnuLesson = nullptr; // new stations, seen before they are asked
    QAction* mnuGameProgress = nullptr; // 成績: what is known, line by line
    QAction* mnuSpeak = nullptr; // 読みを聞く (F6): the last reading again
    QMenu* mnuOption = nullptr;
    QAction* mnuSound = nullptr;
    QAction* mnuCorrection = nullptr; // the right reading after a miss
    QAction* mnuLearning = nullptr; // the learning settings window
    QAction* mnuRebuild = nullptr; // the cards made again from the answers
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;

    // Design sizes, in twips.
    static constexpr int kClientWidth = 8250;
    static constexpr int kClientHeight = 3075;
    static constexpr int kPlateLeft = 120;
    static constexpr int kBoxTop = 2280;
    static constexpr int kBoxWidth = 3135;
    static constexpr int kHintTop = 2160;
    static constexpr int kHintWidth = 975;

    // Where the answer box and the hint button stand, in twips.
    int txtKaitouLeft() const { return boxLeft_; }
    int cmdHintLeft() const { return hintLeft_; }

    // Loads the window: sound, file dialog, command line, mode list, then the guide text or
    // the autoplayed game. argumentText is the command line without the program's name.
    void Form_Load(const QString& argumentText);
    // The same with the command line already split into tokens.
    void Form_Load(const QStringList& tokens);
    // Ends the program at once, a game in progress included.
    void Form_Unload();

    // Event handlers.
    void txtKaitou_KeyPress(int& keyAscii);
    void cmdHint_Click();
    void cmbGameMode_Click();
    void mnuGameStart_Click();
    void mnuGameStop_Click();
    void mnuGameScore_Click();
    void mnuLine_Click();
    // Opens the finder over the whole library; the line chosen there loads as if opened.
    void mnuFinder_Click();
    void mnuSound_Click();
    void mnuCorrection_Click();
    // Opens the learning settings; a new direction of travel loads the line again.
    void mnuLearning_Click();
    // Plays the due cards line by line, the line with the most first, each in its own mode and
    // direction; the player's line and mode come back afterwards.
    void mnuTodayReview_Click();
    // A lesson of new stations on the loaded line (or the next line being learnt).
    void mnuLesson_Click();
    // Opens 成績 for the loaded line and mode and the whole library.
    void mnuProgress_Click();
    // Opens 地図 on the loaded line; a line chosen there is loaded as OpenLineFile loads it.
    void mnuMap_Click();
    void mnuRebuildCards_Click();
    // What today holds ("今日の復習 N 問（M 路線）: Ctrl+T", new stations), or "" for nothing.
    QString dueText();
    void mnuFileEnd_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();
    // Fills 路線一覧 from the library folders (names are read once per file).
    void mnuLineList_Show();
    // Creates the player's own line folder when needed and opens it in the file manager.
    void mnuMyLinesFolder_Click();
    // Opens the review of the last game; from there the player may play its misses again or
    // the line's weakest stations.
    void mnuGameReview_Click();

    // Plays one game over some stations of the loaded line (indices into it, in running order)
    // with the same game loop: the table holds them while the game runs and the whole line
    // again afterwards. mark follows the line's name in the caption and the report.
    // rules: which of them are asked, and whether a miss is asked again (today's review, lessons).
    void PlaySubset(const QList<int>& entries, const QString& mark, const SubsetRules& rules = {});

    // What choosing a line file does: caption, load, cleared results, the line's title on the
    // plate and the guide text. A refused file leaves no trace. True when the line loaded.
    bool OpenLineFile(const QString& path);
    // Back to the state of no line file: caption, blank plate, the guide asks for a line.
    void ForgetLineFile();
    // The loaded line's file name in the caption, with a mark (（再挑戦）) and （終点から） when
    // it is ridden from the terminus.
    void showLineCaption(const QString& mark = {});
    // True when every station of the loaded line can be answered, or the player chose to play
    // it anyway after being shown why not.
    bool confirmAnswerable();

    // What the game loop uses of the window.
    void setPanel(const QString& key, const QString& text) override;
    QString answerText() const override;
    QString answerSoFar() const override;
    void setAnswerText(const QString& text) override;
    QString answerTag() const override;
    void setAnswerTag(const QString& tag) override;
    void focusAnswer() override;
    void enterGameControls() override;
    void drawTitle() override;
    void drawPlate(std::int32_t index) override;
    bool soundMayRing(int sound) const override;
    void playSound(int sound) override;
    void waitSound(int sound) override;
    void stopCommand() override { mnuGameStop_Click(); }
    void showScore() override
    {
        if (!gSubset.seeing)
            mnuGameScore_Click();
    }
    void gameOver(bool completed) override;
    void showCorrection(std::int32_t asked, const QString& typed, bool timedOut,
                        bool retype) override;
    void lockAnswer(bool locked) override;
    void askRetype(std::int32_t asked) override;
    void readingShown(std::int32_t entry, Reveal moment) override
    {
        narrator_.readingShown(entry, moment);
    }
    // The voice of the readings (読み上げ, F6).
    Narrator& narrator() { return narrator_; }

    // What a day's session (today's review, a lesson) uses of the window.
    bool playSubset(const QList<int>& entries, const QString& mark,
                    const SubsetRules& rules) override;
    void selectMode(std::int32_t mode) override;
    bool openLine(const QString& path) override { return OpenLineFile(path); }
    void forgetLine() override { ForgetLineFile(); }
    void tell(const QString& text) override;
    void setGuide(const QString& text) override { setPanel(QStringLiteral("Guide"), text); }
    void keepChoices(bool keep) override { keepReady_ = keep; }
    std::pair<int, int> lastAskedAndRight() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Watches the whole program for a modal window of ours closing.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls(QWidget* client);
    void buildMenus();
    void connectHandlers();
    void placeAnswerRow();

    // The answer box empty and the panels at their first texts: nothing of the last game.
    void clearLeftovers();
    // The commands and controls a game keeps from the player (another game, another line, the
    // windows over the history), and gives back when it ends or is stopped.
    void setGameControls(bool running);
    // After a game has returned: what waits for the player (a history message, the review).
    void afterGame();
    // The main window active again and the answer box focused, once no modal window is open.
    void takeKeyboardBack();
    // From the end of a game until the next one starts the answer box takes no text.
    void closeAnswer(bool closed);

    // What was kept from the last run, before the command line; and after the window has loaded,
    // each choice the player makes is written back at once.
    void restoreSettings();
    // The last line again when the command line named none; one that is gone is not loaded.
    bool restoreLastLine();
    void keepSettings();

    bool lastCompleted_ = false;

    KeptSettings kept_;
    bool keepReady_ = false; // the window has loaded: what changes now is the player's choice
    QString answerTag_;
    LineLibrary library_; // every line file read once, for the menus, the finder, the map, 成績
    std::optional<MapView> mapView_; // where the map was left
    PlayedGame last_;
    Narrator narrator_;
    HistoryKeeper history_;
    LearningDesk desk_ {history_, library_};
    DailySession session_ {*this, desk_, history_};
    // Games another computer played came in: what is due today is said again (not during a
    // game, whose guide line stays).
    SharingMenu sharing_ {history_, kept_, [this] {
                              if (!GameRunning())
                                  setPanel(QStringLiteral("Guide"), dueText());
                          }};
    bool reviewPending_ = false;
    bool answerLocked_ = false; // the right reading is on the plate: typing is dropped
    bool answerClosed_ = false; // a game is over: typing is dropped until the next one starts
    int boxLeft_ = 2280;
    int hintLeft_ = 5520;
};
