// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls and menus as designed: geometry in twips, names as in the design.
#include "frmmain.h"
#include "gamestate.h"
#include "kanalineedit.h"
#include "panelstatusbar.h"
#include "placement.h"
#include "platewidget.h"
#include "twips.h"

#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

namespace {

QAction* namedAction(QAction* action, const char* name)
{
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(platform::applicationTitle());
    QIcon icon;
    for (const int size : {32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tabidori-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
    // Fixed single border: minimise and close, no maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twips::size(kClientWidth, kClientHeight));
    setCentralWidget(client);
    buildControls(client);
    buildMenus();
    connectHandlers();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // At a large scale factor the design position would put an edge past the screen.
    platform::PlaceOnScreen(this, QPoint(twips::toPx(1560), twips::toPx(2145)));
    qApp->installEventFilter(this);
}

void frmMain::buildControls(QWidget* client)
{
    txtKaitou = new KanaLineEdit(client);
    txtKaitou->setObjectName(QStringLiteral("txtKaitou"));
    txtKaitou->setGeometry(twips::rect(2280, kBoxTop, kBoxWidth, 270));
    txtKaitou->setAttribute(Qt::WA_InputMethodEnabled, true);

    picStationPlate = new PlateWidget(client);
    picStationPlate->setObjectName(QStringLiteral("picStationPlate"));
    picStationPlate->setGeometry(twips::rect(kPlateLeft, 120, 8000, 2000));
    picStationPlate->setFocusPolicy(Qt::NoFocus);

    sbStatusBar = new PanelStatusBar(client);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->setGeometry(twips::rect(0, 2700, 8250, 375));
    using S = PanelStatusBar::Sizing;
    // Labels carry full-width colons.
    sbStatusBar->addPanel({"Guide", {}, {}, 5050, 400, S::Spring});
    sbStatusBar->addPanel({"StaLabel", QStringLiteral("駅："), {}, 400, 400, S::Fixed});
    sbStatusBar->addPanel({"StaPlace", {}, QStringLiteral("駅"), 405, 400, S::Contents});
    sbStatusBar->addPanel({"TimeLabel", QStringLiteral("時間："), {}, 600, 600, S::Fixed});
    sbStatusBar->addPanel(
        {"Time", QStringLiteral("0"), QStringLiteral("残り時間"), 405, 400, S::Contents});
    sbStatusBar->addPanel({"ScoreLabel", QStringLiteral("得点："), {}, 600, 600, S::Fixed});
    sbStatusBar->addPanel(
        {"Score", QStringLiteral("0"), QStringLiteral("得点"), 405, 400, S::Contents});

    cmdHint = new QPushButton(QStringLiteral("ヒント(&T)"), client);
    cmdHint->setObjectName(QStringLiteral("cmdHint"));
    cmdHint->setGeometry(twips::rect(5520, kHintTop, kHintWidth, 495));
    cmdHint->setVisible(false);
    // A hint only means something while a question is asked.
    cmdHint->setEnabled(false);

    cmbGameMode = new QComboBox(client);
    cmbGameMode->setObjectName(QStringLiteral("cmbGameMode"));
    cmbGameMode->setGeometry(twips::rect(6840, 2280, 1335, 300));
    cmbGameMode->setEditable(false);

    setTabOrder(txtKaitou, cmdHint);
    setTabOrder(cmdHint, cmbGameMode);
}

void frmMain::buildMenus()
{
    QMenuBar* bar = menuBar();

    mnuFile = bar->addMenu(QStringLiteral("ファイル(&F)"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileEnd = namedAction(mnuFile->addAction(QStringLiteral("終了(&E)")), "mnuFileEnd");

    // Opening a line file, finding a line and the map: everything that chooses a line.
    mnuLineMenu = bar->addMenu(QStringLiteral("路線(&L)"));
    mnuLineMenu->setObjectName(QStringLiteral("mnuLineMenu"));
    mnuLine = namedAction(mnuLineMenu->addAction(QStringLiteral("路線ファイルを開く(&O)...")),
                          "mnuLine");
    mnuLine->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFinder
        = namedAction(mnuLineMenu->addAction(QStringLiteral("路線を探す(&F)...")), "mnuFinder");
    mnuFinder->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuMap = namedAction(mnuLineMenu->addAction(QStringLiteral("地図(&M)...")), "mnuMap");
    mnuMap->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    // The library by the lines' own names; filled each time it opens.
    mnuLineList = bar->addMenu(QStringLiteral("路線一覧(&R)"));
    mnuLineList->setObjectName(QStringLiteral("mnuLineList"));

    mnuGame = bar->addMenu(QStringLiteral("ゲーム(&G)"));
    mnuGame->setObjectName(QStringLiteral("mnuGame"));
    mnuGameStart = namedAction(mnuGame->addAction(QStringLiteral("スタート(&S)")), "mnuGameStart");
    mnuGameStart->setShortcut(QKeySequence(Qt::Key_F5));
    mnuGameStop = namedAction(mnuGame->addAction(QStringLiteral("中断(&S)")), "mnuGameStop");
    mnuGameStop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuGameStop->setEnabled(false);
    mnuGameBar = namedAction(mnuGame->addSeparator(), "mnuGameBar");
    mnuGameScore
        = namedAction(mnuGame->addAction(QStringLiteral("スコア詳細(&S)")), "mnuGameScore");
    mnuGameScore->setEnabled(false);
    mnuGameReview = namedAction(mnuGame->addAction(QStringLiteral("復習(&R)")), "mnuGameReview");
    mnuGameReview->setEnabled(false);
    mnuGameToday
        = namedAction(mnuGame->addAction(QStringLiteral("今日の復習(&T)")), "mnuGameToday");
    mnuGameToday->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuLesson
        = namedAction(mnuGame->addAction(QStringLiteral("新しい駅を覚える(&N)")), "mnuLesson");
    mnuLesson->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuGameProgress
        = namedAction(mnuGame->addAction(QStringLiteral("成績(&P)...")), "mnuGameProgress");
    mnuSpeak = narrator_.addTo(mnuGame);

    mnuOption = bar->addMenu(QStringLiteral("オプション(&O)"));
    mnuOption->setObjectName(QStringLiteral("mnuOption"));
    mnuSound = namedAction(mnuOption->addAction(QStringLiteral("サウンド(&S)")), "mnuSound");
    mnuSound->setCheckable(true);
    mnuSound->setChecked(true);
    mnuCorrection = namedAction(
        mnuOption->addAction(QStringLiteral("間違えたら正しい読みを表示(&A)")), "mnuCorrection");
    mnuCorrection->setCheckable(true);
    mnuCorrection->setChecked(gLearning.correction);
    mnuLearning
        = namedAction(mnuOption->addAction(QStringLiteral("学習の設定(&L)...")), "mnuLearning");
    mnuRebuild = namedAction(mnuOption->addAction(QStringLiteral("学習の記録を作り直す(&B)")),
                             "mnuRebuild");
    sharing_.addTo(mnuOption);

    mnuHelp = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpHelp = namedAction(mnuHelp->addAction(QStringLiteral("ヘルプ(&H)")), "mnuHelpHelp");
    mnuHelpAbout = namedAction(mnuHelp->addAction(QStringLiteral("tabidoriについて(&A)...")),
                               "mnuHelpAbout");
}

void frmMain::connectHandlers()
{
    txtKaitou->keyPress = [this](int& keyAscii) { txtKaitou_KeyPress(keyAscii); };
    connect(cmdHint, &QPushButton::clicked, this, &frmMain::cmdHint_Click);
    connect(cmbGameMode, &QComboBox::currentIndexChanged, this, &frmMain::cmbGameMode_Click);
    connect(mnuGameStart, &QAction::triggered, this, &frmMain::mnuGameStart_Click);
    connect(mnuGameStop, &QAction::triggered, this, &frmMain::mnuGameStop_Click);
    connect(mnuGameScore, &QAction::triggered, this, &frmMain::mnuGameScore_Click);
    connect(mnuGameReview, &QAction::triggered, this, &frmMain::mnuGameReview_Click);
    connect(mnuLine, &QAction::triggered, this, &frmMain::mnuLine_Click);
    connect(mnuFinder, &QAction::triggered, this, &frmMain::mnuFinder_Click);
    connect(mnuMap, &QAction::triggered, this, &frmMain::mnuMap_Click);
    connect(mnuLineList, &QMenu::aboutToShow, this, &frmMain::mnuLineList_Show);
    // A checkable action inverts its own check mark before it reports the trigger.
    connect(mnuSound, &QAction::triggered, this, &frmMain::mnuSound_Click);
    connect(mnuCorrection, &QAction::triggered, this, &frmMain::mnuCorrection_Click);
    connect(mnuLearning, &QAction::triggered, this, &frmMain::mnuLearning_Click);
    connect(mnuGameToday, &QAction::triggered, this, &frmMain::mnuTodayReview_Click);
    connect(mnuLesson, &QAction::triggered, this, &frmMain::mnuLesson_Click);
    connect(mnuGameProgress, &QAction::triggered, this, &frmMain::mnuProgress_Click);
    connect(mnuRebuild, &QAction::triggered, this, &frmMain::mnuRebuildCards_Click);
    connect(mnuFileEnd, &QAction::triggered, this, &frmMain::mnuFileEnd_Click);
    connect(mnuHelpHelp, &QAction::triggered, this, &frmMain::mnuHelpHelp_Click);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::mnuHelpAbout_Click);
}

void frmMain::placeAnswerRow()
{
    txtKaitou->move(twips::toPx(boxLeft_), twips::toPx(kBoxTop));
    cmdHint->move(twips::toPx(hintLeft_), twips::toPx(kHintTop));
}
