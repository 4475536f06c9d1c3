// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "envguard.h"
#include "fakehost.h"
#include "fakemixer.h"
#include "mixer.h"
#include "sdlmixer.h"
#include "sound.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <ctime>

namespace {

const QString kBuiltSounds = QStringLiteral(TABIDORI_BUILD_SOUND_DIR);

QString soundFolder(const QTemporaryDir& dir)
{
    return dir.filePath(QStringLiteral("sound"));
}

QString builtSound(int k)
{
    return kBuiltSounds + u'/' + QString::fromLatin1(kSoundFileNames[k]);
}

QByteArray builtBytes(int k)
{
    QFile f(builtSound(k));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(f.fileName()));
    return f.readAll();
}

// Makes dir/sound holding the built sound files, except the ones left out.
void copySounds(const QTemporaryDir& dir, const QStringList& leaveOut = {})
{
    QDir().mkpath(soundFolder(dir));
    for (int k = 0; k < kSoundFileCount; ++k) {
        const QString name = QString::fromLatin1(kSoundFileNames[k]);
        if (!leaveOut.contains(name))
            writeFile(dir, QStringLiteral("sound/") + name, builtBytes(k));
    }
}

// Length of a 16-bit mono 44.1 kHz wave file's samples.
double waveSeconds(const QByteArray& b)
{
    qsizetype at = 12;
    while (at + 8 <= b.size()) {
        const quint32 size = qFromLittleEndian<quint32>(b.constData() + at + 4);
        if (b.mid(at, 4) == "data")
            return size / (2.0 * 44100);
        at += 8 + qsizetype(size) + qsizetype(size & 1);
    }
    return 0;
}

QList<int> foundFlags()
{
    QList<int> out;
    for (int k = 0; k < kSoundFileCount; ++k)
        out << gSoundFiles[k].FileFound;
    return out;
}

QList<int> ringFlags()
{
    QList<int> out;
    for (int k = 0; k < kSoundFileCount; ++k)
        out << gSoundFiles[k].RingFlag;
    return out;
}

QStringList shownTexts(const FakeHost& host)
{
    QStringList out;
    for (const FakeHost::Message& m : host.messages)
        out << m.text;
    return out;
}

// Real time until sound k stops, polling; limit when it does not stop by then.
qint64 msUntilStopped(int k, const QElapsedTimer& since, qint64 limit)
{
    while (audio::mixer().playing(k) && since.elapsed() < limit)
        QTest::qSleep(2);
    return since.elapsed();
}

const QRegularExpression kLoadError(QStringLiteral("^error:-\\d+\\r\\n\\S.*$"));

} // namespace

Q_DECLARE_METATYPE(audio::Status)

class TestAudio : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The SDL mixer, with the dummy driver playing in real time.
    void allSoundsLoadAndPlayForTheirLength();
    void secondPlayDoesNotRestart();
    void deviceRestsBetweenGames();
    void waitDeliversEventsWithoutSpinning();
    void foundFiles_data();
    void foundFiles();
    void badFiles_data();
    void badFiles();
    void deviceCannotOpen_data();
    void deviceCannotOpen();
    void switchingOffKeepsPlayingSound();

    // The game's side, on the virtual clock.
    void messageTexts_data();
    void messageTexts();
    void ringFlagsFollowSwitch_data();
    void ringFlagsFollowSwitch();
    void playOnlyWhenRinging();
    void waitOnVirtualClock_data();
    void waitOnVirtualClock();
};

void TestAudio::initTestCase()
{
    // Run directly, the test would otherwise play through the machine's speakers.
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QVERIFY2(QFile::exists(builtSound(kSoundStart)), "build the sound_folder target first");
}

void TestAudio::init()
{
    ResetSound();
}

void TestAudio::cleanup()
{
    ResetSound();
}

// Between games (no game runs, nothing plays) the device closes, and with it the audio thread
// that wakes 43 times a second; the next sound opens it again and plays whole.
void TestAudio::deviceRestsBetweenGames()
{
    QTemporaryDir dir;
    copySounds(dir);
    FakeHost host;
    host.folder = dir.path();
    const auto audioThreads = [] {
        int n = 0;
        for (const QString& task :
             QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
            if (comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("SDLAudio"))
                ++n;
        }
        return n;
    };
    SetSound();
    QVERIFY(audio::mixer().deviceOpen());
    QTRY_VERIFY(audioThreads() > 0); // the thread names itself once it runs
    QTRY_VERIFY_WITH_TIMEOUT(!audio::mixer().deviceOpen(), audio::kRestAfterMs + 2000);
    QTRY_COMPARE(audioThreads(), 0);
    PlaySoundEffect(kSoundOk);
    QVERIFY(audio::mixer().deviceOpen());
    QVERIFY(audio::mixer().playing(kSoundOk));
    QTRY_VERIFY_WITH_TIMEOUT(!audio::mixer().playing(kSoundOk), 3000);
}

void TestAudio::allSoundsLoadAndPlayForTheirLength()
{
    QTemporaryDir dir;
    copySounds(dir);
    FakeHost host;
    host.folder = dir.path();

    SetSound();
    QCOMPARE(shownTexts(host), QStringList());
    QCOMPARE(ringFlags(), QList<int>(kSoundFileCount, -1));

    // Every sound has a voice of its own: all seven play at once and each stops on its own.
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; k < kSoundFileCount; ++k)
        PlaySoundEffect(k);
    std::array<qint64, kSoundFileCount> stoppedAt;
    stoppedAt.fill(-1);
    while (clock.elapsed() < 4000 && std::count(stoppedAt.begin(), stoppedAt.end(), -1) > 0) {
        for (int k = 0; k < kSoundFileCount; ++k) {
            if (stoppedAt[k] < 0 && !audio::mixer().playing(k))
                stoppedAt[k] = clock.elapsed();
        }
        QTest::qSleep(2);
    }
    for (int k = 0; k < kSoundFileCount; ++k) {
        const double length = waveSeconds(builtBytes(k)) * 1000;
        const QByteArray what = QByteArray(kSoundFileNames[k]) + " stopped after "
            + QByteArray::number(stoppedAt[k]) + " ms, length " + QByteArray::number(qRound(length))
            + " ms";
        QVERIFY2(stoppedAt[k] >= 0.85 * length - 30, what.constData());
        QVERIFY2(stoppedAt[k] <= length + 300, what.constData());
    }
    QVERIFY(stoppedAt[kSoundStart] > 100 && stoppedAt[kSoundStart] < 2600);
}

void TestAudio::secondPlayDoesNotRestart()
{
    QTemporaryDir dir;
    copySounds(dir);
    FakeHost host;
    host.folder = dir.path();
    SetSound();

    QElapsedTimer clock;
    clock.start();
    PlaySoundEffect(kSoundStart);
    QTest::qSleep(1000);
    QVERIFY(audio::mixer().playing(kSoundStart));
    PlaySoundEffect(kSoundStart);
    // Started again it would play on to about 3 s.
    const qint64 stopped = msUntilStopped(kSoundStart, clock, 5000);
    QVERIFY2(stopped > 1600 && stopped < 2500, QByteArray::number(stopped).constData());
}

void TestAudio::waitDeliversEventsWithoutSpinning()
{
    QTemporaryDir dir;
    copySounds(dir);
    FakeHost host;
    host.folder = dir.path();
    SetSound();

    // The program's own host: real time, and its waits sleep on the event loop.
    platform::setHost(nullptr);
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
    timer.start();

    const double length = waveSeconds(builtBytes(kSoundOk)) * 1000;
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuBefore = std::clock();
    PlaySoundEffect(kSoundOk);
    WaitSoundEffect(kSoundOk);
    const double cpuMs = double(std::clock() - cpuBefore) * 1000 / CLOCKS_PER_SEC;
    const qint64 wallMs = clock.elapsed();
    platform::setHost(&host);

    QVERIFY(!audio::mixer().playing(kSoundOk));
    QVERIFY2(wallMs >= 0.85 * length - 30 && wallMs <= length + 300,
             QByteArray::number(wallMs).constData());
    QVERIFY2(ticks >= 10, QByteArray::number(ticks).constData());
    QVERIFY2(cpuMs < 0.2 * wallMs,
             (QByteArray::number(cpuMs) + " ms CPU in " + QByteArray::number(wallMs) + " ms")
                 .constData());
}

void TestAudio::foundFiles_data()
{
    QTest::addColumn<bool>("makeFolder");
    QTest::addColumn<QStringList>("files"); // written as the built file of the same name
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QList<int>>("found");

    const QStringList all {"ok.wav",      "ng.wav",  "badend.wav", "end.wav",
                           "goodend.wav", "sec.wav", "start.wav"};
    QStringList withoutStart = all;
    withoutStart.removeOne(QStringLiteral("start.wav"));

    QTest::newRow("no sound folder")
        << false << QStringList() << QStringList() << QList<int>(kSoundFileCount, 0);
    QTest::newRow("empty sound folder")
        << true << QStringList() << QStringList() << QList<int>(kSoundFileCount, 0);
    QTest::newRow("all seven") << true << all << QStringList() << QList<int>(kSoundFileCount, -1);
    QTest::newRow("start.wav missing")
        << true << withoutStart << QStringList() << QList<int> {-1, -1, -1, -1, -1, -1, 0};
    QTest::newRow("only sec.wav") << true << QStringList {"sec.wav"} << QStringList()
                                  << QList<int> {0, 0, 0, 0, 0, -1, 0};
    QTest::newRow("names differ in case") << true << QStringList {"OK.WAV", "Start.Wav"}
                                          << QStringList() << QList<int> {-1, 0, 0, 0, 0, 0, -1};
    QTest::newRow("a folder named ng.wav")
        << true << QStringList {"ok.wav"} << QStringList {"ng.wav"}
        << QList<int> {-1, 0, 0, 0, 0, 0, 0};
}

void TestAudio::foundFiles()
{
    QFETCH(bool, makeFolder);
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QList<int>, found);

    QTemporaryDir dir;
    if (makeFolder)
        QVERIFY(QDir().mkpath(soundFolder(dir)));
    for (const QString& name : files) {
        const auto it = std::find_if(kSoundFileNames.begin(), kSoundFileNames.end(),
                                     [&](const char* n) { return name.toLower() == n; });
        QVERIFY(it != kSoundFileNames.end());
        writeFile(dir, QStringLiteral("sound/") + name,
                  builtBytes(int(it - kSoundFileNames.begin())));
    }
    for (const QString& name : folders)
        QVERIFY(QDir(soundFolder(dir)).mkpath(name));
    FakeHost host;
    host.folder = dir.path();

    SetSound();

    // A missing file is no error; every file that is there loads.
    QCOMPARE(shownTexts(host), QStringList());
    QCOMPARE(foundFlags(), found);
    QCOMPARE(ringFlags(), found);
    for (int k = 0; k < kSoundFileCount; ++k)
        QCOMPARE(gSoundFiles[k].FilePath,
                 dir.path() + QStringLiteral("/sound/") + QString::fromLatin1(kSoundFileNames[k]));
    QCOMPARE(gSoundFiles[7].FilePath, QString());
    QCOMPARE(gSoundFiles[7].FileFound, 0);
    QCOMPARE(gSoundFiles[7].RingFlag, 0);

    // Found files play, whatever the case of their names; missing ones are silent. (sec.wav is
    // left out: it may be over before it is looked at.)
    for (int k = 0; k < kSoundFileCount; ++k) {
        if (k == kSoundSec)
            continue;
        PlaySoundEffect(k);
        QCOMPARE(audio::mixer().playing(k), found[k] != 0);
    }
}

void TestAudio::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");

    QByteArray garbage;
    quint32 seed = 12345;
    for (int i = 0; i < 5000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage.append(char(seed >> 24));
    }
    const QByteArray ng = builtBytes(kSoundNg);

    QTest::newRow("garbage bytes") << garbage << false;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("cut inside the header") << ng.left(30) << false;
    // SDL keeps whatever whole samples there are: the sound is just shorter.
    QTest::newRow("cut inside the samples") << ng.left(ng.size() / 2) << true;
}

void TestAudio::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);

    QTemporaryDir dir;
    copySounds(dir, {QStringLiteral("ng.wav")});
    writeFile(dir, QStringLiteral("sound/ng.wav"), bytes);
    FakeHost host;
    host.folder = dir.path();

    SetSound();

    if (loads) {
        QCOMPARE(shownTexts(host), QStringList());
    } else {
        QCOMPARE(host.messages.size(), 1u);
        QVERIFY2(kLoadError.match(host.messages[0].text).hasMatch(),
                 qPrintable(host.messages[0].text));
        QCOMPARE(host.messages[0].buttons, platform::Buttons::Ok);
        QCOMPARE(host.messages[0].icon, platform::Icon::None);
        QCOMPARE(host.messages[0].title, QString());
    }
    // The file was found: it stays switched on, and playing it is silence when it did not load.
    QCOMPARE(ringFlags(), QList<int>(kSoundFileCount, -1));
    PlaySoundEffect(kSoundNg);
    QCOMPARE(audio::mixer().playing(kSoundNg), loads);
    host.waitedMs = 0;
    if (!loads) {
        WaitSoundEffect(kSoundNg);
        QCOMPARE(host.waitedMs, 0);
    }
    // The other sounds are not affected.
    PlaySoundEffect(kSoundOk);
    QVERIFY(audio::mixer().playing(kSoundOk));
}

void TestAudio::deviceCannotOpen_data()
{
    QTest::addColumn<bool>("makeFolder");
    QTest::addColumn<QStringList>("leaveOut");
    QTest::addColumn<int>("loadErrors");

    QTest::newRow("all seven files") << true << QStringList() << 7;
    QTest::newRow("two missing") << true << QStringList {"ok.wav", "start.wav"} << 5;
    QTest::newRow("no sound folder") << false << QStringList() << 0;
}

void TestAudio::deviceCannotOpen()
{
    QFETCH(bool, makeFolder);
    QFETCH(QStringList, leaveOut);
    QFETCH(int, loadErrors);

    QTemporaryDir dir;
    if (makeFolder)
        copySounds(dir, leaveOut);
    FakeHost host;
    host.folder = dir.path();

    {
        const EnvironmentGuard driver("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "nosuchdriver");
        SetSound();
    }

    const QStringList texts = shownTexts(host);
    QCOMPARE(texts.size(), 2 + loadErrors);
    QVERIFY2(QRegularExpression(QStringLiteral("^DirectSoundCreate Error\\r\\n-\\d+\\r\\n\\S.*$"))
                 .match(texts[0])
                 .hasMatch(),
             qPrintable(texts[0]));
    QCOMPARE(texts[1], QStringLiteral("SetCooperativeLevel_Error:-1\r\nno audio device"));
    for (int i = 2; i < texts.size(); ++i)
        QVERIFY2(kLoadError.match(texts[i]).hasMatch(), qPrintable(texts[i]));
    for (const FakeHost::Message& m : host.messages) {
        QCOMPARE(m.buttons, platform::Buttons::Ok);
        QCOMPARE(m.icon, platform::Icon::None);
        QCOMPARE(m.title, QString());
    }

    // The game runs on in silence.
    for (int k = 0; k < kSoundFileCount; ++k) {
        const bool there = makeFolder && !leaveOut.contains(kSoundFileNames[k]);
        QCOMPARE(gSoundFiles[k].RingFlag, there ? -1 : 0);
        PlaySoundEffect(k);
        QVERIFY(!audio::mixer().playing(k));
        WaitSoundEffect(k);
    }
    QCOMPARE(host.waitedMs, 0);
}

void TestAudio::switchingOffKeepsPlayingSound()
{
    QTemporaryDir dir;
    copySounds(dir);
    FakeHost host;
    host.folder = dir.path();
    SetSound();

    PlaySoundEffect(kSoundStart);
    gSoundOn = 0;
    SetSoundRingFlag();
    QVERIFY(audio::mixer().playing(kSoundStart));

    // Off, a wait does not wait even for a sound that still plays.
    QElapsedTimer clock;
    clock.start();
    WaitSoundEffect(kSoundStart);
    QVERIFY(clock.elapsed() < 200);
    QCOMPARE(host.waitedMs, 0);
    QVERIFY(audio::mixer().playing(kSoundStart));

    PlaySoundEffect(kSoundOk);
    QVERIFY(!audio::mixer().playing(kSoundOk));
}

void TestAudio::messageTexts_data()
{
    QTest::addColumn<audio::Status>("open");
    QTest::addColumn<QList<int>>("failingLoads"); // each fails with code -10 - k
    QTest::addColumn<QStringList>("messages");

    const QString noDevice = QStringLiteral("error:-1\r\nAudio device hasn't been opened");
    QTest::newRow("all well") << audio::Status::success() << QList<int>() << QStringList();
    QTest::newRow("device fails") << audio::Status::failure(-2005401480, QStringLiteral("busy"))
                                  << QList<int>()
                                  << QStringList {"DirectSoundCreate Error\r\n-2005401480\r\nbusy",
                                                  "SetCooperativeLevel_Error:-1\r\nno audio device",
                                                  noDevice, noDevice};
    QTest::newRow("one load fails")
        << audio::Status::success() << QList<int> {5} << QStringList {"error:-15\r\nbad sec.wav"};
    QTest::newRow("two loads fail, in sound order")
        << audio::Status::success() << QList<int> {5, 0}
        << QStringList {"error:-10\r\nbad ok.wav", "error:-15\r\nbad sec.wav"};
    QTest::newRow("positive code")
        << audio::Status::failure(7, QStringLiteral("odd")) << QList<int>()
        << QStringList {"DirectSoundCreate Error\r\n7\r\nodd",
                        "SetCooperativeLevel_Error:-1\r\nno audio device", noDevice, noDevice};
}

void TestAudio::messageTexts()
{
    QFETCH(audio::Status, open);
    QFETCH(QList<int>, failingLoads);
    QFETCH(QStringList, messages);

    // Only ok.wav and sec.wav are there; the mixer never reads them.
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(soundFolder(dir)));
    writeFile(dir, QStringLiteral("sound/ok.wav"), "x");
    writeFile(dir, QStringLiteral("sound/sec.wav"), "x");
    FakeHost host;
    host.folder = dir.path();
    FakeMixer mixer;
    mixer.openResult = open;
    for (int k : failingLoads)
        mixer.loadResults[k] = audio::Status::failure(
            -10 - k, QStringLiteral("bad ") + QString::fromLatin1(kSoundFileNames[k]));

    SetSound();

    QCOMPARE(shownTexts(host), messages);
    QCOMPARE(mixer.opens, 1);
    QCOMPARE(mixer.loads.size(), 2u);
    QCOMPARE(mixer.loads[0].sound, int(kSoundOk));
    QCOMPARE(mixer.loads[0].path, dir.path() + QStringLiteral("/sound/ok.wav"));
    QCOMPARE(mixer.loads[1].sound, int(kSoundSec));
    QCOMPARE(mixer.loads[1].path, dir.path() + QStringLiteral("/sound/sec.wav"));
    // Failures change no flag: what was found stays switched on.
    QCOMPARE(ringFlags(), (QList<int> {-1, 0, 0, 0, 0, -1, 0}));
}

void TestAudio::ringFlagsFollowSwitch_data()
{
    QTest::addColumn<int>("onAtStart");
    QTest::addColumn<QList<int>>("switches"); // gSoundOn values set one after another
    QTest::addColumn<QList<int>>("ring");

    const QList<int> found {-1, 0, -1, -1, -1, 0, -1}; // ng.wav and sec.wav missing
    const QList<int> none(kSoundFileCount, 0);
    QTest::newRow("on") << -1 << QList<int>() << found;
    QTest::newRow("off at start") << 0 << QList<int>() << none;
    QTest::newRow("switched off") << -1 << QList<int> {0} << none;
    QTest::newRow("off, then on again") << -1 << QList<int> {0, -1} << found;
    QTest::newRow("off at start, then on") << 0 << QList<int> {-1} << found;
    QTest::newRow("any value but 0 is on") << 0 << QList<int> {1} << found;
}

void TestAudio::ringFlagsFollowSwitch()
{
    QFETCH(int, onAtStart);
    QFETCH(QList<int>, switches);
    QFETCH(QList<int>, ring);

    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(soundFolder(dir)));
    for (const char* name : {"ok.wav", "badend.wav", "end.wav", "goodend.wav", "start.wav"})
        writeFile(dir, QStringLiteral("sound/") + QString::fromLatin1(name), "x");
    FakeHost host;
    host.folder = dir.path();
    FakeMixer mixer;
    // Entry 7 belongs to no sound: nothing may write it.
    gSoundFiles[7] = {QStringLiteral("untouched"), 3, 5};

    gSoundOn = std::int16_t(onAtStart);
    SetSound();
    for (int on : switches) {
        gSoundOn = std::int16_t(on);
        SetSoundRingFlag();
    }

    QCOMPARE(ringFlags(), ring);
    QCOMPARE(foundFlags(), (QList<int> {-1, 0, -1, -1, -1, 0, -1}));
    QCOMPARE(gSoundFiles[7].FilePath, QStringLiteral("untouched"));
    QCOMPARE(gSoundFiles[7].FileFound, 3);
    QCOMPARE(gSoundFiles[7].RingFlag, 5);
}

void TestAudio::playOnlyWhenRinging()
{
    FakeHost host;
    FakeMixer mixer;
    mixer.installAllSounds();
    mixer.lengths[kSoundOk] = 100;

    gSoundOn = 0;
    SetSoundRingFlag();
    for (int k = 0; k < audio::kSlots; ++k)
        PlaySoundEffect(k);
    QCOMPARE(mixer.plays.size(), 0u);

    gSoundOn = -1;
    SetSoundRingFlag();
    PlaySoundEffect(7);
    PlaySoundEffect(-1);
    PlaySoundEffect(8);
    QCOMPARE(mixer.plays.size(), 0u);

    host.now = 1000;
    PlaySoundEffect(kSoundOk);
    host.now = 1050;
    PlaySoundEffect(kSoundOk);
    QVERIFY(mixer.playing(kSoundOk));
    host.now = 1100;
    QVERIFY(!mixer.playing(kSoundOk));
    PlaySoundEffect(kSoundOk);
    QCOMPARE(mixer.plays.size(), 3u);
    const std::array<std::pair<std::int32_t, bool>, 3> expected {
        {{1000, true}, {1050, false}, {1100, true}}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QCOMPARE(mixer.plays[i].sound, int(kSoundOk));
        QCOMPARE(mixer.plays[i].at, expected[i].first);
        QCOMPARE(mixer.plays[i].started, expected[i].second);
    }
}

void TestAudio::waitOnVirtualClock_data()
{
    QTest::addColumn<int>("length"); // ms the sound plays
    QTest::addColumn<int>("offAt"); // ms after which a handler switches sound off (-1: never)
    QTest::addColumn<int>("endAt"); // ms after which a handler ends the program (-1: never)
    QTest::addColumn<bool>("ringing"); // the flag when the wait starts
    QTest::addColumn<int>("returnsAt");

    QTest::newRow("until the sound ends") << 300 << -1 << -1 << true << 300;
    QTest::newRow("switched off meanwhile: still to the end") << 300 << 100 << -1 << true << 300;
    QTest::newRow("program ends meanwhile") << 300 << -1 << 100 << true << 100;
    QTest::newRow("already stopped") << 0 << -1 << -1 << true << 0;
    QTest::newRow("not ringing, though playing") << 300 << -1 << -1 << false << 0;
}

void TestAudio::waitOnVirtualClock()
{
    QFETCH(int, length);
    QFETCH(int, offAt);
    QFETCH(int, endAt);
    QFETCH(bool, ringing);
    QFETCH(int, returnsAt);

    FakeHost host;
    FakeMixer mixer;
    mixer.installAllSounds();
    mixer.lengths[kSoundEnd] = length;
    int timerRuns = 0;
    host.after(50, [&] { ++timerRuns; });
    if (offAt >= 0)
        host.after(offAt, [] {
            gSoundOn = 0;
            SetSoundRingFlag();
        });
    if (endAt >= 0)
        host.after(endAt, [&] { host.endProgram(); });

    PlaySoundEffect(kSoundEnd);
    if (!ringing)
        gSoundFiles[kSoundEnd].RingFlag = 0;
    WaitSoundEffect(kSoundEnd);

    // It sleeps in small steps: it returns soon after the moment, having let events run.
    QVERIFY2(host.now >= returnsAt && host.now <= returnsAt + 10,
             QByteArray::number(host.now).constData());
    QCOMPARE(timerRuns, returnsAt >= 50 ? 1 : 0);
    QCOMPARE(mixer.plays.size(), 1u);
}

QTEST_GUILESS_MAIN(TestAudio)
#include "test_audio.moc"
