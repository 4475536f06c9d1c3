// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sharingmenu.h"
#include "gameloop.h"
#include "host.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <utility>

namespace {

// True when the history's own folder lies in folder: a sync tool would then copy the SQLite
// file while it is written, and a copy made between its WAL and its main file is a broken one.
bool holdsHistory(const QString& folder)
{
    const QString shared = QDir(folder).canonicalPath();
    const QString history = QDir(HistoryFolder()).canonicalPath();
    return !shared.isEmpty() && !history.isEmpty()
        && (history == shared || history.startsWith(shared + u'/'));
}

} // namespace

SharingMenu::SharingMenu(HistoryKeeper& history, KeptSettings& kept, std::function<void()> merged)
    : history_(history), kept_(kept), merged_(std::move(merged))
{
    history_.onMerged = [this](int) {
        if (merged_)
            merged_();
    };
}

QAction* SharingMenu::addTo(QMenu* menu)
{
    auto* action = menu->addAction(QStringLiteral("記録を共有するフォルダ(&Y)..."));
    action->setObjectName(QStringLiteral("mnuShare"));
    connect(action, &QAction::triggered, this, &SharingMenu::choose);
    return action;
}

void SharingMenu::restore()
{
    history_.setSharing(kept_.sharedFolder, kept_.installation);
}

void SharingMenu::choose()
{
    if (GameRunning())
        return;
    if (!kept_.sharedFolder.isEmpty()) {
        const platform::Answer other = platform::messageBox(
            QStringLiteral("いまは次のフォルダで記録を共有しています。\r\n%1\r\n\r\n"
                           "別のフォルダに変えますか?")
                .arg(QDir::toNativeSeparators(kept_.sharedFolder)),
            platform::Buttons::YesNo, platform::Icon::Information);
        if (other == platform::Answer::No) {
            if (platform::messageBox(QStringLiteral("記録の共有をやめますか?\r\n"
                                                    "共有フォルダにある記録はそのまま残り、"
                                                    "このコンピュータの記録も消えません。"),
                                     platform::Buttons::YesNo, platform::Icon::Information)
                == platform::Answer::Yes)
                platform::messageBox(useFolder(QString()));
            return;
        }
    }
    platform::FileDialogSettings dialog;
    dialog.title = QStringLiteral("記録を共有するフォルダ");
    dialog.initialFolder = kept_.sharedFolder.isEmpty() ? QDir::homePath() : kept_.sharedFolder;
    const QString folder = platform::host().folderName(dialog);
    if (folder.isEmpty())
        return;
    const QString message = useFolder(folder);
    if (!message.isEmpty())
        platform::messageBox(message);
}

QString SharingMenu::useFolder(const QString& chosen)
{
    const QString folder = chosen.isEmpty() ? QString() : QFileInfo(chosen).absoluteFilePath();
    if (!folder.isEmpty() && holdsHistory(folder)) {
        platform::messageBox(
            QStringLiteral("このフォルダには遊んだ記録のファイル (history.sqlite) そのものが"
                           "入っているので、共有には使えません。同期ツールはデータベースを"
                           "書き込みの途中で写すことがあり、記録が壊れるおそれがあります。"
                           "別のフォルダを選んでください。\r\n%1")
                .arg(QDir::toNativeSeparators(folder)),
            platform::Buttons::Ok, platform::Icon::Exclamation);
        return {};
    }
    kept_.sharedFolder = folder;
    WriteKeptSettings(kept_);
    history_.setSharing(folder, kept_.installation);
    if (folder.isEmpty())
        return QStringLiteral("記録の共有をやめました。");
    // The first share: every game of this computer goes into the folder, the others' come in.
    history_.get();
    const HistoryKeeper::ShareReport r = history_.lastShare();
    if (r.merged > 0 && merged_)
        merged_();
    if (!r.reachable)
        return QStringLiteral("共有フォルダを %1 にしましたが、いまは書き込めません。"
                              "書き込めるようになったら、次のゲームのあとで記録を書き込みます。")
            .arg(QDir::toNativeSeparators(folder));
    return QStringLiteral("共有フォルダを %1 にしました。\r\nこのコンピュータの記録 %2 ゲームを"
                          "書き込み、ほかのコンピュータの記録 %3 ゲームを取り込みました。")
        .arg(QDir::toNativeSeparators(folder))
        .arg(r.written)
        .arg(r.merged);
}
