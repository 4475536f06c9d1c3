// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gameloop.h"
#include "gamestate.h"
#include "host.h"
#include "lib_util.h"
#include "questionlog.h"
#include "stationtable.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>

namespace {

bool running = false;
bool startPending = false;
bool asking = false; // a question's countdown runs

void refuse(const QString& text)
{
    platform::host().beep();
    platform::messageBox(text, platform::Buttons::Ok, platform::Icon::Exclamation);
}

QString stationPlace(std::int32_t current, std::int32_t questions)
{
    return QString::number(current + 1) + QStringLiteral(" / ") + QString::number(questions);
}

void judge(GameFrontEnd& ui, std::int32_t askedEntry, std::int32_t remain)
{
    StationRecord& asked = StationTable[askedEntry];
    QuestionResult& result = gQuestionLog[askedEntry];
    result.typed = ui.answerText();
    result.tenthsTaken = QuestionTenths() - remain;
    if (ui.answerText() == asked.Reading) {
        result.outcome = Outcome::Right;
        ui.setPanel(QStringLiteral("Guide"), QStringLiteral("OK!"));
        // A lesson's first pass only shows the station: nothing to score.
        if (!gSubset.seeing)
            gScore += PointsFor(DesignTenths(remain));
        ui.setPanel(QStringLiteral("Score"), QString::number(gScore));
        asked.RemainTenths = remain;
        asked.IsOK = -1;
        if (ui.soundMayRing(kSoundOk))
            ui.playSound(kSoundOk);
        ui.readingShown(askedEntry, gSubset.seeing ? Reveal::OnPlate : Reveal::Right);
    } else {
        ui.setPanel(QStringLiteral("Guide"), QStringLiteral("NG.."));
        result.outcome = Outcome::Wrong;
        asked.IsOK = 0;
        if (ui.soundMayRing(kSoundNg))
            ui.playSound(kSoundNg);
        ui.readingShown(askedEntry, Reveal::Missed);
    }
}

} // namespace

bool SpeaksAt(Reveal moment, std::int32_t speech)
{
    switch (moment) {
    case Reveal::OnPlate:
        return false; // on show already; the repeat key still says it
    case Reveal::Lesson:
    case Reveal::Missed:
        return speech == kSpeechMisses || speech == kSpeechAnswers;
    case Reveal::Right:
        return speech == kSpeechAnswers;
    }
    return false;
}

std::int32_t PointsFor(std::int32_t remainTenths)
{
    const std::int32_t whole = remainTenths / 10;
    const std::int32_t tenth = remainTenths % 10;
    if (tenth > 5 || (tenth == 5 && whole % 2 != 0))
        return whole + 1;
    return whole;
}

QString FormatTenths(std::int32_t tenths)
{
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    const std::int64_t t = tenths < 0 ? -std::int64_t(tenths) : tenths;
    return sign + QString::number(t / 10) + u'.' + QString::number(t % 10);
}

std::int32_t QuestionTenths()
{
    // A lesson's first pass shows what to type: the clock is no test there.
    if (gSubset.seeing)
        return QuestionSecondsFrom(std::numeric_limits<std::int32_t>::max()) * 10;
    return QuestionSecondsFrom(gLearning.questionSeconds) * 10;
}

std::int32_t DesignTenths(std::int32_t remainTenths)
{
    const std::int64_t total = QuestionTenths();
    return std::int32_t((std::int64_t(remainTenths) * kQuestionTenths + total / 2) / total);
}

std::int32_t QuestionCount()
{
    // On a loop line 駅当て also asks the first station, from the last one's plate.
    if (gLine.loop && gStationCount >= 2)
        return gStationCount;
    return gStationCount - AnswerOffset(gGameMode);
}

QList<std::int32_t> PlateOrder(std::int32_t plates, std::int32_t mode)
{
    QList<std::int32_t> order;
    for (std::int32_t p = 0; p < plates; ++p)
        order << p;
    // A lesson recalls its new stations in running order first (its misses come back shuffled).
    if (mode == kModeYomiate && gLearning.shuffled && !gSubset.lesson)
        std::shuffle(order.begin(), order.end(), *QRandomGenerator::global());
    return order;
}

QString HintText(const QString& boxText, const QString& reading)
{
    return reading.left(boxText.size() + 1);
}

QString AskedReading()
{
    const std::int64_t index = AskedEntry(gCurrentStation, gGameMode);
    if (index < 0 || index >= kStationTableSize)
        return {};
    return StationTable[index].Reading;
}

AnswerRow ArrangeAnswerRow(std::int32_t mode, int innerWidth, int boxLeft, int boxWidth,
                           int plateLeft)
{
    AnswerRow row {boxLeft, 0, -1};
    switch (mode) {
    case kModeHayauchi:
    case kModeYomiate:
        row.boxLeft = (innerWidth - boxWidth) / 2;
        row.hintVisible = mode == kModeYomiate ? 1 : 0;
        break;
    case kModeEkiate:
        row.boxLeft = plateLeft;
        row.hintVisible = 1;
        break;
    default:
        break;
    }
    // The gap between box and button equals the plate's margin.
    row.hintLeft = row.boxLeft + boxWidth + plateLeft;
    return row;
}

namespace {

// The questions a game on the loaded line asks in the current mode, or 0 (and the player is
// told why) when it cannot start.
std::int32_t questionsToAsk()
{
    if (gGameMode == kModeNone) {
        refuse(QStringLiteral("オプションメニューのゲームモードでモードを設定してください。"));
        return 0;
    }
    if (!FileExists(gLineFilePath)) {
        refuse(QStringLiteral("路線ファイルが存在しません。\r\n") + gLineFilePath);
        return 0;
    }
    // A retry in 駅当て may put stations side by side that are not neighbours: no question
    // there, and it does not count.
    std::int32_t questions = 0;
    for (std::int32_t p = 0; p < QuestionCount(); ++p)
        questions += QuestionOnPlate(p, gGameMode) ? 1 : 0;
    if (questions < 1) {
        // Nothing to ask: the rate would have no divisor.
        refuse(gGameMode == kModeEkiate ? QStringLiteral(
                   "駅当てモードで遊ぶには、駅が2つ以上ある路線ファイルが必要です。")
                                        : QStringLiteral("この路線ファイルには駅がありません。"));
    }
    return questions;
}

// The start: controls held, results reset, the start sound. False when the program ends.
bool openGame(GameFrontEnd& ui, std::int32_t questions)
{
    ui.enterGameControls();
    gStoppedAfter = -1;
    gCurrentStation = 0;
    gScore = 0;
    const bool startRings = ui.soundMayRing(kSoundStart);
    if (startRings)
        ui.playSound(kSoundStart);
    ui.setPanel(QStringLiteral("Guide"), QStringLiteral("開始"));
    ui.setPanel(QStringLiteral("StaPlace"), stationPlace(0, questions));
    ui.setPanel(QStringLiteral("Score"), QStringLiteral("0"));
    ui.drawTitle();
    ClearScore();
    ClearQuestionLog();
    if (startRings)
        ui.waitSound(kSoundStart);
    if (platform::ending())
        return false;
    ui.setPanel(QStringLiteral("Guide"), QString());
    return true;
}

enum class Asked { Judged, Stopped, Ending };

// One question: the plate, then the countdown until Enter, the stop command or the end of time.
Asked askQuestion(GameFrontEnd& ui, std::int32_t judged, std::int32_t questions)
{
    const std::int32_t asked = AskedEntry(gCurrentStation, gGameMode);
    ui.focusAnswer();
    ui.setAnswerText(QString());
    ui.setAnswerTag(QString());
    std::int32_t remain = QuestionTenths();
    ui.setPanel(QStringLiteral("StaPlace"), stationPlace(judged, questions));
    ui.drawPlate(gCurrentStation);
    if (gSubset.seeing || gGameMode == kModeHayauchi)
        ui.readingShown(asked, gSubset.seeing ? Reveal::Lesson : Reveal::OnPlate);
    // Drawing lets waiting events run: keys typed before this plate was up belong to the last
    // question, and neither their text, their letters waiting for kana nor their Enter count here.
    ui.setAnswerText(QString());
    ui.setAnswerTag(QString());
    asking = true;
    for (;;) {
        WaitTicks(100);
        if (platform::ending()) {
            asking = false;
            return Asked::Ending;
        }
        if (gStopRequest == -1) {
            asking = false;
            return Asked::Stopped;
        }
        if (ui.answerTag() == QLatin1String("1")) {
            asking = false;
            judge(ui, asked, remain);
            return Asked::Judged;
        }
        DecrementValue(remain);
        if (ui.soundMayRing(kSoundSec) && remain % 10 == 0)
            ui.playSound(kSoundSec);
        ui.setPanel(QStringLiteral("Time"), FormatTenths(remain));
        if (remain > 0)
            continue;
        asking = false;
        // Half an answer is worth seeing beside the right one, in the correction and the review.
        gQuestionLog[asked].typed = ui.answerSoFar();
        gQuestionLog[asked].outcome = Outcome::TimedOut;
        gQuestionLog[asked].tenthsTaken = QuestionTenths();
        if (ui.soundMayRing(kSoundNg))
            ui.playSound(kSoundNg);
        ui.readingShown(asked, Reveal::Missed);
        return Asked::Judged;
    }
}

// 打ち直し: the box takes text again until the right reading of the asked entry is entered or
// the game is stopped. Nothing is scored. False when the program ends.
bool retype(GameFrontEnd& ui, std::int32_t asked, const QuestionResult& result)
{
    ui.setAnswerText(QString());
    ui.setAnswerTag(QString());
    ui.lockAnswer(false);
    ui.showCorrection(asked, result.typed, result.outcome == Outcome::TimedOut, true);
    ui.askRetype(asked);
    for (;;) {
        WaitTicks(100);
        if (platform::ending())
            return false;
        if (gStopRequest == -1)
            return true;
        if (ui.answerTag() != QLatin1String("1"))
            continue;
        if (ui.answerText() == StationTable[asked].Reading) {
            // The verdict stands as it was; the retype leaves nothing on show.
            ui.setPanel(QStringLiteral("Guide"), QString());
            return true;
        }
        ui.setAnswerText(QString());
        ui.setAnswerTag(QString());
        ui.setPanel(QStringLiteral("Guide"), QStringLiteral("もう一度"));
    }
}

// After a miss, the right reading for a moment: the box takes no text, and nothing typed now
// reaches the next question; then, with 打ち直し, the player types it once. The time is no
// question's, and no point, sound or verdict changes. False when the program ends.
bool showCorrection(GameFrontEnd& ui)
{
    const std::int32_t asked = AskedEntry(gCurrentStation, gGameMode);
    const QuestionResult& result = gQuestionLog[asked];
    const bool timedOut = result.outcome == Outcome::TimedOut;
    if (timedOut)
        ui.setPanel(QStringLiteral("Guide"), QStringLiteral("時間切れ"));
    ui.lockAnswer(true);
    ui.setAnswerText(QString());
    ui.setAnswerTag(QString());
    // 打ち直し without the correction still shows the reading: it is what is to be typed.
    ui.showCorrection(asked, result.typed, timedOut, false);
    // Counted from the moment the reading is on the plate.
    for (std::int32_t tick = 0; gLearning.correction && tick < kCorrectionTenths; ++tick) {
        WaitTicks(100);
        if (platform::ending())
            return false;
        if (gStopRequest == -1)
            break;
        if (ui.answerTag() != QLatin1String("1"))
            continue;
        // Seen now, the Enter came during this tick, once `tick` whole ticks had passed; before
        // kCorrectionFirmTenths of them it was meant for the question that has just ended.
        if (tick >= kCorrectionFirmTenths)
            break;
        ui.setAnswerTag(QString());
    }
    if (gLearning.retype && gStopRequest != -1 && !retype(ui, asked, result))
        return false;
    ui.setAnswerTag(QString());
    ui.setAnswerText(QString());
    ui.lockAnswer(false);
    return true;
}

// A stop noticed: the score window then tells of this game, the questions judged so far and
// the rest without a verdict.
void stopGame(GameFrontEnd& ui, std::int32_t judged)
{
    gStoppedAfter = judged;
    gCorrectRate = judged > 0 ? static_cast<float>(double(GetOKcount()) / double(judged)) : 0.0f;
    ui.setPanel(QStringLiteral("Guide"), QStringLiteral("中断しました"));
    ui.gameOver(false);
}

// True while the entry's last answer in this game, asked again or not, is a miss.
bool stillMissed(std::int32_t entry)
{
    for (auto it = gRelearnLog.crbegin(); it != gRelearnLog.crend(); ++it) {
        if (it->entry == entry)
            return it->result.outcome != Outcome::Right;
    }
    return gQuestionLog[entry].outcome == Outcome::Wrong
        || gQuestionLog[entry].outcome == Outcome::TimedOut;
}

// Learning steps: each station missed is asked again, shuffled, until answered right once, at
// most kRelearnRounds more times. The first answer stands for the rate, the points, the report
// and the review; these are kept apart (gRelearnLog). False when the game ended or was stopped
// (the stop then handled).
bool relearnMisses(GameFrontEnd& ui, std::int32_t questions)
{
    std::int32_t shown = questions;
    for (int round = 0; round < kRelearnRounds; ++round) {
        QList<std::int32_t> again;
        for (std::int32_t p = 0; p < QuestionCount(); ++p) {
            if (QuestionOnPlate(p, gGameMode) && stillMissed(AskedEntry(p, gGameMode)))
                again << p;
        }
        if (again.isEmpty())
            return true;
        std::shuffle(again.begin(), again.end(), *QRandomGenerator::global());
        const std::int32_t total = shown + std::int32_t(again.size());
        for (const std::int32_t plate : again) {
            gCurrentStation = plate;
            const std::int32_t entry = AskedEntry(plate, gGameMode);
            const QuestionResult first = gQuestionLog[entry];
            const StationRecord kept = StationTable[entry];
            const std::int32_t score = gScore;
            gQuestionLog[entry] = {};
            const Asked asked = askQuestion(ui, shown, total);
            if (asked == Asked::Ending)
                return false;
            const QuestionResult now = gQuestionLog[entry];
            const bool miss = asked == Asked::Judged && now.outcome != Outcome::Right;
            if (miss && (gLearning.correction || gLearning.retype) && !showCorrection(ui))
                return false;
            gQuestionLog[entry] = first;
            StationTable[entry].IsOK = kept.IsOK;
            StationTable[entry].RemainTenths = kept.RemainTenths;
            gScore = score;
            ui.setPanel(QStringLiteral("Score"), QString::number(gScore));
            if (asked == Asked::Judged)
                gRelearnLog.push_back({entry, now});
            if (asked == Asked::Stopped || gStopRequest == -1) {
                stopGame(ui, questions);
                return false;
            }
            ++shown;
        }
    }
    return true;
}

// The terminus: the rate, its end sound, the controls back and the score window.
void finishGame(GameFrontEnd& ui, std::int32_t questions)
{
    // In 駅当て the ride ends on the plate of the last station asked: the terminus, or on a
    // loop line the first station again.
    if (gGameMode == kModeEkiate)
        ui.drawPlate(gLine.loop && gStationCount >= 2 ? 0 : gCurrentStation);
    gCorrectRate = static_cast<float>(double(GetOKcount()) / double(questions));
    const int endSound = GetRateGrade(gCorrectRate) + kSoundBadEnd;
    const bool endRings = ui.soundMayRing(endSound);
    if (endRings)
        ui.playSound(endSound);
    ui.setPanel(QStringLiteral("Guide"), QStringLiteral("終点につきました"));
    if (endRings)
        ui.waitSound(endSound);
    if (platform::ending())
        return;
    ui.gameOver(true);
    ui.stopCommand();
    ui.showScore();
}

} // namespace

void MainLoop(GameFrontEnd& ui)
{
    gStopRequest = 0;
    const std::int32_t questions = questionsToAsk();
    if (questions < 1 || !openGame(ui, questions))
        return;
    const std::int32_t plates = QuestionCount();
    const QList<std::int32_t> order = PlateOrder(plates, gGameMode);
    std::int32_t judged = 0;
    for (std::int32_t step = 0; step < plates; ++step) {
        gCurrentStation = order[step];
        if (!QuestionOnPlate(gCurrentStation, gGameMode))
            continue;
        switch (askQuestion(ui, judged, questions)) {
        case Asked::Ending:
            return;
        case Asked::Stopped:
            stopGame(ui, judged);
            return;
        case Asked::Judged:
            ++judged;
            break;
        }
        const Outcome outcome = gQuestionLog[AskedEntry(gCurrentStation, gGameMode)].outcome;
        const bool afterMiss = gLearning.correction || gLearning.retype;
        if (afterMiss && (outcome == Outcome::Wrong || outcome == Outcome::TimedOut)) {
            if (!showCorrection(ui))
                return;
            if (gStopRequest == -1) {
                stopGame(ui, judged);
                return;
            }
        }
    }
    if (gSubset.relearn && !relearnMisses(ui, questions))
        return;
    gCurrentStation = plates;
    finishGame(ui, questions);
}

void StartGame(GameFrontEnd& ui)
{
    if (running) {
        startPending = true;
        return;
    }
    running = true;
    do {
        startPending = false;
        MainLoop(ui);
    } while (startPending && !platform::ending());
    running = false;
}

bool GameRunning()
{
    return running;
}

bool QuestionAsked()
{
    return asking;
}
