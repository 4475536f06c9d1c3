// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Faults from outside the program, met through the real main window on the virtual clock: line
// files that vanish or turn into something else, broken or missing sound files, no audio
// device, no help, the window closed in the middle of a game, a thousand games in a row. The
// player is told what went wrong where it matters, the program stays alive or ends cleanly, and
// nothing is written to disk.

#include "commandline.h"
#include "envguard.h"
#include "fakehost.h"
#include "fakemixer.h"
#include "folders.h"
#include "fonts.h"
#include "frmmain.h"
#include "frmscorelist.h"
#include "gamedriver.h"
#include "gamestate.h"
#include "kanalineedit.h"
#include "mixer.h"
#include "panelstatusbar.h"
#include "resetglobals.h"
#include "sound.h"
#include "stationtable.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define TABIDORI_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TABIDORI_ASAN 1
#endif
#endif

namespace {

const QString kBuiltSounds = QStringLiteral(TABIDORI_BUILD_SOUND_DIR);
const QString kNoLineFile = QStringLiteral("路線ファイルが存在しません。\r\n");
const QString kNoMarker = QStringLiteral("路線ファイルに「###」だけの行がありません。"
                                         "駅は「###」の行の次から1行に1駅ずつ書きます。\r\n%1");
const QString kStartGuide
    = QStringLiteral("ゲームをはじめるには「ゲーム｣メニューの「スタート」を選択します。");
const QString kChooseGuide = QStringLiteral("路線ファイルを選択してください。");
const QString kEndGuide = QStringLiteral("終点につきました");

QtMessageHandler previousHandler = nullptr;

// The offscreen platform says this of every dialog it shows; a thousand games would bury the
// test's own output under it.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    previousHandler(type, context, text);
}

// Every entry under root with its kind, size and time of change, sorted.
QStringList listing(const QString& root)
{
    QStringList out;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi = it.nextFileInfo();
        QString what;
        if (fi.isSymLink())
            what = QStringLiteral("link to ") + fi.symLinkTarget();
        else if (fi.isDir())
            what = QStringLiteral("folder");
        else
            what = QString::number(fi.size()) + QStringLiteral(" bytes, changed ")
                + QString::number(fi.lastModified().toMSecsSinceEpoch());
        out << base.relativeFilePath(fi.filePath()) + QStringLiteral(": ") + what;
    }
    out.sort();
    return out;
}

// What the program could have written to: its own folder and the current folder.
struct DiskState
{
    QStringList program;
    QStringList current;

    static DiskState of(const QString& programFolder)
    {
        return {listing(programFolder), listing(QDir::currentPath())};
    }
};

// "" when nothing changed, else what did.
QString diskChanges(const DiskState& before, const QString& programFolder)
{
    const DiskState after = DiskState::of(programFolder);
    QStringList changes;
    const auto compare = [&](const QStringList& a, const QStringList& b, const QString& where) {
        for (const QString& e : a)
            if (!b.contains(e))
                changes << where + QStringLiteral(" lost ") + e;
        for (const QString& e : b)
            if (!a.contains(e))
                changes << where + QStringLiteral(" gained ") + e;
    };
    compare(before.program, after.program, QStringLiteral("program folder"));
    compare(before.current, after.current, QStringLiteral("current folder"));
    return changes.join(u'\n');
}

QByteArray randomBytes(qsizetype size, std::uint32_t seed)
{
    QByteArray out(size, Qt::Uninitialized);
    std::mt19937 gen(seed);
    for (qsizetype i = 0; i < size; i += 4) {
        const std::uint32_t v = gen();
        for (qsizetype j = 0; j < 4 && i + j < size; ++j)
            out[i + j] = char((v >> (8 * j)) & 0xFF);
    }
    return out;
}

QStringList stationLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("駅%1,えき%1").arg(i);
    return lines;
}

QByteArray lineFileBytes(const QString& name, const QStringList& stations)
{
    return toCp932((QStringList {name, QStringLiteral("###")} + stations).join("\r\n"));
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

bool tableEmpty()
{
    return std::all_of(StationTable.begin(), StationTable.end(), [](const StationRecord& r) {
        return r.StationName.isEmpty() && r.Reading.isEmpty() && r.Extra.isEmpty();
    });
}

QStringList messageTexts(const FakeHost& host)
{
    QStringList out;
    for (const FakeHost::Message& m : host.messages)
        out << m.text;
    return out;
}

// Resident set size in kilobytes.
long residentKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().simplified().split(' ');
    return fields.value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

// Offset of a wave file's "data" chunk body, 0 when there is none.
qsizetype waveDataOffset(const QByteArray& b)
{
    qsizetype at = 12;
    while (at + 8 <= b.size()) {
        const quint32 size = quint32(uchar(b[at + 4])) | quint32(uchar(b[at + 5])) << 8
            | quint32(uchar(b[at + 6])) << 16 | quint32(uchar(b[at + 7])) << 24;
        if (b.mid(at, 4) == "data")
            return at + 8;
        at += 8 + qsizetype(size) + qsizetype(size & 1);
    }
    return 0;
}

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void lineFileGone_data();
    void lineFileGone();
    void lineFileReplaced_data();
    void lineFileReplaced();
    void soundFaults_data();
    void soundFaults();
    void helpMissing_data();
    void helpMissing();
    void interruptions_data();
    void interruptions();
    void manyGames();
    void historyMovedAsideSaidAtOnce();

private:
    void chooseLine(const QString& path);
    void useRealMixer();

    QTemporaryDir cwd_;
    QString oldCwd_;
    std::unique_ptr<QTemporaryDir> folder_;
    FakeHost* host_ = nullptr;
    FakeMixer* mixer_ = nullptr;
    TestWindow* w_ = nullptr;
};

void TestFaults::initTestCase()
{
    platform::registerFontSubstitutions();
    previousHandler = qInstallMessageHandler(quietHandler);
    // Run directly, the real mixer would otherwise play through the machine's speakers.
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QVERIFY2(QFile::exists(kBuiltSounds + "/start.wav"), "build the sound_folder target first");
    // A current folder of our own, so that anything written there is seen.
    QVERIFY(cwd_.isValid());
    oldCwd_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(cwd_.path()));
}

void TestFaults::cleanupTestCase()
{
    QDir::setCurrent(oldCwd_);
    qInstallMessageHandler(previousHandler);
}

void TestFaults::init()
{
    ResetGlobals();
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    host_ = new FakeHost;
    host_->folder = folder_->path();
    mixer_ = new FakeMixer;
    w_ = new TestWindow;
}

void TestFaults::cleanup()
{
    delete w_;
    w_ = nullptr;
    delete mixer_;
    mixer_ = nullptr;
    delete host_;
    host_ = nullptr;
    ResetSound();
    folder_.reset();
    // The host has gone; so must the ending it was told of.
    QVERIFY(!platform::ending());
}

void TestFaults::chooseLine(const QString& path)
{
    host_->dialogAnswer = path;
    w_->mnuLine_Click();
}

void TestFaults::useRealMixer()
{
    delete mixer_;
    mixer_ = nullptr;
    audio::setMixer(nullptr);
    audio::resetMixers();
}

// ---- Line files

void TestFaults::lineFileGone_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("file removed") << "remove";
    QTest::newRow("its folder removed") << "remove folder";
    QTest::newRow("replaced by a broken link") << "broken link";
}

void TestFaults::lineFileGone()
{
    QFETCH(QString, how);
    w_->Form_Load(QString());
    mixer_->installAllSounds();
    QVERIFY(QDir(folder_->path()).mkpath("lines"));
    const QString path = writeLineFile(*folder_, "lines/gone.txt",
                                       QStringList {"消える線", "###"} + stationLines(3));
    chooseLine(path);
    QCOMPARE(gStationCount, 3);

    if (how == "remove") {
        QVERIFY(QFile::remove(path));
    } else if (how == "remove folder") {
        QVERIFY(QDir(folder_->filePath("lines")).removeRecursively());
    } else {
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link(folder_->filePath("nowhere.txt"), path));
    }
    host_->messages.clear();
    const QString guide = w_->sbStatusBar->panelText("Guide");
    const DiskState before = DiskState::of(folder_->path());
    Player player(*host_, *w_);
    player.answerTick = 1;
    ScoreWatcher score;
    w_->mnuGameStart_Click();

    QCOMPARE(messageTexts(*host_), QStringList {kNoLineFile + path});
    QCOMPARE(host_->messages[0].icon, platform::Icon::Exclamation);
    QCOMPARE(host_->beeps, 1);
    // No game: no sound, no plate, no time, the controls and the guide as they were.
    QVERIFY(mixer_->plays.empty());
    QCOMPARE(player.plates, 0);
    QCOMPARE(host_->waitedMs, 0);
    QCOMPARE(score.opened, 0);
    QVERIFY(w_->mnuGameStart->isEnabled() && !w_->mnuGameStop->isEnabled());
    QVERIFY(w_->mnuLine->isEnabled() && w_->cmbGameMode->isEnabled());
    QCOMPARE(w_->sbStatusBar->panelText("Guide"), guide);
    QVERIFY(!GameRunning());
    const QString changes = diskChanges(before, folder_->path());
    QVERIFY2(changes.isEmpty(), qPrintable(changes));
}

void TestFaults::lineFileReplaced_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("afterChoosing");
    // The load's message ("" when it loads quietly), with %1 for the path; "+" at its end
    // stands for the system's reason on a line of its own.
    QTest::addColumn<QString>("loadMessage");
    QTest::addColumn<int>("stations");
    // The start command's refusal ("" when the game runs), with %1 for the path. A refused
    // file leaves no line file behind, so the start asks for one.
    QTest::addColumn<QString>("gameMessage");

    const QString tooMany
        = QStringLiteral("駅が多すぎます。読み込めるのは 1001 駅までです。\r\n%1");
    struct Fault
    {
        const char* name;
        QString loadMessage;
        int stations;
        QString gameMessage;
    };
    QList<Fault> faults {
        {"folder", QStringLiteral("路線ファイルではなくフォルダです。\r\n%1"), 0, kNoLineFile},
        {"unreadable", QStringLiteral("路線ファイルを読み込めません。\r\n%1+"), 0, kNoLineFile},
        {"10 MB of random bytes", kNoMarker, 0, kNoLineFile},
        {"random bytes after the marker", tooMany, 0, kNoLineFile},
        {"1002 stations", tooMany, 0, kNoLineFile},
        {"1001 stations", QString(), 1001, QString()},
        {"lines of 100000 characters", QString(), 2, QString()},
        {"a first line of 1 MB",
         QStringLiteral("路線ファイルの 1 行目が長すぎます。1行は 256 KB までです。\r\n%1"), 0,
         kNoLineFile},
    };
    // Root reads any file whatever its permissions; only others can meet this fault.
    if (geteuid() != 0)
        faults.append({"no read permission", QStringLiteral("路線ファイルを開けません。\r\n%1+"), 0,
                       kNoLineFile});
    for (const Fault& f : faults) {
        QTest::addRow("%s, chosen", f.name)
            << QString::fromLatin1(f.name) << false << f.loadMessage << f.stations << f.gameMessage;
    }
    // Replaced once loaded: the game plays the table already read, as long as a file is there.
    for (const Fault& f : faults) {
        const bool folder = QLatin1String(f.name) == QLatin1String("folder");
        QTest::addRow("%s, after choosing", f.name)
            << QString::fromLatin1(f.name) << true << QString() << 3
            << (folder ? kNoLineFile + "%1" : QString());
    }
}

void TestFaults::lineFileReplaced()
{
    QFETCH(QString, fault);
    QFETCH(bool, afterChoosing);
    QFETCH(QString, loadMessage);
    QFETCH(int, stations);
    QFETCH(QString, gameMessage);

    w_->Form_Load(QString());
    mixer_->installAllSounds();
    QString path = folder_->filePath("line.txt");
    if (afterChoosing) {
        writeBytes(path, lineFileBytes("良い線", stationLines(3)));
        chooseLine(path);
        QCOMPARE(gStationCount, 3);
        QVERIFY(QFile::remove(path));
    }

    if (fault == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (fault == "unreadable") {
        // Opens, but every read fails, for root as well.
        if (afterChoosing)
            QVERIFY(QFile::link("/proc/self/mem", path));
        else
            path = QStringLiteral("/proc/self/mem");
    } else if (fault == "no read permission") {
        writeBytes(path, lineFileBytes("読めない線", stationLines(3)));
        QVERIFY(QFile::setPermissions(path, {}));
    } else if (fault == "10 MB of random bytes") {
        writeBytes(path, randomBytes(10 * 1024 * 1024, 20240611));
    } else if (fault == "random bytes after the marker") {
        writeBytes(path, "L\r\n###\r\n" + randomBytes(10 * 1024 * 1024, 7));
    } else if (fault == "1002 stations") {
        writeBytes(path, lineFileBytes("長い路線", stationLines(1002)));
    } else if (fault == "1001 stations") {
        writeBytes(path, lineFileBytes("長い路線", stationLines(1001)));
    } else if (fault == "lines of 100000 characters") {
        // Readings short enough for the answer box, which holds 32767 characters.
        const QString nameLine = QString(90000, u'長') + ',' + QString(9999, u'な');
        const QString extraLine
            = QString(1000, u'駅') + ',' + QString(1000, u'え') + ',' + QString(97998, u'x');
        writeBytes(
            path,
            toCp932(QStringList {QString(100000, u'線'), "###", nameLine, extraLine}.join("\r\n")));
    } else if (fault == "a first line of 1 MB") {
        writeBytes(path, QByteArray(1024 * 1024, 'L') + "\r\n###\r\na,b\r\n");
    } else {
        QFAIL("unknown fault");
    }

    const DiskState before = DiskState::of(folder_->path());
    host_->messages.clear();
    if (!afterChoosing) {
        chooseLine(path);
        QStringList expected;
        if (!loadMessage.isEmpty())
            expected << loadMessage.arg(path);
        QStringList shown = messageTexts(*host_);
        // The system's reason follows on a line of its own; its wording is the system's.
        if (expected.size() == 1 && expected[0].endsWith(u'+') && shown.size() == 1) {
            expected[0].chop(1);
            const qsizetype reasonAt = expected[0].size() + 2;
            QVERIFY2(shown[0].startsWith(expected[0] + "\r\n") && shown[0].size() > reasonAt,
                     qPrintable(shown[0]));
            shown[0] = expected[0];
        }
        QCOMPARE(shown, expected);
        for (const FakeHost::Message& m : host_->messages)
            QCOMPARE(m.icon, platform::Icon::Exclamation);
        QCOMPARE(gStationCount, stations);
        QCOMPARE(w_->sbStatusBar->panelText("Guide"),
                 loadMessage.isEmpty() ? kStartGuide : kChooseGuide);
        if (!loadMessage.isEmpty())
            QVERIFY(tableEmpty());
    }
    QCOMPARE(gStationCount, stations);

    host_->messages.clear();
    const int beeps = host_->beeps;
    Player player(*host_, *w_);
    player.answerTick = 1;
    ScoreWatcher score;
    w_->mnuGameStart_Click();

    QVERIFY(!GameRunning());
    QVERIFY(!platform::ending());
    QVERIFY(!score.stuck);
    if (!gameMessage.isEmpty()) {
        if (gameMessage.contains("%1"))
            gameMessage = gameMessage.arg(path);
        QCOMPARE(messageTexts(*host_), QStringList {gameMessage});
        QCOMPARE(host_->beeps, beeps + 1);
        QVERIFY(mixer_->plays.empty());
        QCOMPARE(player.plates, 0);
        QCOMPARE(score.opened, 0);
    } else {
        // Every question asked and answered right, then the score window.
        QVERIFY(messageTexts(*host_).isEmpty());
        QCOMPARE(player.plates, stations);
        QCOMPARE(GetOKcount(), stations);
        QCOMPARE(gCorrectRate, 1.0f);
        QCOMPARE(w_->sbStatusBar->panelText("Guide"), kEndGuide);
        QCOMPARE(score.opened, 1);
    }
    QVERIFY(w_->mnuGameStart->isEnabled() && w_->mnuLine->isEnabled());
    const QString changes = diskChanges(before, folder_->path());
    QVERIFY2(changes.isEmpty(), qPrintable(changes));
}

// ---- Sound files and device

void TestFaults::soundFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("messages"); // patterns, in order
    QTest::addColumn<QList<int>>("ringing"); // ring flags of sounds 0 to 6 after loading
    QTest::addColumn<QList<int>>("heard"); // sounds that must play during the game
    QTest::addColumn<QList<int>>("silent"); // sounds that must never play

    const QString loadError = QStringLiteral("^error:-\\d+\\r\\n\\S.*$");
    const QList<int> all {0, 1, 2, 3, 4, 5, 6};
    const QList<int> none(7, 0);
    const QList<int> every(7, -1);
    QTest::newRow("no sound folder") << "no folder" << QStringList() << none << QList<int>() << all;
    // The device is there: the sounds that loaded do play.
    QTest::newRow("start.wav cut in its header")
        << "header" << QStringList {loadError} << every << QList<int> {0, 4} << QList<int> {6};
    QTest::newRow("start.wav cut in its samples")
        << "samples" << QStringList() << every << QList<int> {6, 0, 4} << QList<int>();
    QTest::newRow("goodend.wav not a wave")
        << "not a wave" << QStringList {loadError} << every << QList<int> {6, 0} << QList<int> {4};
    QStringList noDevice {"^DirectSoundCreate Error\\r\\n-\\d+\\r\\n\\S.*$",
                          "^SetCooperativeLevel_Error:-1\\r\\nno audio device$"};
    for (int k = 0; k < 7; ++k)
        noDevice << loadError;
    QTest::newRow("no audio device") << "no device" << noDevice << every << QList<int>() << all;
}

void TestFaults::soundFaults()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, messages);
    QFETCH(QList<int>, ringing);
    QFETCH(QList<int>, heard);
    QFETCH(QList<int>, silent);

    useRealMixer();
    if (fault != "no folder") {
        QVERIFY(QDir(folder_->path()).mkpath("sound"));
        for (const char* name : kSoundFileNames)
            writeBytes(folder_->filePath(QStringLiteral("sound/") + name),
                       readBytes(kBuiltSounds + '/' + name));
    }
    const QString start = folder_->filePath("sound/start.wav");
    if (fault == "header") {
        writeBytes(start, readBytes(start).left(20)); // inside the format chunk
    } else if (fault == "samples") {
        // The header still promises the whole length; a tenth of the samples is there.
        const QByteArray bytes = readBytes(start);
        const qsizetype data = waveDataOffset(bytes);
        QVERIFY(data > 0);
        writeBytes(start, bytes.left(data + (bytes.size() - data) / 10));
    } else if (fault == "not a wave") {
        writeBytes(folder_->filePath("sound/goodend.wav"), "This is a text, not a sound.\r\n");
    }
    writeLineFile(*folder_, "line.txt", QStringList {"音の線", "###"} + stationLines(2));

    const DiskState before = DiskState::of(folder_->path());
    if (fault == "no device") {
        const EnvironmentGuard driver("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "nosuchdriver");
        w_->Form_Load(QString());
    } else {
        w_->Form_Load(QString());
    }
    const QStringList shown = messageTexts(*host_);
    QCOMPARE(shown.size(), messages.size());
    for (int i = 0; i < shown.size(); ++i)
        QVERIFY2(QRegularExpression(messages[i]).match(shown[i]).hasMatch(), qPrintable(shown[i]));
    QList<int> flags;
    for (int k = 0; k < kSoundFileCount; ++k)
        flags << gSoundFiles[k].RingFlag;
    QCOMPARE(flags, ringing);

    chooseLine(folder_->filePath("line.txt"));
    host_->messages.clear();
    Player player(*host_, *w_);
    player.answerTick = 1;
    std::set<int> played;
    player.onAnyWait = [&](int) {
        for (int k = 0; k < kSoundFileCount; ++k)
            if (audio::mixer().playing(k))
                played.insert(k);
    };
    ScoreWatcher score;
    w_->mnuGameStart_Click();

    // The whole game, with no message on the way.
    QVERIFY(messageTexts(*host_).isEmpty());
    QCOMPARE(player.plates, 2);
    QCOMPARE(gCorrectRate, 1.0f);
    QCOMPARE(w_->sbStatusBar->panelText("Guide"), kEndGuide);
    QCOMPARE(score.opened, 1);
    for (int k : heard)
        QVERIFY2(played.count(k), kSoundFileNames[k]);
    for (int k : silent)
        QVERIFY2(!played.count(k), kSoundFileNames[k]);
    // Without sounds to wait for, only the two questions' ticks take time.
    if (heard.isEmpty())
        QCOMPARE(host_->waitedMs, 2 * 101);
    const QString changes = diskChanges(before, folder_->path());
    QVERIFY2(changes.isEmpty(), qPrintable(changes));
}

// ---- Help

void TestFaults::helpMissing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("no help folder") << "none";
    QTest::newRow("help is a file") << "file";
    QTest::newRow("pages are folders") << "folders";
}

void TestFaults::helpMissing()
{
    QFETCH(QString, how);
    if (how == "file") {
        writeFile(*folder_, "help", "<html></html>");
    } else if (how == "folders") {
        QVERIFY(QDir(folder_->path()).mkpath("help/index.htm"));
        QVERIFY(QDir(folder_->path()).mkpath("help/index0.htm"));
    }
    const DiskState before = DiskState::of(folder_->path());
    w_->mnuHelpHelp->trigger();
    QCOMPARE(messageTexts(*host_),
             (QStringList {"ヘルプがありません。別途入手してください。\r\nhttps://"
                           "tabidori.example.org/",
                           "ヘルプ前紙もありません。再インストールしてください。\r\n"}));
    QVERIFY(host_->opened.isEmpty());
    QVERIFY(!platform::ending());
    const QString changes = diskChanges(before, folder_->path());
    QVERIFY2(changes.isEmpty(), qPrintable(changes));
}

// A history that cannot be read is kept under another name and a new one begun: the player
// hears of it as the window appears, not first after a game (or never, quitting without one).
void TestFaults::historyMovedAsideSaidAtOnce()
{
    const QString folder = platform::dataFolder();
    QVERIFY(QDir().mkpath(folder));
    const auto clean = qScopeGuard([&] { QDir(folder).removeRecursively(); });
    writeFile(folder, QStringLiteral("history.sqlite"), "not a database, only some words");
    w_->Form_Load(QString());
    QCOMPARE(messageTexts(*host_).size(), 1);
    QVERIFY(messageTexts(*host_).first().contains(u"別の名前で残して"));
    QCOMPARE(QDir(folder).entryList({"history-broken-*"}).size(), 1);
}

// ---- Closing and stopping in the middle

void TestFaults::interruptions_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<bool>("close"); // the window closes; else the stop command
    QTest::newRow("stop during the start sound") << "start sound" << false;
    QTest::newRow("close during the start sound") << "start sound" << true;
    QTest::newRow("close during a question") << "question" << true;
    QTest::newRow("close during the end sound") << "end sound" << true;
    QTest::newRow("close while the score window is open") << "score window" << true;
}

void TestFaults::interruptions()
{
    QFETCH(QString, when);
    QFETCH(bool, close);

    w_->Form_Load(QString());
    mixer_->installAllSounds();
    mixer_->lengths[kSoundStart] = 2000;
    mixer_->lengths[kSoundGoodEnd] = 2000;
    chooseLine(writeLineFile(*folder_, "line.txt", QStringList {"線", "###"} + stationLines(3)));
    const DiskState before = DiskState::of(folder_->path());

    bool done = false;
    std::size_t playsAtClose = 0;
    int waitsAtClose = 0;
    int platesAtClose = 0;
    Player player(*host_, *w_);
    player.answerTick = 1;
    player.answerTick = 10;
    const auto interrupt = [&] {
        done = true;
        playsAtClose = mixer_->plays.size();
        waitsAtClose = player.waits;
        platesAtClose = player.plates;
        if (close)
            w_->close();
        else
            w_->mnuGameStop->trigger();
    };
    player.onAnyWait = [&](int) {
        if (done)
            return;
        const bool startSound = player.plates == 0 && host_->now >= 500;
        const bool endSound = !mixer_->plays.empty() && mixer_->plays.back().sound == kSoundGoodEnd;
        if ((when == "start sound" && startSound) || (when == "end sound" && endSound))
            interrupt();
    };
    player.onTick = [&](int station, int tick) {
        if (!done && when == "question" && station == 1 && tick == 5)
            interrupt();
    };
    ScoreWatcher score([&](frmScoreList& window) {
        if (when == "score window")
            interrupt();
        else
            window.accept();
    });
    w_->mnuGameStart_Click();

    QVERIFY(done);
    QVERIFY(!GameRunning());
    QVERIFY(!score.stuck);
    // The score window opens only for a game that reached it, and no other comes.
    QCOMPARE(score.opened, when == "score window" ? 1 : 0);
    for (QWidget* top : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<frmScoreList*>(top) || !top->isVisible());
    if (close) {
        QVERIFY(platform::ending());
        QCOMPARE(host_->endCalls, 1);
        QCOMPARE(mixer_->stopAllCalls, 1);
        QVERIFY(!w_->isVisible());
        // The game loop returned at once: no wait, no sound, no plate after the close.
        QCOMPARE(player.waits, waitsAtClose);
        QCOMPARE(mixer_->plays.size(), playsAtClose);
        QCOMPARE(player.plates, platesAtClose);
    } else {
        // The game notices the stop at the first tick of the first question, once the start
        // sound is over, after that question's plate.
        QVERIFY(!platform::ending());
        QCOMPARE(w_->sbStatusBar->panelText("Guide"), QStringLiteral("中断しました"));
        QCOMPARE(w_->sbStatusBar->panelText("StaPlace"), QStringLiteral("1 / 3"));
        QCOMPARE(player.plates, 1);
        QCOMPARE(gCurrentStation, 0);
        QVERIFY(host_->now >= 2000 && host_->now < 2300);
        QCOMPARE(mixer_->plays.size(), playsAtClose);
        QVERIFY(w_->mnuGameStart->isEnabled() && !w_->mnuGameStop->isEnabled());
    }
    QVERIFY(host_->messages.empty());
    const QString changes = diskChanges(before, folder_->path());
    QVERIFY2(changes.isEmpty(), qPrintable(changes));
}

// ---- Many games

void TestFaults::manyGames()
{
    constexpr int kGames = 1000;
#ifdef TABIDORI_ASAN
    // AddressSanitizer holds freed memory back in a quarantine of its own, so the resident
    // size grows with churn whatever the program does; its leak check at exit stands in.
    constexpr bool compareResident = false;
#else
    constexpr bool compareResident = true;
#endif
    w_->Form_Load(QString());
    mixer_->installAllSounds();
    chooseLine(writeLineFile(*folder_, "line.txt", QStringList {"線", "###"} + stationLines(1)));
    const DiskState before = DiskState::of(folder_->path());

    int game = 0;
    Player player(*host_, *w_);
    player.answerTick = 1;
    // Every other game is stopped in its question instead of answered.
    player.onTick = [&](int, int tick) {
        if (tick == 1 && game % 2 == 1)
            w_->mnuGameStop->trigger();
    };
    ScoreWatcher score;
    long firstKb = 0;
    qsizetype firstWindows = 0;
    for (game = 0; game < kGames; ++game) {
        w_->mnuGameStart_Click();
        if (game == 0) {
            firstKb = residentKb();
            firstWindows = QApplication::topLevelWidgets().size();
        }
    }
    const long lastKb = residentKb();
    qInfo("resident set after the first game: %ld kB, after game %d: %ld kB", firstKb, kGames,
          lastKb);

    QCOMPARE(player.plates, kGames);
    QCOMPARE(score.opened, kGames / 2);
    QVERIFY(!score.stuck);
    QVERIFY(host_->messages.empty());
    QVERIFY(!GameRunning());
    // Every score window went with its game.
    QCOMPARE(QApplication::topLevelWidgets().size(), firstWindows);
    QVERIFY(firstKb > 0);
    if (compareResident)
        QVERIFY2(lastKb <= firstKb + firstKb / 20, "the resident set grew by more than 5%");
    else
        qInfo("built with AddressSanitizer: resident sizes not compared");
    const QString changes = diskChanges(before, folder_->path());
    QVERIFY2(changes.isEmpty(), qPrintable(changes));
}

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
