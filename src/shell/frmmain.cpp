#include "frmmain.h"
#include "panelstatusbar.h"
#include "platewidget.h"
#include "twips.h"

#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
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
    setWindowTitle(QStringLiteral("TabiDori"));
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
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(twips::toPx(1560), twips::toPx(2145));
}

void frmMain::buildControls(QWidget* client)
{
    txtKaitou = new QLineEdit(client);
    txtKaitou->setObjectName(QStringLiteral("txtKaitou"));
    txtKaitou->setGeometry(twips::rect(2280, 2280, 3135, 270));
    txtKaitou->setAttribute(Qt::WA_InputMethodEnabled, true);

    picStationPlate = new PlateWidget(client);
    picStationPlate->setObjectName(QStringLiteral("picStationPlate"));
    picStationPlate->setGeometry(twips::rect(120, 120, 8000, 2000));
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
    cmdHint->setGeometry(twips::rect(5520, 2160, 975, 495));
    cmdHint->setVisible(false);

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

    // A command on the menu bar itself, without a submenu.
    mnuLine = namedAction(bar->addAction(QStringLiteral("路線(&L)...")), "mnuLine");

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

    mnuOption = bar->addMenu(QStringLiteral("オプション(&O)"));
    mnuOption->setObjectName(QStringLiteral("mnuOption"));
    mnuSound = namedAction(mnuOption->addAction(QStringLiteral("サウンド(&S)")), "mnuSound");
    mnuSound->setCheckable(true);
    mnuSound->setChecked(true);

    mnuHelp = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpHelp = namedAction(mnuHelp->addAction(QStringLiteral("ヘルプ(&H)")), "mnuHelpHelp");
    mnuHelpAbout = namedAction(mnuHelp->addAction(QStringLiteral("tabidoriについて(&A)...")),
                               "mnuHelpAbout");
}
