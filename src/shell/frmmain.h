#pragma once
// The main window: the station plate, the answer row, the status bar and the menus.

#include <QMainWindow>

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class PanelStatusBar;
class PlateWidget;

class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);

    // Controls, named as in the design.
    QLineEdit* txtKaitou = nullptr;
    PlateWidget* picStationPlate = nullptr;
    PanelStatusBar* sbStatusBar = nullptr;
    QPushButton* cmdHint = nullptr;
    QComboBox* cmbGameMode = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileEnd = nullptr;
    QAction* mnuLine = nullptr;
    QMenu* mnuGame = nullptr;
    QAction* mnuGameStart = nullptr;
    QAction* mnuGameStop = nullptr;
    QAction* mnuGameBar = nullptr;
    QAction* mnuGameScore = nullptr;
    QMenu* mnuOption = nullptr;
    QAction* mnuSound = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;

    // Design sizes, in twips.
    static constexpr int kClientWidth = 8250;
    static constexpr int kClientHeight = 3075;

private:
    void buildControls(QWidget* client);
    void buildMenus();
};
