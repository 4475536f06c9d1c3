// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Whole games through the real main window, on the virtual clock, with scripted key presses.

#include "commandline.h"
#include "envguard.h"
#include "fakehost.h"
#include "fakemixer.h"
#include "fonts.h"
#include "frmmain.h"
#include "frmreview.h"
#include "frmscorelist.h"
#include "gamedriver.h"
#include "gamestate.h"
#include "history.h"
#include "journal.h"
#include "kanalineedit.h"
#include "panelstatusbar.h"
#include "plate.h"
#include "platewidget.h"
#include "resetglobals.h"
#include "scorereport.h"
#include "settings.h"
#include "sound.h"
#include "speechtext.h"
#include "stationtable.h"
#include "testfiles.h"
#include "twips.h"
#include "wavfile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <map>

namespace {

QStringList playedSounds(const FakeMixer& mixer)
{
    QStringList out;
    for (const auto& p : mixer.plays)
        out << QString::number(p.sound);
    return out;
}

} // namespace

class TestGame : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { platform::registerFontSubstitutions(); }
    void init();
    void cleanup();

    void modeZeroGame();
    void endGradeAndSound_data();
    void endGradeAndSound();
    void modeTwoGame();
    void questionRunsOut();
    void correctionAfterMisses();
    void readingSpokenAfterAMiss();
    void lateKeysAfterATimeOut();
    void retypeWithLongerQuestions();
    void loopLine();
    void unanswerableStationsAsked();
    void stopDuringGame();
    void stopDuringStartSound();
    void guards_data();
    void guards();
    void secondStartDeferred();
    void hints();
    void hintOutsideGame();
    void hintScoreBelowZero();
    void modeChangeArrangesRow_data();
    void modeChangeArrangesRow();
    void lineCommand();
    void lineCommandCancelled();
    void linuxSavedFilesAndRefusals();
    void lineLibraryMenu();
    void reviewAndRetry();
    void todayReviewOverTwoLines();
    void missedStationAsTheWindowsSeeIt();
    void lessonOfNewStations();
    void todayReviewAsksItsDueCardsOnly();
    void sharedFolderThroughTheMenu();
    void formerNamesOfTodaysLines();
    void historyCannotBeKept();
    void gameThatCannotBeSaved();
    void romajiAnswer();
    void soundOffNoWaits();

private:
    void startWindow(const QStringList& stations, int mode, const QString& name = "t.txt");
    QStringList stationLines(int count);

    QTemporaryDir dir_;
    FakeHost* host_ = nullptr;
    FakeMixer* mixer_ = nullptr;
    TestWindow* w_ = nullptr;
};

void TestGame::init()
{
    ResetGlobals();
    host_ = new FakeHost;
    host_->folder = dir_.path();
    mixer_ = new FakeMixer;
    w_ = new TestWindow;
}

void TestGame::cleanup()
{
    delete w_;
    delete mixer_;
    delete host_;
    ResetSound();
}

QStringList TestGame::stationLines(int count)
{
    static const QStringList names {"東京",   "神田",     "秋葉原", "御徒町", "上野", "鶯谷",
                                    "日暮里", "西日暮里", "田端",   "駒込",   "巣鴨", "大塚"};
    static const QStringList readings {"とうきょう", "かんだ",       "あきはばら", "おかちまち",
                                       "うえの",     "うぐいすだに", "にっぽり",   "にしにっぽり",
                                       "たばた",     "こまごめ",     "すがも",     "おおつか"};
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << names[i] + "," + readings[i];
    return lines;
}

// Loads the window as the program does, chooses the line through the line command and
// selects the mode in the list.
void TestGame::startWindow(const QStringList& stations, int mode, const QString& name)
{
    host_->folder = dir_.path();
    w_->Form_Load(QString());
    mixer_->installAllSounds();
    host_->dialogAnswer = writeLineFile(dir_, name, QStringList {"山手線", "###"} + stations);
    w_->mnuLine_Click();
    w_->cmbGameMode->setCurrentIndex(mode);
    QCOMPARE(gGameMode, mode);
}

void TestGame::modeZeroGame()
{
    startWindow(stationLines(3), 0);
    Player player(*host_, *w_);
    player.script
        = {{0, ScriptedAnswer {1, "とうきょう"}}, {1, {6, "かんだ"}}, {2, {96, "あきはばら"}}};
    ScoreWatcher score;
    QStringList staPlace;
    player.onTick = [&](int, int tick) {
        if (tick == 1)
            staPlace << w_->sbStatusBar->panelText("StaPlace");
    };
    w_->mnuGameStart_Click();

    QCOMPARE(staPlace, (QStringList {"1 / 3", "2 / 3", "3 / 3"}));
    QCOMPARE(StationTable[0].RemainTenths, 100); // Enter in the first tick
    QCOMPARE(StationTable[1].RemainTenths, 95);
    QCOMPARE(StationTable[2].RemainTenths, 5);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(StationTable[i].IsOK, std::int16_t(-1));
    QCOMPARE(gScore, 10 + 10 + 0);
    QCOMPARE(w_->sbStatusBar->panelText("Score"), QStringLiteral("20"));
    QCOMPARE(w_->sbStatusBar->panelText("Guide"), QStringLiteral("終点につきました"));
    QCOMPARE(w_->sbStatusBar->panelText("StaPlace"), QStringLiteral("3 / 3"));
    QCOMPARE(gCorrectRate, 1.0f);
    QCOMPARE(score.opened, 1);
    // Start, three right answers, a tick for each whole second of the last question, the
    // fanfare of an all-right game.
    QStringList expected {"6", "0", "0"};
    for (int s = 9; s >= 1; --s)
        expected << "5";
    expected << "0"
             << "4";
    QCOMPARE(playedSounds(*mixer_), expected);
    // Controls are back as the stop command leaves them.
    QVERIFY(w_->mnuGameStart->isEnabled());
    QVERIFY(!w_->mnuGameStop->isEnabled());
    QVERIFY(w_->mnuLine->isEnabled());
    QVERIFY(w_->mnuGameScore->isEnabled());
    QVERIFY(w_->cmbGameMode->isEnabled());
    QCOMPARE(gStopRequest, std::int16_t(-1));
}

void TestGame::endGradeAndSound_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("grade");
    QTest::addColumn<QString>("rate");
    QTest::newRow("10 of 10") << 10 << 2 << "1";
    QTest::newRow("8 of 10") << 8 << 1 << "0.8";
    QTest::newRow("7 of 10") << 7 << 0 << "0.7";
}

void TestGame::endGradeAndSound()
{
    QFETCH(int, right);
    QFETCH(int, grade);
    QFETCH(QString, rate);
    startWindow(stationLines(10), 1);
    Player player(*host_, *w_);
    const QStringList lines = stationLines(10);
    for (int i = 0; i < 10; ++i) {
        const QString reading = lines[i].section(',', 1);
        // A wrong answer: katakana-looking or a trailing blank is not the reading.
        player.script[i] = {3, i < right ? reading : reading + " "};
    }
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(gCorrectRate, float(rate.toDouble()));
    QCOMPARE(GetRateGrade(gCorrectRate), grade);
    QCOMPARE(mixer_->plays.back().sound, 2 + grade);
    QCOMPARE(GetOKcount(), right);
    QCOMPARE(score.opened, 1);
    for (int i = right; i < 10; ++i) {
        QCOMPARE(StationTable[i].IsOK, std::int16_t(0));
        QCOMPARE(StationTable[i].RemainTenths, 0); // a wrong answer leaves the reset value
    }
}

void TestGame::modeTwoGame()
{
    startWindow(stationLines(4), 2);
    Player player(*host_, *w_);
    // The plate shows station i; the answer is the next station's reading.
    player.script = {{0, {1, "かんだ"}}, {1, {1, "あきはばら"}}, {2, {1, "おかちまち"}}};
    QStringList staPlace;
    player.onTick = [&](int, int tick) {
        if (tick == 1)
            staPlace << w_->sbStatusBar->panelText("StaPlace");
    };
    StationTable[0].IsOK = -1; // never asked, never reset by a result
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(staPlace, (QStringList {"1 / 3", "2 / 3", "3 / 3"}));
    QCOMPARE(StationTable[0].IsOK, std::int16_t(0)); // reset at game start, never written
    QCOMPARE(StationTable[0].RemainTenths, 0);
    for (int i = 1; i < 4; ++i)
        QCOMPARE(StationTable[i].IsOK, std::int16_t(-1));
    QCOMPARE(gCurrentStation, 3); // the terminus plate is drawn last
    QCOMPARE(gCorrectRate, 1.0f);
    QCOMPARE(gScore, 30);
}

void TestGame::questionRunsOut()
{
    startWindow(stationLines(1), 0);
    // Without the right reading after a miss, the game keeps the designed timing.
    w_->mnuCorrection->trigger();
    QVERIFY(!gLearning.correction);
    Player player(*host_, *w_);
    w_->setPanel("Guide", "before");
    QString guideAtEnd;
    player.onTick = [&](int, int tick) {
        if (tick == 100)
            guideAtEnd = w_->sbStatusBar->panelText("Guide");
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QStringList expectedTimes;
    for (int t = 99; t >= 0; --t)
        expectedTimes << QStringLiteral("%1.%2").arg(t / 10).arg(t % 10);
    // What the panel showed at each tick, before that tick's countdown step.
    QCOMPARE(player.times.mid(1), expectedTimes.mid(0, 99));
    QCOMPARE(w_->sbStatusBar->panelText("Time"), QStringLiteral("0.0"));
    QStringList expectedSounds {"6"};
    for (int s = 0; s < 10; ++s)
        expectedSounds << "5";
    expectedSounds << "1"
                   << "2";
    QCOMPARE(playedSounds(*mixer_), expectedSounds);
    QCOMPARE(guideAtEnd, QString()); // the guide stays as the question left it
    QCOMPARE(StationTable[0].IsOK, std::int16_t(0));
    QCOMPARE(StationTable[0].RemainTenths, 0);
    QCOMPARE(gScore, 0);
    QCOMPARE(gCorrectRate, 0.0f);
}

// 読み当て: a wrong answer, then a time-out, each followed by its right reading; then a right
// answer. What is typed during a correction is dropped; the points are the right answer's.
// 読み上げ on misses, with the installed voice: the missed station's reading is made and given
// to the speech channel; the right answers are not spoken, and the game is not held up.
void TestGame::readingSpokenAfterAMiss()
{
    startWindow(stationLines(3), 1);
    speech::VoiceSetup voice = speech::DefaultSetup();
    voice.voice = QStringLiteral(TABIDORI_VOICE_FILE);
    voice.cacheFolder = dir_.filePath("voice-cache");
    if (const QString why = speech::Unavailable(voice); !why.isEmpty())
        QSKIP(qPrintable(why + ": scripts/install-deps test installs it"));
    w_->narrator().setSetup(voice);
    gLearning.speech = kSpeechMisses;
    speech::Speaker& speaker = w_->narrator().speaker();
    const QString missed = speaker.pathOf({"東京", "とうきょう"});
    QStringList madePhonemes;
    connect(&speaker, &speech::Speaker::made, this,
            [&](const QString& path, bool, const QString& phonemes) {
                if (path == missed)
                    madePhonemes << phonemes;
            });
    Player player(*host_, *w_);
    player.script = {{0, {5, "かんだ"}}, {1, {3, "かんだ"}}, {2, {3, "あきはばら"}}};
    ScoreWatcher score;
    const std::int32_t before = host_->tickCount();
    w_->mnuGameStart_Click();
    QCOMPARE(score.opened, 1);
    QCOMPARE(gScore, 20);
    // The correction's 2 s and the questions' ticks: no wait for the voice.
    QVERIFY(host_->tickCount() - before < 6000);
    QVERIFY(QTest::qWaitFor([&] { return !speaker.working(); }, 60000));
    QCOMPARE(madePhonemes.size(), 1);
    QVERIFY2(speech::PhonemesSpell(madePhonemes[0], "とうきょう"), qPrintable(madePhonemes[0]));
    QFile wav(missed);
    QVERIFY(wav.open(QIODevice::ReadOnly) && speech::WholeWav(wav.readAll()));
    QCOMPARE(mixer_->spoken, std::vector<QString> {missed});
    // The line's other readings were made ahead; F6 says the missed one again.
    QVERIFY(QFile::exists(speaker.pathOf({"秋葉原", "あきはばら"})));
    w_->mnuSpeak->trigger();
    QCOMPARE(mixer_->spoken.size(), std::size_t(2));
    QCOMPARE(mixer_->spoken.back(), speaker.pathOf({"秋葉原", "あきはばら"}));
}

void TestGame::correctionAfterMisses()
{
    startWindow(stationLines(3), 1);
    QVERIFY(gLearning.correction);
    Player player(*host_, *w_);
    player.script = {{0, {5, "かんだ"}}, {2, {3, "あきはばら"}}};
    QStringList seen;
    int lastTickOfFirst = 0;
    const auto plateTexts = [this] {
        QStringList texts;
        for (const auto& t : w_->picStationPlate->surface().texts())
            texts << t.text;
        return texts.join(u'|');
    };
    player.onTick = [&](int station, int tick) {
        if (station == 0 && tick == 7) {
            seen << plateTexts();
            QTest::keyClicks(w_->txtKaitou, "kanda"); // too late: dropped
            seen << w_->txtKaitou->text() + w_->txtKaitou->pendingText();
        }
        if (station == 0)
            lastTickOfFirst = tick;
        // 0.4 s into the correction: meant for the question, dropped. 0.7 s: goes on at once.
        if (station == 0 && (tick == 9 || tick == 12))
            QTest::keyClick(w_->txtKaitou, Qt::Key_Return);
        if (station == 1 && tick == 1)
            seen << "next:" + w_->txtKaitou->text();
        if (station == 1 && tick == 110)
            seen << w_->sbStatusBar->panelText("Guide") + "|" + plateTexts();
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(score.opened, 1);
    QCOMPARE(seen.size(), 4);
    QCOMPARE(lastTickOfFirst, 12);
    QVERIFY2(seen[0].contains("正しい読み") && seen[0].contains("と  う  き  ょ  う")
                 && seen[0].contains("入力: かんだ"),
             qPrintable(seen[0]));
    QCOMPARE(seen[1], QString());
    QCOMPARE(seen[2], QStringLiteral("next:"));
    QVERIFY2(seen[3].startsWith("時間切れ|") && seen[3].contains("か  ん  だ"),
             qPrintable(seen[3]));
    // Station 2 answered at its third tick: 9.8 s left, 10 points; nothing else scored.
    QCOMPARE(gScore, 10);
    QCOMPARE(StationTable[0].IsOK, std::int16_t(0));
    QCOMPARE(StationTable[1].IsOK, std::int16_t(0));
    QCOMPARE(StationTable[2].IsOK, std::int16_t(-1));
    QVERIFY(!w_->txtKaitou->isReadOnly());

    // Another mode, then another line: a clean window each time, the new title on the plate.
    for (int step = 0; step < 2; ++step) {
        w_->txtKaitou->setText("あきはばら");
        if (step == 0) {
            w_->cmbGameMode->setCurrentIndex(2);
        } else {
            host_->dialogAnswer = writeLineFile(dir_, "other.txt", {"京浜東北線", "###", "a,あ"});
            w_->mnuLine_Click();
        }
        QCOMPARE(w_->txtKaitou->text(), QString());
        QCOMPARE(w_->sbStatusBar->panelText("StaPlace"), QString());
        QCOMPARE(w_->sbStatusBar->panelText("Score"), QStringLiteral("0"));
        QCOMPARE(w_->sbStatusBar->panelText("Time"), QStringLiteral("0"));
        QCOMPARE(w_->picStationPlate->surface().texts().value(0).text,
                 QStringLiteral("駅当てモード"));
    }
}

// Keys that come late: half an answer when the time runs out is kept and shown; an Enter 0.3 s
// into the correction is dropped, so the reading shows its 2 s; the end of an answer typed at the
// correction's last tick and delivered while the next plate is drawn does not reach the next
// question; after the game the box takes nothing until the next game starts.
void TestGame::lateKeysAfterATimeOut()
{
    startWindow(stationLines(2), 1);
    Player player(*host_, *w_);
    player.script = {{1, {3, "かんだ"}}};
    QStringList seen;
    int lastTickOfFirst = 0;
    player.onTick = [&](int station, int tick) {
        if (station == 0) {
            lastTickOfFirst = tick;
            if (tick == 50)
                QTest::keyClicks(w_->txtKaitou, "touky"); // とう and "ky" waiting for kana
            if (tick == 103)
                QTest::keyClick(w_->txtKaitou, Qt::Key_Return);
            if (tick == 105) {
                QStringList plate;
                for (const auto& t : w_->picStationPlate->surface().texts())
                    plate << t.text;
                seen << plate.filter("時間切れ").join(u'|');
            }
            if (tick == 120) {
                host_->after(0, [this] {
                    QTest::keyClicks(w_->txtKaitou, "ku");
                    QTest::keyClick(w_->txtKaitou, Qt::Key_Return);
                });
            }
        }
        if (station == 1 && tick == 1)
            seen << "next:" + w_->txtKaitou->text() + w_->txtKaitou->pendingText();
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(score.opened, 1);
    QCOMPARE(seen, (QStringList {"時間切れ　入力: とうky", "next:"}));
    QCOMPARE(lastTickOfFirst, 100 + kCorrectionTenths);
    QCOMPARE(gQuestionLog[0].typed, QStringLiteral("とうky"));
    QCOMPARE(gQuestionLog[1].outcome, Outcome::Right);
    QCOMPARE(gQuestionLog[1].typed, QStringLiteral("かんだ"));

    // The review's row has what was typed; the score window's report does not change.
    QCOMPARE(CollectGame(true, {}).played.rows.value(0).typed, QStringLiteral("とうky"));
    QCOMPARE(BuildScoreReport().split(QStringLiteral("\r\n")).mid(6, 2),
             (QStringList {"000:  東京  NG", "001:  神田  OK    0.2"}));

    // After the game typing leaves the box as it was, and no input method is let in.
    QTest::keyClicks(w_->txtKaitou, "sinagawa");
    QTest::keyClick(w_->txtKaitou, Qt::Key_Backspace);
    QCOMPARE(w_->txtKaitou->text() + w_->txtKaitou->pendingText(), QStringLiteral("かんだ"));
    QVERIFY(!w_->txtKaitou->testAttribute(Qt::WA_InputMethodEnabled));
    // The next game clears the box and takes typing again.
    player.onTick = nullptr;
    player.script = {{0, {2, "toukyou", true}}, {1, {2, "kanda", true}}};
    w_->mnuGameStart_Click();
    QCOMPARE(score.opened, 2);
    QCOMPARE(GetOKcount(), 2);
}

// A player's own line with a katakana reading, a full-width comma and a missing reading: the
// player is told which stations and asks whether to play it all the same.
// 打ち直し with 20 seconds a question: after a miss the right reading is typed once (a wrong try
// is refused) and scores nothing; the points stay 0 to 10 of the longer time.
void TestGame::retypeWithLongerQuestions()
{
    startWindow(stationLines(2), 1);
    gLearning.retype = true;
    gLearning.questionSeconds = 20;
    Player player(*host_, *w_);
    player.script = {{0, {5, "かんだ"}}, {1, {101, "かんだ"}}};
    QStringList guides;
    player.onTick = [&](int station, int tick) {
        if (station == 1 && tick == 1)
            guides << "next:" + w_->sbStatusBar->panelText("Guide");
        if (station != 0)
            return;
        if (tick == 11)
            QTest::keyClick(w_->txtKaitou, Qt::Key_Return); // past the correction when it may
        if (tick == 13 || tick == 16) {
            guides << w_->sbStatusBar->panelText("Guide");
            player.answer(tick == 13 ? "とうきよう" : "とうきょう");
        }
        if (tick == 14) {
            QStringList plate;
            for (const auto& t : w_->picStationPlate->surface().texts())
                plate << t.text;
            guides << w_->sbStatusBar->panelText("Guide") + "|" + w_->txtKaitou->text() + "|"
                    + plate.filter("Enter").join(u'|');
        }
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(guides,
             (QStringList {"打ち直し", "もう一度||この読みを打って Enter", "もう一度", "next:"}));
    QCOMPARE(player.plates, 2); // the retype asked nothing of its own
    QCOMPARE(player.times.value(1), QStringLiteral("19.9"));
    // 10.0 of 20 seconds left: half the time, half the points.
    QCOMPARE(gScore, 5);
    QCOMPARE(StationTable[0].IsOK, std::int16_t(0));
    QCOMPARE(gQuestionLog[0].typed, QStringLiteral("かんだ"));
    QVERIFY(BuildScoreReport().contains(QStringLiteral("OK    10.0")));
}

// A loop line in 駅当て: the last plate asks the first station and the ride ends on the first
// station's plate; in 読み当て the last station's plate shows the first as its next.
void TestGame::loopLine()
{
    startWindow(stationLines(1), 2);
    host_->dialogAnswer
        = writeLineFile(dir_, "loop.txt", QStringList {"山手線", "@環状", "###"} + stationLines(4));
    w_->mnuLine_Click();
    Player player(*host_, *w_);
    player.answerTick = 3;
    std::vector<int> plates;
    w_->onPlate = [&, inner = w_->onPlate](std::int32_t index) {
        plates.push_back(index);
        inner(index);
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(plates, (std::vector<int> {0, 1, 2, 3, 0}));
    QCOMPARE(w_->sbStatusBar->panelText("StaPlace"), QStringLiteral("4 / 4"));
    QCOMPARE(GetOKcount(), 4);
    QCOMPARE(gScore, 40);
    QCOMPARE(BuildScoreReport().count(QStringLiteral("  OK  ")), 4);

    w_->cmbGameMode->setCurrentIndex(1);
    w_->drawPlate(3);
    QStringList texts;
    for (const auto& t : w_->picStationPlate->surface().texts())
        texts << t.text;
    QVERIFY2(texts.join(u'|').contains(QStringLiteral("|と  う  き  ょ  う")),
             qPrintable(texts.join(u'|')));
}

void TestGame::unanswerableStationsAsked()
{
    w_->Form_Load(QString());
    host_->dialogAnswer = writeLineFile(
        dir_, "own.txt",
        {"江ノ電", "###", "江ノ島,エノシマ", "腰越，こしごえ", "長谷", "鎌倉,かまくら"});
    for (const platform::Answer answer : {platform::Answer::No, platform::Answer::Yes}) {
        host_->messages.clear();
        host_->answers = {answer};
        w_->mnuLine_Click();
        QCOMPARE(host_->messages.size(), size_t(1));
        const QString text = host_->messages[0].text;
        QCOMPARE(host_->messages[0].buttons, platform::Buttons::YesNo);
        QVERIFY2(text.contains("3 行目: 読みがひらがなだけではありません: 江ノ島,エノシマ")
                     && text.contains("4 行目: 駅名と読みが全角の")
                     && text.contains("5 行目: 読みがありません: 長谷") && !text.contains("6 行目"),
                 qPrintable(text));
        QCOMPARE(gStationCount, answer == platform::Answer::Yes ? 4 : 0);
        QCOMPARE(gLineFilePath.isEmpty(), answer == platform::Answer::No);
    }
}

void TestGame::stopDuringGame()
{
    startWindow(stationLines(5), 0);
    gCorrectRate = 0.5f; // as a completed game left it
    Player player(*host_, *w_);
    player.script = {{0, {2, "とうきょう"}}};
    bool menusBackAtOnce = false;
    player.onTick = [&](int station, int tick) {
        if (station == 1 && tick == 10) {
            w_->mnuGameStop->trigger();
            menusBackAtOnce = w_->mnuGameStart->isEnabled() && w_->mnuLine->isEnabled()
                && w_->mnuGameScore->isEnabled() && w_->cmbGameMode->isEnabled()
                && !w_->mnuGameStop->isEnabled() && GameRunning();
        }
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QVERIFY(menusBackAtOnce);
    QCOMPARE(w_->sbStatusBar->panelText("Guide"), QStringLiteral("中断しました"));
    QCOMPARE(score.opened, 0);
    // The rate is this game's: one right of the one judged.
    QCOMPARE(gCorrectRate, 1.0f);
    QCOMPARE(gStoppedAfter, 1);
    QCOMPARE(gScore, 10);
    QCOMPARE(gCurrentStation, 1);
    QCOMPARE(StationTable[0].IsOK, std::int16_t(-1));
    QVERIFY(!GameRunning());
    // No end sound for a stopped game.
    QVERIFY(!playedSounds(*mixer_).contains("2") && !playedSounds(*mixer_).contains("4"));

    // Its score window tells of this game: the station showing at the stop and those after it
    // carry no verdict, and rate and signal count only the question judged.
    const QStringList report = BuildScoreReport().split(QStringLiteral("\r\n"));
    QCOMPARE(report.size(), 14);
    QVERIFY(report[6].startsWith(QStringLiteral("000:  東京    OK")));
    QCOMPARE(report[7].trimmed(), QStringLiteral("001:  神田"));
    QCOMPARE(report[10].trimmed(), QStringLiteral("004:  上野"));
    QVERIFY(report[12].startsWith(QStringLiteral("正解率 :  100.0%")));
    QCOMPARE(GetRateGrade(gCorrectRate), 2);
}

void TestGame::stopDuringStartSound()
{
    startWindow(stationLines(3), 0);
    mixer_->lengths[6] = 2000;
    // The stop comes while the start sound plays; the game notices it at the first tick of
    // the first question, after that question's plate is drawn.
    host_->after(500, [&] { w_->mnuGameStop->trigger(); });
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(w_->sbStatusBar->panelText("Guide"), QStringLiteral("中断しました"));
    QCOMPARE(w_->sbStatusBar->panelText("StaPlace"), QStringLiteral("1 / 3"));
    QCOMPARE(gCurrentStation, 0);
    QVERIFY(host_->now >= 2000 && host_->now < 2300);
    QCOMPARE(score.opened, 0);
}

void TestGame::guards_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("stations");
    QTest::addColumn<QString>("message");
    QTest::newRow("no mode") << -1 << "t.txt" << stationLines(2)
                             << "オプションメニューのゲームモードでモードを設定してください。";
    QTest::newRow("no line file") << 0 << "" << QStringList() << "路線ファイルが存在しません。\r\n";
    QTest::newRow("file gone") << 0 << "gone" << stationLines(2)
                               << "路線ファイルが存在しません。\r\n%1";
    // A file without stations is refused when it is chosen: no line file is left.
    QTest::newRow("no stations") << 0 << "t.txt" << QStringList()
                                 << "路線ファイルが存在しません。\r\n";
    QTest::newRow("one station in mode 2")
        << 2 << "t.txt" << stationLines(1)
        << "駅当てモードで遊ぶには、駅が2つ以上ある路線ファイルが必要です。";
}

void TestGame::guards()
{
    QFETCH(int, mode);
    QFETCH(QString, file);
    QFETCH(QStringList, stations);
    QFETCH(QString, message);
    w_->Form_Load(QString());
    mixer_->installAllSounds();
    if (!file.isEmpty()) {
        host_->dialogAnswer = writeLineFile(dir_, "g.txt", QStringList {"L", "###"} + stations);
        w_->mnuLine_Click();
    }
    if (file == "gone") {
        QFile::remove(gLineFilePath);
        message = message.arg(gLineFilePath);
    }
    w_->cmbGameMode->setCurrentIndex(mode);
    host_->messages.clear();
    const QString guide = w_->sbStatusBar->panelText("Guide");
    w_->mnuGameStart_Click();
    QCOMPARE(host_->beeps, 1);
    QCOMPARE(host_->messages.size(), size_t(1));
    QCOMPARE(host_->messages[0].text, message);
    QCOMPARE(host_->messages[0].icon, platform::Icon::Exclamation);
    // Nothing changed.
    QVERIFY(mixer_->plays.empty());
    QVERIFY(w_->mnuGameStart->isEnabled() && !w_->mnuGameStop->isEnabled());
    QVERIFY(w_->cmbGameMode->isEnabled() && w_->mnuLine->isEnabled());
    QCOMPARE(w_->sbStatusBar->panelText("Guide"), guide);
    QVERIFY(host_->waitedMs == 0);
}

void TestGame::secondStartDeferred()
{
    startWindow(stationLines(2), 0);
    Player player(*host_, *w_);
    int games = 0;
    int maxNesting = 0;
    QStringList guides;
    player.onTick = [&](int station, int tick) {
        if (station == 0 && tick == 1)
            ++games;
        if (games == 1 && station == 0 && tick == 5) {
            // Stop, then start again before the game has noticed the stop.
            w_->mnuGameStop->trigger();
            guides << w_->sbStatusBar->panelText("Guide");
            QVERIFY(w_->mnuGameStart->isEnabled());
            w_->mnuGameStart->trigger();
            maxNesting = std::max(maxNesting, GameRunning() ? 1 : 0);
        }
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    // The second start ran only after the first game had returned: one whole game after it.
    QCOMPARE(games, 2);
    QCOMPARE(score.opened, 1);
    QCOMPARE(w_->sbStatusBar->panelText("Guide"), QStringLiteral("終点につきました"));
    QVERIFY(!GameRunning());
}

void TestGame::hints()
{
    startWindow(stationLines(3), 1);
    Player player(*host_, *w_);
    QStringList seen;
    player.onTick = [&](int station, int tick) {
        if (station == 0 && tick == 2) {
            w_->cmdHint->click(); // empty box: the first character
            seen << w_->txtKaitou->text();
            w_->txtKaitou->setText("xyz"); // a wrong text of three characters
            w_->cmdHint->click();
            seen << w_->txtKaitou->text();
            w_->cmdHint->click();
            seen << w_->txtKaitou->text();
            seen << w_->sbStatusBar->panelText("Score");
        }
        if (station == 1 && tick == 2) {
            w_->txtKaitou->setText("かんだ"); // already whole: unchanged, still costs 3
            w_->cmdHint->click();
            seen << w_->txtKaitou->text() << QString::number(gScore);
        }
    };
    // Three hints, then the answer with 9.5 s left: 10 - 9 = 1 point.
    player.script = {{0, {6, "とうきょう"}}, {1, {3, "かんだ"}}, {2, {1, "x"}}};
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(seen, (QStringList {"と", "とうきょ", "とうきょう", "-9", "かんだ", "-2"}));
    QCOMPARE(StationTable[0].RemainTenths, 95);
    QCOMPARE(gScore, 1 - 3 + 10);
}

void TestGame::hintOutsideGame()
{
    startWindow(stationLines(3), 1);
    QVERIFY(w_->cmdHint->isVisible());
    QVERIFY(!w_->cmdHint->isEnabled());
    w_->txtKaitou->setText("ab");
    w_->cmdHint_Click();
    QCOMPARE(w_->txtKaitou->text(), QStringLiteral("ab"));
    QCOMPARE(gScore, 0);
    // After a completed game on a full table the position lies past the table: nothing read.
    gCurrentStation = kStationTableSize;
    w_->cmdHint_Click();
    QCOMPARE(w_->sbStatusBar->panelText("Score"), QStringLiteral("0"));

    // During the start and end sounds a game runs but asks nothing: a hint there costs nothing
    // and changes nothing, so the final score is the answers' points.
    mixer_->lengths[6] = 2000;
    mixer_->lengths[4] = 2000;
    Player player(*host_, *w_);
    player.answerTick = 1;
    int outside = 0;
    player.onAnyWait = [&](int) {
        if (GameRunning() && !QuestionAsked()) {
            w_->cmdHint_Click();
            ++outside;
        }
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QVERIFY(outside > 10);
    QCOMPARE(gScore, 30);
    QCOMPARE(w_->sbStatusBar->panelText("Score"), QStringLiteral("30"));
}

void TestGame::hintScoreBelowZero()
{
    startWindow(stationLines(1), 2 - 1);
    Player player(*host_, *w_);
    player.onTick = [&](int, int tick) {
        if (tick == 1)
            w_->cmdHint->click();
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(gScore, -3);
    QCOMPARE(w_->sbStatusBar->panelText("Score"), QStringLiteral("-3"));
}

void TestGame::modeChangeArrangesRow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("boxLeft");
    QTest::addColumn<int>("hintLeft");
    QTest::addColumn<bool>("hintShown");
    QTest::newRow("早打ち") << 0 << 2557 << 5812 << false;
    QTest::newRow("読み当て") << 1 << 2557 << 5812 << true;
    QTest::newRow("駅当て") << 2 << 120 << 3375 << true;
}

void TestGame::modeChangeArrangesRow()
{
    QFETCH(int, mode);
    QFETCH(int, boxLeft);
    QFETCH(int, hintLeft);
    QFETCH(bool, hintShown);
    w_->Form_Load(QString());
    w_->cmbGameMode->setCurrentIndex(mode == 0 ? 2 : 0); // come from another mode
    w_->mnuGameScore->setEnabled(true);
    w_->cmbGameMode->setCurrentIndex(mode);
    QCOMPARE(gGameMode, mode);
    QCOMPARE(w_->txtKaitouLeft(), boxLeft);
    QCOMPARE(w_->cmdHintLeft(), hintLeft);
    QCOMPARE(w_->txtKaitou->x(), twips::toPx(boxLeft));
    QCOMPARE(w_->cmdHint->x(), twips::toPx(hintLeft));
    QCOMPARE(w_->txtKaitou->y(), twips::toPx(2280));
    QCOMPARE(w_->cmdHint->isVisible(), hintShown);
    QVERIFY(!w_->mnuGameScore->isEnabled());
}

void TestGame::lineCommand()
{
    w_->Form_Load(QString());
    QCOMPARE(w_->sbStatusBar->panelText("Guide"),
             QStringLiteral("路線ファイルを選択してください。"));
    const QString path = writeLineFile(dir_, "ginza.txt", {"銀座線", "###", "渋谷,しぶや"});
    host_->dialogAnswer = path;
    w_->mnuGameScore->setEnabled(true);
    StationTable[0].IsOK = -1;
    w_->mnuLine_Click();
    QCOMPARE(host_->lastDialog.title, QStringLiteral("路線ファイルの選択"));
    QCOMPARE(host_->lastDialog.initialFolder, dir_.path() + "/line");
    QCOMPARE(host_->lastDialog.filters,
             (QStringList {"路線ファイル.(*.txt)", "すべてのﾌｧｲﾙ (*.*)"}));
    QCOMPARE(w_->windowTitle(), QStringLiteral("ginza - Tabi Dori"));
    QCOMPARE(gLineFilePath, path);
    QCOMPARE(gStationCount, 1);
    QCOMPARE(StationTable[0].IsOK, std::int16_t(0));
    QVERIFY(!w_->mnuGameScore->isEnabled());
    QCOMPARE(w_->sbStatusBar->panelText("Guide"),
             QStringLiteral("ゲームをはじめるには「ゲーム｣メニューの「スタート」を選択します。"));
}

void TestGame::linuxSavedFilesAndRefusals()
{
    startWindow(stationLines(2), 1);
    const auto plateShows = [&](const QString& text) {
        for (const auto& call : w_->picStationPlate->surface().texts()) {
            if (call.text.contains(text))
                return true;
        }
        return false;
    };
    ScoreWatcher score;
    Player player(*host_, *w_);
    player.answerTick = 1;
    w_->mnuGameStart_Click();
    QVERIFY(plateShows(SpreadChars(QStringLiteral("神田"))));

    // A refused file leaves nothing behind: caption, plate, guide, and the start asks for a line.
    host_->dialogAnswer = writeFile(dir_, "nomarker.txt", QByteArray("線\n渋谷,しぶや\n"));
    w_->mnuLine_Click();
    QCOMPARE(host_->messages.size(), size_t(1));
    QCOMPARE(w_->windowTitle(), QStringLiteral("TabiDori"));
    QVERIFY(w_->picStationPlate->surface().texts().isEmpty());
    QCOMPARE(w_->sbStatusBar->panelText("Guide"),
             QStringLiteral("路線ファイルを選択してください。"));
    w_->mnuGameStart_Click();
    QCOMPARE(host_->messages.back().text, QStringLiteral("路線ファイルが存在しません。\r\n"));

    // Files from Linux editors: LF line ends, UTF-8 or code page 932, a reading that ends in an
    // ideographic blank. Each plays, the blank never asked for, and shows its title first.
    for (const QByteArray& bytes :
         {QByteArray("銀座線\n###\n渋谷,しぶや\u3000\n表参道 ,おもてさんどう\n"),
          toCp932("銀座線\n###\n渋谷,しぶや\u3000\n表参道 ,おもてさんどう\n")}) {
        host_->dialogAnswer = writeFile(dir_, "linux.txt", bytes);
        w_->mnuLine_Click();
        QVERIFY(plateShows(QStringLiteral("銀座線")));
        player.script = {{0, {3, "しぶや"}}, {1, {3, "おもてさんどう"}}};
        w_->mnuGameStart_Click();
        QCOMPARE(GetOKcount(), 2);
    }
    QCOMPARE(score.opened, 3);
}

void TestGame::lineLibraryMenu()
{
    EnvironmentGuard xdg("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir_.filePath("xdg").toUtf8());
    QDir().mkpath(dir_.filePath("line/kanto"));
    QDir().mkpath(dir_.filePath("line/shinkansen"));
    QDir().mkpath(dir_.filePath("xdg/tabidori/line"));
    writeLineFile(dir_, "line/kanto/tokyometro-01-b.txt", {"地下鉄線", "###", "b,び"});
    writeLineFile(dir_, "line/kanto/jr-01-a.txt", {"国鉄線 ; JR", "###", "a,あ"});
    writeLineFile(dir_, "line/shinkansen/01-c.txt", {"新幹線", "###", "c,し", "d,で"});
    writeLineFile(dir_, "xdg/tabidori/line/mine.txt", {"自分線", "###", "m,む"});
    // A name as long as a file can make it is cut, so that マイ路線 stays narrower than a screen.
    writeLineFile(dir_, "xdg/tabidori/line/zz.txt", {QString(60000, u'長'), "###", "m,む"});
    w_->Form_Load(QString());
    const auto texts = [](const QMenu* menu) {
        QStringList out;
        for (const QAction* a : menu->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    };
    // Opened as the player opens it: a region's lines are read then.
    const auto submenu = [&](const QString& title) {
        for (QAction* a : w_->mnuLineList->actions()) {
            if (a->menu() && a->text() == title) {
                emit a->menu()->aboutToShow();
                return a->menu();
            }
        }
        return static_cast<QMenu*>(nullptr);
    };
    emit w_->mnuLineList->aboutToShow();
    // Regions in their own order, lines by their names, JR first, operators apart.
    QCOMPARE(texts(w_->mnuLineList), (QStringList {"&1 関東", "&2 新幹線", "-", "マイ路線(&M)"}));
    QCOMPARE(texts(submenu("&1 関東")), (QStringList {"&1 国鉄線", "-", "&2 地下鉄線"}));
    QCOMPARE(texts(submenu("マイ路線(&M)")).first(), QStringLiteral("&1 自分線"));
    QVERIFY(texts(submenu("マイ路線(&M)"))[1].size() < 60);

    // Choosing a line does what choosing its file in the dialog does.
    w_->mnuGameScore->setEnabled(true);
    submenu("&2 新幹線")->actions().first()->trigger();
    QCOMPARE(w_->windowTitle(), QStringLiteral("01-c - Tabi Dori"));
    QCOMPARE(gStationCount, 2);
    QVERIFY(!w_->mnuGameScore->isEnabled());
    QCOMPARE(w_->sbStatusBar->panelText("Guide"),
             QStringLiteral("ゲームをはじめるには「ゲーム｣メニューの「スタート」を選択します。"));

    // Not during a game, like the line command.
    Player player(*host_, *w_);
    player.onTick = [&](int, int tick) {
        if (tick == 2) {
            QVERIFY(!w_->mnuLineList->menuAction()->isEnabled());
            w_->mnuGameStop->trigger();
        }
    };
    w_->mnuGameStart_Click();
    QVERIFY(w_->mnuLineList->menuAction()->isEnabled());

    // The player's folder opens in the file manager, made first when it is missing.
    QDir(dir_.filePath("xdg/tabidori/line")).removeRecursively();
    emit w_->mnuLineList->aboutToShow();
    submenu("マイ路線(&M)")->actions().last()->trigger();
    QVERIFY(QFileInfo(dir_.filePath("xdg/tabidori/line")).isDir());
    QCOMPARE(host_->opened.last(), dir_.filePath("xdg/tabidori/line"));
    // Without a file manager the player is told where the folder is.
    host_->documentOpens = false;
    host_->messages.clear();
    submenu("マイ路線(&M)")->actions().last()->trigger();
    QCOMPARE(host_->messages.size(), size_t(1));
    QVERIFY(host_->messages[0].text.endsWith(dir_.filePath("xdg/tabidori/line")));
}

void TestGame::reviewAndRetry()
{
    EnvironmentGuard xdg("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir_.filePath("xdg").toUtf8());
    startWindow(stationLines(4), 1);
    QFile file(gLineFilePath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray onDisk = file.readAll();
    file.close();

    // Right, wrong with a hint, out of time, right.
    Player player(*host_, *w_);
    player.script = {{0, {3, "とうきょう"}}, {1, {5, "かんだい"}}, {3, {2, "おかちまち"}}};
    player.onTick = [&](int station, int tick) {
        if (station == 1 && tick == 2)
            w_->cmdHint->click();
    };
    QStringList reportLines;
    ScoreWatcher score([&](frmScoreList& s) {
        reportLines = s.Text1->toPlainText().split(u'\n');
        // Offered beside the report; it waits until the game is over.
        if (s.cmdReview->isVisible() && reportLines.value(1).endsWith(QStringLiteral("山手線")))
            s.cmdReview->click();
        else
            s.accept();
    });
    QList<QStringList> rows;
    bool retryOffered = false;
    QTimer reviewWatcher;
    connect(&reviewWatcher, &QTimer::timeout, this, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* review = qobject_cast<frmReview*>(top);
            if (!review || !review->isVisible())
                continue;
            QVERIFY(!GameRunning());
            rows.clear();
            for (int r = 0; r < review->grdStations->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < review->grdStations->columnCount(); ++c)
                    cells << review->grdStations->item(r, c)->text();
                rows << cells;
            }
            retryOffered = review->cmdRetry->isEnabled();
            // The retry: the two misses, answered right this time.
            player.script = {{0, {2, "かんだ"}}, {1, {2, "あきはばら"}}};
            player.onTick = nullptr;
            review->cmdRetry->click();
        }
    });
    reviewWatcher.start(0);
    w_->mnuGameStart_Click();

    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0], (QStringList {"東京", "とうきょう", "とうきょう", "正解", "0.2", ""}));
    QCOMPARE(rows[1], (QStringList {"神田", "かんだ", "かんだい", "不正解", "0.4", "1"}));
    QCOMPARE(rows[2], (QStringList {"秋葉原", "あきはばら", "", "時間切れ", "10.0", ""}));
    QCOMPARE(rows[3][3], QStringLiteral("正解"));
    QVERIFY(retryOffered);
    // The retry game: two stations, its mark on the report's line name, nothing else changed.
    QCOMPARE(score.opened, 2);
    QCOMPARE(reportLines.value(1), QStringLiteral("線名: 山手線（再挑戦）"));
    QCOMPARE(reportLines.value(6).left(8), QStringLiteral("000:  神田"));
    QCOMPARE(reportLines.value(7).left(9), QStringLiteral("001:  秋葉原"));
    QCOMPARE(gScore, 20);
    // Afterwards the whole line is loaded again, its file untouched.
    QCOMPARE(gStationCount, 4);
    QCOMPARE(gLineName, QStringLiteral("山手線"));
    QCOMPARE(w_->windowTitle(), QStringLiteral("t - Tabi Dori"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), onDisk);
    // Both games are in the history, the misses counted; the retry is practice, not a play,
    // and its 20 points are no best.
    History history;
    QCOMPARE(history.open(), History::Opened::Ok);
    const LineStats stats = history.stats(
        LineKey("山手線",
                {"東京,とうきょう", "神田,かんだ", "秋葉原,あきはばら", "御徒町,おかちまち"}),
        1);
    QCOMPARE(stats.games, 1);
    QCOMPARE(stats.practice, 1);
    QVERIFY(stats.bestScore < 20);
}

// A game with a miss, then what 成績, the map and 苦手な駅 are given of it: the station missed
// is 忘れた with at most an even chance of recall in both, and the others are being learnt.
void TestGame::missedStationAsTheWindowsSeeIt()
{
    EnvironmentGuard xdg("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir_.filePath("missed").toUtf8());
    startWindow(stationLines(3), kModeYomiate);
    Player player(*host_, *w_);
    player.script = {{0, {3, "とうきょう"}}, {1, {3, "かんば"}}, {2, {3, "あきはばら"}}};
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(score.opened, 1);

    HistoryKeeper history;
    LineLibrary library;
    LearningDesk desk(history, library);
    const QDate today = QDate::currentDate();
    const LineProgress line = desk.loadedLine(today);
    QCOMPARE(line.stations.size(), 3);
    QCOMPARE(line.stations[0].state, CardState::Learning);
    QCOMPARE(line.stations[1].state, CardState::Forgotten);
    QVERIFY(line.stations[0].recall > 0.9);
    QVERIFY(line.stations[1].recall <= 0.5);
    const QList<MissedStation> weak = history.get()->weakest(CurrentLineKey(), 1, today, 10);
    QCOMPARE(weak.value(0).station, QStringLiteral("神田"));
    QCOMPARE(weak.value(0).recall, line.stations[1].recall);
    QCOMPARE(desk.loadedStatesInFileOrder(today),
             (QList<CardState> {CardState::Learning, CardState::Forgotten, CardState::Learning}));
    // Nothing is held for three weeks yet: 路線一覧 shows no share.
    desk.refreshKnown(today);
    QCOMPARE(desk.knownShareText(gLineFilePath), QString());
}

// A lesson: three new stations seen with their readings and typed, then recalled with one miss
// that comes back until right; three cards made, the miss no card of its own; a second lesson
// the same day has nothing left to introduce.
void TestGame::lessonOfNewStations()
{
    EnvironmentGuard xdg("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir_.filePath("lesson").toUtf8());
    startWindow(stationLines(5), kModeHayauchi);
    gLearning.newPerDay = 3;
    Player player(*host_, *w_);
    QStringList seeing, recalling;
    bool missed = false;
    player.onTick = [&](int station, int tick) {
        if (tick != 3)
            return;
        QStringList texts;
        for (const auto& t : w_->picStationPlate->surface().texts())
            texts << t.text;
        (gSubset.seeing ? seeing : recalling) << texts.join(u'|').remove(u' ');
        const bool miss = !gSubset.seeing && station == 1 && !missed;
        missed = missed || miss;
        player.answer(miss ? QStringLiteral("かんば") : AskedReading());
    };
    ScoreWatcher score;
    w_->mnuLesson->trigger();
    // Readings are learnt in 読み当て; only the recall pass has a score window.
    QCOMPARE(gGameMode, kModeYomiate);
    QCOMPARE(score.opened, 1);
    QCOMPARE(seeing.size(), 3);
    QVERIFY2(seeing[0].startsWith(QStringLiteral("とうきょう|東京|")), qPrintable(seeing[0]));
    // Running order, then the miss once more; the reading is no longer on the plate.
    QCOMPARE(recalling.size(), 4);
    QVERIFY2(recalling[0].startsWith(QStringLiteral("東京|")), qPrintable(recalling[0]));
    QVERIFY(recalling[3].startsWith(QStringLiteral("神田|")));
    QCOMPARE(w_->windowTitle(), QStringLiteral("t - Tabi Dori"));

    History h;
    QCOMPARE(h.open(HistoryFolder()), History::Opened::Ok);
    const QString key = CurrentLineKey();
    QHash<QString, StoredCard> cards;
    for (const StoredCard& c : h.cardsOf(key, kModeYomiate))
        cards.insert(c.station, c);
    QCOMPARE(cards.size(), 3);
    QVERIFY(!cards.contains(QStringLiteral("御徒町")));
    // The miss was a step: the right answer after it is the card's first review.
    QCOMPARE(cards.value(QStringLiteral("神田")).reps, 1);
    QVERIFY(cards.value(QStringLiteral("神田")).lastRight);
    QCOMPARE(cards.value(QStringLiteral("東京")).firstReview, QDate::currentDate());
    QCOMPARE(h.stats(key, kModeYomiate).practice, 1);
    QCOMPARE(h.stats(key, kModeYomiate).games, 0);
    QCOMPARE(h.learningLines().size(), 1);

    // The day's three are made: the next lesson waits for tomorrow.
    host_->messages.clear();
    w_->mnuLesson->trigger();
    QCOMPARE(score.opened, 1);
    QCOMPARE(host_->messages.size(), std::size_t(1));
    QVERIFY(host_->messages[0].text.startsWith(QStringLiteral("今日の新しい駅はここまでです")));
}

// Today's review in 駅当て asks exactly the due links, as many as the status bar says, each plate
// with the line's real neighbours; a link missed comes back once more at the end.
void TestGame::todayReviewAsksItsDueCardsOnly()
{
    EnvironmentGuard xdg("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir_.filePath("exact").toUtf8());
    startWindow(stationLines(6), kModeHayauchi);
    const QStringList line = QStringList {"C線", "###"} + stationLines(6);
    History h;
    QCOMPARE(h.open(HistoryFolder()), History::Opened::Ok);
    GameRecord g;
    g.when = QDateTime::currentDateTime().addDays(-5);
    g.lineFile = writeLineFile(dir_, "c.txt", line);
    g.lineName = "C線";
    g.lineKey = LineKey("C線", line.mid(2));
    g.mode = kModeEkiate;
    // The links to 神田 and 御徒町 are due; the one to 秋葉原 between them is not.
    for (const int i : {1, 3})
        g.answers << GameRecord::Answer {line[2 + i].section(',', 0, 0),
                                         line[2 + i].section(',', 1), Outcome::Right, 60, 0};
    g.asked = g.right = 2;
    QVERIFY(h.record(g));
    QVERIFY(w_->dueText().startsWith(QStringLiteral("今日の復習 2 問")));

    Player player(*host_, *w_);
    QList<int> asked;
    bool missed = false;
    player.onTick = [&](int station, int tick) {
        if (tick != 3)
            return;
        asked << station;
        const bool miss = station == 0 && !missed;
        missed = missed || miss;
        player.answer(miss ? QStringLiteral("x") : AskedReading());
    };
    ScoreWatcher score;
    w_->mnuTodayReview_Click();
    // Plates of 東京 (asks 神田) and 秋葉原 (asks 御徒町), then 東京's again after its miss; not
    // 神田's, whose link to 秋葉原 is not due.
    QCOMPARE(asked, (QList<int> {0, 2, 0}));
    QCOMPARE(score.opened, 1);
    QCOMPARE(h.dueSummary(QDate::currentDate()).cards, 0);
    // The miss then the right answer: a lapse, and the card is due again by tomorrow.
    for (const StoredCard& c : h.cardsOf(g.lineKey, kModeEkiate)) {
        if (c.station == QStringLiteral("神田")) {
            QCOMPARE(c.lapses, 1);
            QVERIFY(c.due <= QDate::currentDate().addDays(1));
        }
    }
}

// The learner chooses a shared folder: a folder holding the history itself is refused; then the
// games of this computer go into its journal after each game, and another computer's game found
// there comes in, due cards and all.
void TestGame::sharedFolderThroughTheMenu()
{
    EnvironmentGuard data("XDG_DATA_HOME");
    EnvironmentGuard config("XDG_CONFIG_HOME");
    qputenv("XDG_DATA_HOME", dir_.filePath("share-data").toUtf8());
    qputenv("XDG_CONFIG_HOME", dir_.filePath("share-config").toUtf8());
    startWindow(stationLines(3), kModeYomiate);
    auto* share = w_->findChild<QAction*>("mnuShare");
    QVERIFY(share);
    host_->folderAnswer = dir_.filePath("share-data");
    share->trigger();
    QVERIFY(host_->messages.back().text.contains("共有には使えません"));

    const QString shared = dir_.filePath("Sync");
    QVERIFY(QDir().mkpath(shared));
    const QStringList line = QStringList {"D線", "###"} + stationLines(4);
    GameRecord other;
    other.when = QDateTime::currentDateTime().addDays(-20);
    // Played from the library of the other computer, which lies elsewhere; this one has the
    // same line in its own.
    QVERIFY(QDir().mkpath(dir_.filePath("line/kanto")));
    writeLineFile(dir_.filePath("line/kanto"), "d.txt", line);
    other.lineFile = "/elsewhere/line/kanto/d.txt";
    other.lineName = "D線";
    other.lineKey = LineKey("D線", line.mid(2));
    other.mode = kModeYomiate;
    other.uid = "0d0d0d0d-0000-4000-8000-000000000001";
    other.installation = "laptop-installation";
    other.seq = 1;
    other.answers << GameRecord::Answer {"東京", "とうきょう", Outcome::Right, 30, 0};
    QString why;
    QVERIFY(journal::append(journal::journalPath(shared, other.installation), {other}, &why));
    host_->folderAnswer = shared;
    share->trigger();
    QVERIFY2(host_->messages.back().text.contains("ほかのコンピュータの記録 1 ゲーム"),
             qPrintable(host_->messages.back().text));
    QVERIFY(w_->dueText().startsWith(QStringLiteral("今日の復習 1 問")));

    Player player(*host_, *w_);
    player.onTick = [&](int, int tick) {
        if (tick == 2)
            player.answer(AskedReading());
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    const QString ours = journal::journalPath(shared, ReadKeptSettings().installation);
    QFile journal(ours);
    QVERIFY2(journal.open(QIODevice::ReadOnly), qPrintable(ours));
    const journal::ReadResult read = journal::read(journal.readAll());
    QCOMPARE(read.games.size(), 1);
    QCOMPARE(read.games.first().right, 3);
    QCOMPARE(ReadKeptSettings().sharedFolder, shared);

    // Today's review asks the other computer's due station from this computer's file.
    w_->mnuTodayReview_Click();
    QCOMPARE(score.opened, 2);
    History h;
    QCOMPARE(h.open(HistoryFolder()), History::Opened::Ok);
    QCOMPARE(h.stats(other.lineKey, kModeYomiate).last.date(), QDate::currentDate());
}

// A former name moves games only from a line the library no longer has, and says so: a player's
// own file naming a library line takes none of its games.
void TestGame::formerNamesOfTodaysLines()
{
    EnvironmentGuard xdg("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir_.filePath("former").toUtf8());
    w_->Form_Load(QString());
    const QStringList stations = stationLines(3);
    QVERIFY(QDir(dir_.path()).mkpath("line"));
    const QString library
        = writeLineFile(dir_, "line/a.txt", QStringList {"A線", "###"} + stations);
    History h;
    QCOMPARE(h.open(HistoryFolder()), History::Opened::Ok);
    const auto played = [&](const QString& name, const QString& file) {
        GameRecord g;
        g.when = QDateTime::currentDateTime().addDays(-1);
        g.lineName = name;
        g.lineFile = file;
        g.lineKey = LineKey(name, stations);
        g.mode = kModeYomiate;
        g.answers << GameRecord::Answer {"東京", "とうきょう", Outcome::Right, 30, 0};
        g.asked = g.right = 1;
        QVERIFY(h.record(g));
    };
    played("A線", library);
    played("旧線", dir_.filePath("gone.txt"));
    // Someone's own copy of A線 under another name, naming it as its former name.
    QVERIFY(w_->OpenLineFile(writeLineFile(
        dir_, "mine.txt", QStringList {"わたしのA線", "@旧名: A線", "###"} + stations)));
    QCOMPARE(w_->sbStatusBar->panelText("Guide"), kLineLoadedGuide);
    QCOMPARE(h.stats(LineKey("A線", stations), kModeYomiate).games, 1);
    // A line whose former name no line has today takes its games, and says so.
    QVERIFY(w_->OpenLineFile(
        writeLineFile(dir_, "new.txt", QStringList {"新線", "@旧名: 旧線", "###"} + stations)));
    QCOMPARE(w_->sbStatusBar->panelText("Guide"),
             QStringLiteral("「旧線」として遊んだ 1 ゲームを、この路線の記録に移しました。"));
    QCOMPARE(h.stats(LineKey("新線", stations), kModeYomiate).games, 1);
    QVERIFY(QDir(dir_.filePath("line")).removeRecursively());
}

// Cards due on two lines: today's review plays each line's due stations in its own mode, the
// line with the most first, marked as today's review; every answer moves its card on, and
// afterwards nothing is due and the player's own line and mode are back.
void TestGame::todayReviewOverTwoLines()
{
    // A history of its own: no card of another test, or of an earlier run, falls due today.
    EnvironmentGuard xdg("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir_.filePath("today").toUtf8());
    startWindow(stationLines(4), 0);
    const QString own = gLineFilePath;
    const QStringList a {"A線", "###", "東京,とうきょう", "神田,かんだ", "秋葉原,あきはばら"};
    const QStringList b {"B線", "###", "上野,うえの", "鶯谷,うぐいすだに", "日暮里,にっぽり"};
    History h;
    QCOMPARE(h.open(HistoryFolder()), History::Opened::Ok);
    const QDateTime played = QDateTime::currentDateTime().addDays(-5);
    const auto playedBefore = [&](const QStringList& file, int mode, int from) {
        GameRecord g;
        g.when = played;
        g.lineFile = writeLineFile(dir_, file[0] + ".txt", file);
        g.lineName = file[0];
        g.lineKey = LineKey(file[0], file.mid(2));
        g.mode = mode;
        for (const QString& s : file.mid(2 + from))
            g.answers << GameRecord::Answer {s.section(',', 0, 0), s.section(',', 1),
                                             Outcome::Right, 60, 0};
        g.asked = g.right = int(g.answers.size());
        QVERIFY(h.record(g));
    };
    playedBefore(a, kModeYomiate, 0);
    playedBefore(b, kModeEkiate, 1);
    const QDate today = QDate::currentDate();
    QCOMPARE(h.dueSummary(today).cards, 5);
    QCOMPARE(h.dueSummary(today).lines, 2);

    Player player(*host_, *w_);
    player.answerTick = 3;
    QStringList games;
    std::vector<int> plates;
    w_->onPlate = [&, inner = w_->onPlate](std::int32_t index) {
        if (plates.empty() || games.isEmpty() || !gLineName.startsWith(games.last().left(2)))
            games << gLineName + QString::number(gGameMode);
        plates.push_back(index);
        inner(index);
    };
    ScoreWatcher score;
    w_->mnuTodayReview_Click();
    QCOMPARE(games, (QStringList {"A線（今日の復習）1", "B線（今日の復習）2"}));
    QCOMPARE(plates, (std::vector<int> {0, 1, 2, 0, 1, 2}));
    QCOMPARE(score.opened, 2);
    QCOMPARE(h.dueSummary(today).cards, 0);
    // Every card answered now falls due again on the day its new interval says.
    QDate next;
    for (const StoredCard& c : h.cardsOf(LineKey("A線", a.mid(2)), kModeYomiate)) {
        QCOMPARE(c.reps, 2);
        QCOMPARE(c.lastReview, today);
        next = next.isValid() ? std::min(next, c.due) : c.due;
    }
    QCOMPARE(h.dueSummary(next.addDays(-1)).cards, 0);
    QVERIFY(h.dueSummary(next).cards >= 3);
    QCOMPARE(gLineFilePath, own);
    QCOMPARE(gGameMode, kModeHayauchi);
    // What was done and what comes; the review answered to the end met the day's goal.
    QCOMPARE(w_->sbStatusBar->panelText("Guide"),
             QStringLiteral("今日の復習が終わりました（5 問・正解 5）。明日は 0 問です。"));
    QCOMPARE(h.reviewClearedDays(), QList<QDate> {today});
}

void TestGame::historyCannotBeKept()
{
    // The data folder cannot be made: a file stands where it would go.
    EnvironmentGuard xdg("XDG_DATA_HOME");
    writeFile(dir_, "notafolder", "x");
    qputenv("XDG_DATA_HOME", dir_.filePath("notafolder").toUtf8());
    startWindow(stationLines(2), 0);
    // Told once, as the window appears; both games played to the end, the review still there.
    QCOMPARE(host_->messages.size(), size_t(1));
    QVERIFY(host_->messages[0].text.startsWith(QStringLiteral("遊んだ記録を保存できません。")));
    Player player(*host_, *w_);
    player.answerTick = 1;
    ScoreWatcher score;
    host_->messages.clear();
    for (int game = 0; game < 2; ++game)
        w_->mnuGameStart_Click();
    QCOMPARE(score.opened, 2);
    QCOMPARE(host_->messages.size(), size_t(0));
    QVERIFY(w_->mnuGameReview->isEnabled());
}

void TestGame::gameThatCannotBeSaved()
{
    EnvironmentGuard xdg("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir_.filePath("unsaved").toUtf8());
    startWindow(stationLines(2), 0);
    Player player(*host_, *w_);
    player.answerTick = 1;
    ScoreWatcher score;
    host_->messages.clear();
    w_->mnuGameStart_Click();
    QVERIFY(host_->messages.empty());
    // Another program takes a table away under the running game, then puts it back.
    const auto breaker = [this](const char* sql) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "breaker");
            db.setDatabaseName(dir_.filePath("unsaved/tabidori/history.sqlite"));
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QString::fromLatin1(sql)));
        }
        QSqlDatabase::removeDatabase("breaker");
    };
    breaker("ALTER TABLE answers RENAME TO answers_away");
    for (int game = 0; game < 2; ++game)
        w_->mnuGameStart_Click();
    // Told once, after the first game that was not saved; both wait in memory.
    QCOMPARE(score.opened, 3);
    QCOMPARE(host_->messages.size(), size_t(1));
    QVERIFY(host_->messages[0].text.startsWith(
        QStringLiteral("このゲームの記録をまだ保存できていません。")));
    breaker("ALTER TABLE answers_away RENAME TO answers");
    w_->mnuGameStart_Click();
    QCOMPARE(host_->messages.size(), size_t(1));
    History history;
    QCOMPARE(history.open(dir_.filePath("unsaved/tabidori")), History::Opened::Ok);
    QCOMPARE(history.stats(CurrentLineKey(), 0).games, 4);
}

void TestGame::lineCommandCancelled()
{
    w_->Form_Load(QString());
    host_->dialogAnswer.clear();
    w_->mnuLine_Click();
    QCOMPARE(host_->dialogs, 1);
    QCOMPARE(w_->windowTitle(), QStringLiteral("TabiDori"));
    QCOMPARE(w_->sbStatusBar->panelText("Guide"),
             QStringLiteral("路線ファイルを選択してください。"));
    QVERIFY(gLineFilePath.isEmpty());
}

void TestGame::romajiAnswer()
{
    startWindow(stationLines(7), 1);
    Player player(*host_, *w_);
    player.script
        = {{0, {1, "toukyou", true}},   {1, {1, "kanda", true}}, {2, {1, "akihabara", true}},
           {3, {1, "okatimati", true}}, {4, {1, "ueno", true}},  {5, {1, "uguisudani", true}},
           {6, {1, "nippori", true}}};
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QCOMPARE(GetOKcount(), 7);
    QVERIFY(!w_->txtKaitou->text().contains('\n'));
}

void TestGame::soundOffNoWaits()
{
    startWindow(stationLines(1), 0);
    mixer_->lengths[6] = 2000;
    mixer_->lengths[4] = 2000;
    w_->mnuSound->trigger(); // the switch: off
    QVERIFY(!w_->mnuSound->isChecked());
    QCOMPARE(gSoundOn, std::int16_t(0));
    Player player(*host_, *w_);
    player.script = {{0, ScriptedAnswer {1, "とうきょう"}}};
    ScoreWatcher score;
    w_->mnuGameStart_Click();
    QVERIFY(mixer_->plays.empty());
    QCOMPARE(host_->now, 101); // one tick and nothing else
    w_->mnuSound->trigger();
    QCOMPARE(gSoundOn, std::int16_t(-1));
    QCOMPARE(gSoundFiles[6].RingFlag, std::int16_t(-1));
}

QTEST_MAIN(TestGame)
#include "test_game.moc"
