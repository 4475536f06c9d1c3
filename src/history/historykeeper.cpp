// SPDX-License-Identifier: GPL-3.0-or-later
#include "historykeeper.h"

#include <utility>

HistoryKeeper::HistoryKeeper(QString folder) : folder_(std::move(folder)) { }

HistoryKeeper::~HistoryKeeper() = default;

History* HistoryKeeper::get()
{
    if (tried_)
        return history_ && history_->isOpen() ? history_.get() : nullptr;
    tried_ = true;
    if (folder_.isEmpty())
        folder_ = HistoryFolder();
    history_ = std::make_unique<History>();
    switch (history_->open(folder_)) {
    case History::Opened::Ok:
        break;
    case History::Opened::MovedAside:
        message_ = QStringLiteral("遊んだ記録が読めなかったので、別の名前で残して"
                                  "新しい記録を始めました。\r\n")
            + history_->movedTo();
        break;
    case History::Opened::Unwritable:
        message_ = QStringLiteral("遊んだ記録を保存できません。記録なしでゲームを続けます。"
                                  "\r\n")
            + folder_;
        break;
    }
    return history_->isOpen() ? history_.get() : nullptr;
}

bool HistoryKeeper::record(const GameRecord& game)
{
    History* h = get();
    if (!h)
        return false; // already told: the history cannot be kept at all
    if (h->record(game))
        return true;
    if (!writeFailureTold_) {
        writeFailureTold_ = true;
        const QString told = QStringLiteral("このゲームの記録を保存できませんでした。\r\n")
            + h->path() + QStringLiteral("\r\n") + h->problem();
        message_ = message_.isEmpty() ? told : message_ + QStringLiteral("\r\n\r\n") + told;
    }
    return false;
}

QString HistoryKeeper::takeMessage()
{
    return std::exchange(message_, QString());
}
