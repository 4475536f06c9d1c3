// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "historykeeper.h"
#include "gameloop.h"
#include "journal.h"
#include "logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <utility>

namespace {

// Games written to the journal in one go (a history of years the first time it is shared).
constexpr int kJournalBatch = 2000;
// A sync tool writes a file in several steps: the merge waits for it to be quiet this long.
constexpr int kSettleMs = 1000;
// The most of a journal read at once: some 30,000 games.
constexpr qint64 kReadPiece = 32 << 20;

} // namespace

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
    history_->setInstallation(installation_);
    // Games are written on the window's thread: a lock another copy holds is waited for only
    // briefly, and the game stays pending (whole) until the next one or the end.
    history_->setBusyTimeout(kGameBusyTimeoutMs);
    const History::Opened opened = history_->open(folder_);
    tellOpened(opened);
    givenUp_ = opened == History::Opened::Unwritable;
    if (!history_->isOpen())
        return nullptr;
    // What the other computers played while this one was off comes in first.
    if (!sharedFolder_.isEmpty())
        share();
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
    if (flush()) {
        if (!sharedFolder_.isEmpty())
            share();
        return true;
    }
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

void HistoryKeeper::setSharing(const QString& folder, const QString& installation)
{
    const bool changed = folder != sharedFolder_;
    sharedFolder_ = folder;
    installation_ = installation;
    if (history_)
        history_->setInstallation(installation);
    if (folder.isEmpty()) {
        watcher_.reset();
        settle_.reset();
        return;
    }
    if (changed && history_ && history_->isOpen())
        share();
}

void HistoryKeeper::writeJournal(History& h)
{
    // A new folder (or the first) gets every game played here; one already there is not
    // written again.
    if (!h.useSharedFolder(sharedFolder_, installation_))
        return;
    const QString path = journal::journalPath(sharedFolder_, installation_);
    for (;;) {
        const QList<GameRecord> games = h.unjournaledGames(kJournalBatch);
        if (games.isEmpty())
            return;
        QString why;
        if (!journal::append(path, games, &why)) {
            // Unreachable (a share offline, a stick pulled out): the games stay marked as not
            // written and go with the next try.
            report_.reachable = false;
            qCWarning(logHistory).noquote() << "journal" << path << why;
            tellUnreachable();
            return;
        }
        QStringList uids;
        for (const GameRecord& g : games)
            uids << g.uid;
        if (!h.markJournaled(uids))
            return; // written again next time: the other computers take each game once
        report_.written += int(games.size());
        if (games.size() < kJournalBatch)
            return;
    }
}

void HistoryKeeper::readJournals(History& h)
{
    // Our own journal is read too: its games are known (a line or two after each game), but a
    // second computer given a copy of this one's settings writes to it as well, and its games
    // would otherwise never come in.
    for (const QString& path : journal::journalFiles(sharedFolder_)) {
        const QFileInfo info(path);
        const QString modified = info.lastModified().toString(Qt::ISODateWithMs);
        const History::JournalMark mark = h.journalMark(path);
        if (mark.size == info.size() && mark.modified == modified)
            continue; // unchanged since it was read
        QFile file(path);
        if (!info.isFile() || !file.open(QIODevice::ReadOnly))
            continue;
        // A journal only grows: what was read before is not read again, unless the file is
        // another one now (shorter, or not ending a line where the last read ended).
        qint64 from = mark.consumed;
        if (from > info.size() || (from > 0 && (!file.seek(from - 1) || file.read(1) != "\n")))
            from = 0;
        // A bounded piece at a time: whatever lies in the folder, memory stays small.
        file.seek(from);
        const QByteArray bytes = file.read(kReadPiece);
        const journal::ReadResult r = journal::read(bytes);
        qint64 consumed = from + r.consumed;
        if (r.consumed == 0 && bytes.size() == kReadPiece) {
            // One line longer than any game: passed over to its end.
            ++report_.malformed;
            for (QByteArray piece; !file.atEnd();) {
                piece = file.read(kReadPiece);
                const qsizetype end = piece.indexOf('\n');
                consumed = file.pos() - piece.size() + (end < 0 ? piece.size() : end + 1);
                if (end >= 0)
                    break;
            }
        }
        // A line of a later version is read again once this program is one (a later version
        // than this one takes it then).
        if (r.firstNewer >= 0)
            consumed = from + r.firstNewer;
        ++report_.files;
        report_.torn += r.torn;
        report_.newer += r.newer;
        report_.malformed += r.malformed;
        const int merged = r.games.isEmpty() ? 0 : h.importGames(r.games);
        if (merged < 0)
            return; // busy or failing: the file is read again next time
        report_.merged += merged;
        // More than a piece: the rest in a moment, the window free meanwhile. A file with lines
        // of a later version is looked at again each time (from those lines on).
        const bool more = consumed < info.size() && bytes.size() == kReadPiece;
        h.setJournalMark(path, {more || r.newer > 0 ? -1 : info.size(), consumed, modified});
        if (more && settle_)
            settle_->start();
    }
    if (report_.newer > 0)
        tell(QStringLiteral("share-newer"),
             QStringLiteral("共有フォルダに、新しいバージョンの Tabi Dori が書いた記録があります。"
                            "このバージョンでは読めないので読み飛ばしました。Tabi Dori を新しく"
                            "すると取り込まれます。"));
}

void HistoryKeeper::tellUnreachable()
{
    tell(QStringLiteral("share-unreachable"),
         QStringLiteral("記録を共有するフォルダに、いまは書き込めません。このコンピュータの"
                        "記録はそのまま残してあり、次のゲームのあとでもう一度試します。\r\n")
             + sharedFolder_);
}

int HistoryKeeper::share()
{
    report_ = {};
    History* h = history_ && history_->isOpen() ? history_.get() : nullptr;
    if (sharedFolder_.isEmpty() || !h || h->isReadOnly())
        return 0;
    if (!QFileInfo(sharedFolder_).isDir()) {
        report_.reachable = false;
        tellUnreachable();
        return 0;
    }
    watch();
    writeJournal(*h);
    readJournals(*h);
    watch(); // the folders the journals just made
    if (report_.merged > 0)
        qCInfo(logHistory) << "merged" << report_.merged << "games from" << report_.files
                           << "journal files";
    return report_.merged;
}

void HistoryKeeper::watch()
{
    if (!watcher_) {
        watcher_ = std::make_unique<QFileSystemWatcher>();
        settle_ = std::make_unique<QTimer>();
        settle_->setSingleShot(true);
        settle_->setInterval(kSettleMs);
        QObject::connect(settle_.get(), &QTimer::timeout, [this] {
            // Not while a question waits for its answer: a large merge would freeze the plate
            // and the clock. Between questions, and while the score window is open after a
            // game (the game is still running then), it goes ahead.
            if (QuestionAsked()) {
                settle_->start();
                return;
            }
            const int merged = share();
            if (merged > 0 && onMerged)
                onMerged(merged);
        });
        const auto later = [this] { settle_->start(); };
        QObject::connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, later);
        QObject::connect(watcher_.get(), &QFileSystemWatcher::fileChanged, later);
    }
    // The shared folder (ours appears in it when another computer's games first arrive), the
    // folder of ours, each installation's folder in it (a new computer's appears) and each
    // journal (it grows).
    QStringList paths {sharedFolder_, journal::appFolder(sharedFolder_)};
    const QDir app(paths.last());
    for (const QString& dir : app.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        paths << app.filePath(dir);
    paths << journal::journalFiles(sharedFolder_);
    QStringList missing;
    const QStringList watched = watcher_->files() + watcher_->directories();
    for (const QString& p : paths) {
        if (!watched.contains(p) && QFileInfo::exists(p))
            missing << p;
    }
    if (!missing.isEmpty())
        watcher_->addPaths(missing);
}
