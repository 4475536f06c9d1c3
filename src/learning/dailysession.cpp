// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "dailysession.h"
#include "gamestate.h"
#include "host.h"
#include "stationtable.h"

#include <QFileInfo>

namespace {

const QString kTodayMark = QStringLiteral("（今日の復習）");
const QString kLessonMark = QStringLiteral("（新しい駅）");

} // namespace

QString DailyQueueText(const DailyQueue& queue)
{
    const QString later = queue.waiting > 0
        ? QStringLiteral("・ほか %1 問は明日以降").arg(queue.waiting)
        : QString();
    if (queue.due > 0 && queue.newStations > 0)
        return QStringLiteral("今日の復習 %1 問%2・新しい駅 %3（%4）: Ctrl+T / Ctrl+N")
            .arg(queue.due)
            .arg(later.isEmpty() ? QString() : u'（' + later.mid(1) + u'）')
            .arg(queue.newStations)
            .arg(queue.newLine);
    if (queue.due > 0)
        return QStringLiteral("今日の復習 %1 問（%2 路線%3）: Ctrl+T")
            .arg(queue.due)
            .arg(queue.dueLines)
            .arg(later);
    if (queue.newStations > 0)
        return QStringLiteral("新しい駅 %1（%2）: Ctrl+N")
            .arg(queue.newStations)
            .arg(queue.newLine);
    return {};
}

DailySession::DailySession(SessionHost& host, LearningDesk& desk, HistoryKeeper& history)
    : host_(host), desk_(desk), history_(history)
{ }

// One line's due cards: the line loaded the way they were learnt, the stations played as a
// game of their own. False when the line cannot be had as it was (gone, or changed since).
DailySession::Played DailySession::reviewLine(const DueLine& line)
{
    const QString file = desk_.fileOfLine(line.lineFile, line.lineKey);
    if (file.isEmpty())
        return Played::Missing;
    gLearning.reversed = line.reversed;
    gLineFilePath = file;
    if (!LoadLineFile(gLineFilePath) || CurrentLineKey() != line.lineKey)
        return Played::Missing;
    QList<MissedStation> stations;
    for (const StoredCard& c : line.cards)
        stations.append({c.station, c.reading, 0});
    const QList<int> entries = WeakEntries(stations, line.mode);
    if (entries.isEmpty())
        return Played::Missing;
    host_.selectMode(line.mode);
    // Exactly the due cards are asked; a miss comes back at the end until it is right once.
    return host_.playSubset(entries, kTodayMark, {AskedEntries(stations), true}) ? Played::Completed
                                                                                 : Played::Stopped;
}

void DailySession::todayReview()
{
    const int reviewLimit = gLearning.reviewLimit;
    History* h = history_.get();
    if (!h) {
        host_.tell(QStringLiteral("遊んだ記録が使えないので、今日の復習はできません。"));
        return;
    }
    const QDate today = QDate::currentDate();
    int waiting = 0;
    QList<DueLine> due = desk_.todayReview(reviewLimit, today, &waiting);
    if (desk_.adoptMovedLines(due))
        due = desk_.todayReview(reviewLimit, today, &waiting);
    if (due.isEmpty()) {
        host_.tell(QStringLiteral("今日の復習はもうありません。"));
        return;
    }
    // The player's line, mode and direction come back afterwards; none of it is kept.
    const QString before = gLineFilePath;
    const std::int32_t mode = gGameMode;
    const bool reversed = gLearning.reversed;
    host_.keepChoices(false);
    QStringList missing;
    int asked = 0, right = 0;
    bool completed = true;
    for (const DueLine& line : due) {
        const Played played = reviewLine(line);
        if (played == Played::Missing) {
            missing << line.lineName;
            continue;
        }
        const auto [a, r] = host_.lastAskedAndRight();
        asked += a;
        right += r;
        completed = played == Played::Completed && !platform::ending();
        if (!completed)
            break;
    }
    if (platform::ending())
        return;
    gLearning.reversed = reversed;
    host_.selectMode(mode);
    if (before.isEmpty() || !host_.openLine(before))
        host_.forgetLine();
    host_.keepChoices(true);
    if (!missing.isEmpty())
        host_.tell(QStringLiteral(
                       "次の路線は、路線ファイルが見つからないか変わったので復習できませんでした。"
                       "\r\n")
                   + missing.join(QStringLiteral("\r\n")));
    // What was done, and what comes: a review answered to the end meets the day's goal.
    if (asked == 0 || !completed) {
        host_.setGuide(DailyQueueText(desk_.dailyQueue(gLearning.newPerDay, reviewLimit, today)));
        return;
    }
    if (h->dueSummary(today).cards == 0)
        h->markReviewCleared(today);
    host_.setGuide(QStringLiteral("今日の復習が終わりました（%1 問・正解 %2）。明日は %3 問です。")
                       .arg(asked)
                       .arg(right)
                       .arg(std::min(h->dueSummary(today.addDays(1)).cards, reviewLimit)));
}

void DailySession::lesson()
{
    const int perDay = gLearning.newPerDay;
    History* h = history_.get();
    if (!h) {
        host_.tell(QStringLiteral("遊んだ記録が使えないので、新しい駅を覚えることはできません。"));
        return;
    }
    const QDate today = QDate::currentDate();
    // Readings are learnt in 読み当て; in 駅当て the links between stations already known.
    if (gGameMode != kModeEkiate)
        host_.selectMode(kModeYomiate);
    LessonPlan plan = desk_.planLesson(perDay, today);
    if (plan.asked.isEmpty() && (gStationCount == 0 || plan.allowedToday > 0)) {
        // This line has nothing new left (or none is loaded): the next line of the list.
        const DailyQueue queue = desk_.dailyQueue(perDay, 0, today);
        if (!queue.newLineFile.isEmpty() && host_.openLine(queue.newLineFile)) {
            host_.selectMode(kModeYomiate);
            plan = desk_.planLesson(perDay, today);
        }
    }
    if (gStationCount == 0) {
        host_.tell(QStringLiteral("覚える路線の路線ファイルを選択してください。"));
        return;
    }
    if (plan.allowedToday == 0) {
        host_.tell(QStringLiteral("今日の新しい駅はここまでです（1日 %1 駅）。"
                                  "明日また覚えましょう。")
                       .arg(perDay));
        return;
    }
    if (plan.asked.isEmpty()) {
        host_.tell(gGameMode == kModeEkiate
                       ? QStringLiteral("駅当てで覚える駅がありません。先に読み当てで駅の読みを"
                                        "覚えると、次の駅を覚えられます。")
                       : QStringLiteral("この路線の駅は、すべて覚え始めています。"));
        return;
    }
    desk_.joinLearningList();
    // First each new station is seen with its reading and typed once; then recalled, a miss
    // coming back until it is right once. Only the recall makes the cards.
    if (!host_.playSubset(plan.entries, kLessonMark, {plan.asked, false, true, true}))
        return;
    if (!host_.playSubset(plan.entries, kLessonMark, {plan.asked, true, false, true}))
        return;
    const QString next = DailyQueueText(desk_.dailyQueue(perDay, gLearning.reviewLimit, today));
    host_.setGuide(QStringLiteral("新しい駅を %1 駅覚え始めました。").arg(plan.asked.size())
                   + (next.isEmpty() ? QString() : u'　' + next));
}
