// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// オプション → 記録を共有するフォルダ: the folder through which one learner's history is
// shared between computers, chosen, changed or given up, and kept in the settings.

#include "historykeeper.h"
#include "settings.h"

#include <QObject>

#include <functional>

class QAction;
class QMenu;

class SharingMenu : public QObject
{
    Q_OBJECT
public:
    // merged is told when games of another computer came in while the program ran.
    SharingMenu(HistoryKeeper& history, KeptSettings& kept, std::function<void()> merged);

    QAction* addTo(QMenu* menu);
    // The folder kept in the settings, shared from the history's first use.
    void restore();
    // The menu's question and the folder dialog.
    void choose();
    // Shares through folder from now on ("" stops sharing); the message for the player, or ""
    // when the folder cannot be used and the player was told why.
    QString useFolder(const QString& folder);

private:
    HistoryKeeper& history_;
    KeptSettings& kept_;
    std::function<void()> merged_;
};
