// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "historykeeper.h"

#include <utility>

HistoryKeeper::HistoryKeeper(QString folder) : folder_(std::move(folder)) { }

HistoryKeeper::~HistoryKeeper() = default;

void HistoryKeeper::tell(const QString& key, const QString& text)
{
    if (told_.contains(key))
        return;
    told_.insert(key);
    message_ = message_.isEmpty() ? text : message_ + QStringLiteral("\r\n\r\n") + text;
}

QString HistoryKeeper::reason(bool atEnd) const
{
    switch (history_ ? history_->failure() : History::Failure::None) {
    case History::Failure::Busy:
        return QStringLiteral("別の Tabi Dori などが記録のファイルを使っています。");
    case History::Failure::DiskFull:
        // At the end the games still pending are lost: only the earlier ones come back.
        return atEnd ? QStringLiteral("ディスクがいっぱいです。")
                     : QStringLiteral("ディスクがいっぱいです。空きを作れば、これまでの記録も"
                                      "そのまま戻ります。");
    case History::Failure::ReadOnly:
        return QStringLiteral("記録のファイルかそのフォルダに書き込めません。");
    case History::Failure::IoError:
    case History::Failure::CannotOpen:
        return QStringLiteral("記録のファイルを読み書きできません (ディスクのエラー)。");
    case History::Failure::Newer:
        return QStringLiteral("記録のファイルは新しいバージョンの Tabi Dori のもので、"
                              "このバージョンでは書き込みません。");
    default:
        return QStringLiteral("記録のファイルに書き込めません。");
    }
}

void HistoryKeeper::tellOpened(History::Opened opened)
{
    const QString path = history_->path();
    switch (opened) {
    case History::Opened::Ok:
        break;
    case History::Opened::MovedAside:
        tell(QStringLiteral("moved"),
             QStringLiteral("遊んだ記録が読めなかったので、別の名前で残して"
                            "新しい記録を始めました。\r\n")
                 + history_->movedTo());
        break;
    case History::Opened::ForeignMovedAside:
        tell(QStringLiteral("foreign"),
             QStringLiteral("遊んだ記録の場所に Tabi Dori のものではないデータベースが"
                            "あったので、別の名前で残して新しい記録を始めました。\r\n")
                 + history_->movedTo());
        break;
    case History::Opened::Newer:
        tell(QStringLiteral("newer"),
             QStringLiteral("遊んだ記録は新しいバージョンの Tabi Dori で作られています。"
                            "これまでの記録は見られますが、このバージョンで遊んだゲームは"
                            "書き込まず、終了するときに失われます。\r\n")
                 + path);
        break;
    case History::Opened::Unavailable:
        // The file is left exactly as it is; the next game tries again.
        tell(QStringLiteral("unavailable-%1").arg(int(history_->failure())),
             QStringLiteral("遊んだ記録をいまは読み書きできません。ファイルはそのまま残して"
                            "あり、次のゲームのあとでもう一度試します。\r\n")
                 + reason() + QStringLiteral("\r\n") + path);
        break;
    case History::Opened::Unwritable:
        tell(QStringLiteral("unwritable"),
             QStringLiteral("遊んだ記録を保存できません。記録なしでゲームを続けます。\r\n")
                 + folder_);
        break;
    }
}

History* HistoryKeeper::get()
{
    if (history_ && history_->isOpen())
        return history_.get();
    if (givenUp_)
        return nullptr;
    if (folder_.isEmpty())
        folder_ = HistoryFolder();
    history_ = std::make_unique<History>();
    history_->setRetention(retention_);
    // Games are written on the window's thread: a lock another copy holds is waited for only
    // briefly, and the game stays pending (whole) until the next one or the end.
    history_->setBusyTimeout(kGameBusyTimeoutMs);
    const History::Opened opened = history_->open(folder_);
    tellOpened(opened);
    givenUp_ = opened == History::Opened::Unwritable;
    return history_->isOpen() ? history_.get() : nullptr;
}

void HistoryKeeper::setRetention(double retention)
{
    retention_ = retention;
    if (history_)
        history_->setRetention(retention);
}

bool HistoryKeeper::flush()
{
    History* h = get();
    if (!h)
        return pending_.isEmpty();
    while (!pending_.isEmpty()) {
        if (!h->record(pending_.first()))
            return false;
        pending_.removeFirst();
    }
    return true;
}

bool HistoryKeeper::record(const GameRecord& game)
{
    pending_.append(game);
    if (flush())
        return true;
    // Without any history this run (a folder that cannot be made) the player has been told,
    // and there is nothing to keep the game for.
    if (givenUp_) {
        pending_.clear();
        return false;
    }
    // A newer version's history was announced as such: nothing more to say until the end.
    if (history_ && history_->isReadOnly())
        return false;
    tell(QStringLiteral("pending"),
         QStringLiteral("このゲームの記録をまだ保存できていません。保存できるようになったら、"
                        "次のゲームのあとで一緒に保存します。\r\n")
             + reason());
    return false;
}

QString HistoryKeeper::takeMessage()
{
    return std::exchange(message_, QString());
}

QString HistoryKeeper::finish()
{
    // At the end the window is gone: the last try may wait for the lock a little longer.
    if (history_ && !pending_.isEmpty())
        history_->setBusyTimeout(kEndBusyTimeoutMs);
    if (pending_.isEmpty() || flush())
        return {};
    const QString lost = QStringLiteral("保存できなかった %1 ゲームの記録は失われました。\r\n")
                             .arg(pending_.size())
        + reason(true);
    pending_.clear();
    return lost;
}
