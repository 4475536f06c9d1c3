// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark of Tabidori: what the program costs while a question waits, how true its
// question clock runs, how fast it starts, loads, draws, reports and sounds, and how much
// memory it holds. It prints the machine it ran on and one markdown table, each figure beside
// its target. bench/run builds it in release mode and runs it.
//
// Options:
//   --full             also play a whole 30-station game with no answers (about 5 minutes)
//   --only 1,3,...     run only the figures listed
//   --program PATH     the program whose start-up is timed (default: the one built beside)
//   --build-dir DIR    the build folder whose "sound" folder holds the built wave files
//
// Only getrusage, /proc and a monotonic clock are used, so it runs on any machine without
// performance counters. Figure 3 starts its own Xvfb and watches and drives the program through
// an X connection of its own.

#include "fonts.h"
#include "frmmain.h"
#include "frmscorelist.h"
#include "gameloop.h"
#include "gamestate.h"
#include "host.h"
#include "kanalineedit.h"
#include "linecatalogue.h"
#include "plate.h"
#include "platewidget.h"
#include "qthost.h"
#include "scorereport.h"
#include "sdlmixer.h"
#include "sound.h"
#include "stationtable.h"
#include "testfiles.h"
#include "twips.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <poll.h>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef TABIDORI_BENCH_BUILD_DIR
#define TABIDORI_BENCH_BUILD_DIR ""
#endif
#ifndef TABIDORI_BENCH_PROGRAM
#define TABIDORI_BENCH_PROGRAM ""
#endif
#ifndef TABIDORI_BENCH_BUILD_TYPE
#define TABIDORI_BENCH_BUILD_TYPE ""
#endif

namespace {

// ---- Settings

// A question's CPU is sampled from this long after its plate is drawn, for this long: clear of
// the drawing at its start and of the next question.
constexpr int kCpuSampleDelayMs = 1000;
constexpr int kCpuSampleMs = 5000;
// Plates drawn in each unanswered game: three plates are two whole questions.
constexpr int kUnansweredPlates = 3;
constexpr int kFullGameStations = 30;
constexpr int kBigLineStations = kStationTableSize;
constexpr int kDataRuns = 50;
constexpr int kStartupRuns = 10;
constexpr int kSoundPlays = 20;
constexpr int kIdleRuns = 5;

struct Setup
{
    bool full = false;
    QSet<int> only; // empty: every figure
    QString program;
    QString buildDir;

    bool wants(int figure) const { return only.isEmpty() || only.contains(figure); }
};

[[noreturn]] void fail(const QString& why)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(why));
    std::fflush(stderr);
    std::exit(2);
}

void progress(const QString& what)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(what));
    std::fflush(stderr);
}

// ---- Clocks and counters

// One monotonic clock for the whole process; the audio thread reads it too.
QElapsedTimer gClock;

double nowMs()
{
    return double(gClock.nsecsElapsed()) / 1e6;
}

long peakResidentKiB()
{
    rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// The resident set from a statm file ("/proc/self/statm" or "/proc/<pid>/statm"), in KiB.
long residentKiB(const QString& statmPath)
{
    QFile f(statmPath);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    if (fields.size() < 2)
        return -1;
    return fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

double minOf(const std::vector<double>& v)
{
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

double maxOf(const std::vector<double>& v)
{
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString mib(long kib)
{
    return fixed(double(kib) / 1024.0, 1) + QStringLiteral(" MiB");
}

// ---- The table

struct Row
{
    QString figure;
    QString measured;
    QString target;
    QString met; // "yes", "no", or "—" where there is no target
    QString notes;
};

QString verdict(bool met)
{
    return met ? QStringLiteral("yes") : QStringLiteral("**no**");
}

const QString kNoTarget = QStringLiteral("—");

void printTable(const std::vector<Row>& rows)
{
    std::printf("| Figure | Measured | Target | Met | Notes |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const Row& r : rows) {
        std::printf("| %s | %s | %s | %s | %s |\n", qPrintable(r.figure), qPrintable(r.measured),
                    qPrintable(r.target), qPrintable(r.met), qPrintable(r.notes));
    }
    std::fflush(stdout);
}

// ---- Line files

// A made-up station: two or three kanji for the name, three to five kana for the reading,
// varied by index so that plates and report rows differ in width as real ones do.
QString stationName(int i)
{
    static const QString kanji = QStringLiteral("東西南北本新大中上下山川田町原宮島橋野台");
    QString name;
    name += kanji[i % 20];
    name += kanji[(i / 20) % 20];
    if (i % 3 == 0)
        name += kanji[(i / 7) % 20];
    return name;
}

QString stationReading(int i)
{
    static const QString kana = QStringLiteral("かきくけこさしすせそたちつてとなにぬねの");
    QString reading;
    const int length = 3 + i % 3;
    for (int k = 0; k < length; ++k)
        reading += kana[(i * 7 + k * 13) % 20];
    return reading;
}

// Writes a line of `stations` stations into folder as CP932 with CR LF breaks; returns its path.
QString writeLineFile(const QString& folder, int stations)
{
    QStringList lines {QStringLiteral("ベンチマーク線"),
                       QStringLiteral("計測のために作った%1駅の路線。").arg(stations),
                       QStringLiteral("###")};
    for (int i = 0; i < stations; ++i)
        lines << stationName(i) + u',' + stationReading(i);
    const QString path = QDir(folder).filePath(QStringLiteral("bench%1.txt").arg(stations));
    QFile f(path);
    const QByteArray bytes = toCp932(lines.join(QStringLiteral("\r\n")));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write ") + path);
    return path;
}

// Length of a PCM wave file in seconds, from its header and data size.
double waveSeconds(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0.0;
    const QByteArray b = f.readAll();
    auto le32 = [&](qsizetype at) {
        return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8
            | quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
    };
    quint32 byteRate = 0;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = le32(at + 4);
        if (id == "fmt " && at + 16 <= b.size())
            byteRate = le32(at + 8 + 8);
        if (id == "data" && byteRate)
            return double(size) / byteRate;
        at += 8 + size + (size & 1);
    }
    return 0.0;
}

// ---- Hosts and windows

// The real Qt platform, with the program folder set by the benchmark, the line dialog answered
// with a prepared file, and a message box taken as a failure: nobody is there to close it.
class BenchHost : public platform::QtHost
{
public:
    explicit BenchHost(QString programFolder) : folder_(std::move(programFolder)) { }

    QString programFolder() override { return folder_; }
    QString openFileName(const platform::FileDialogSettings&) override { return chosenFile; }
    platform::Answer messageBox(const QString& text, platform::Buttons, platform::Icon,
                                const QString&) override
    {
        fail(QStringLiteral("unexpected message box: ") + text);
    }

    QString chosenFile;

private:
    QString folder_;
};

// A virtual clock for games that would otherwise take hours: a wait advances the counter by
// its length at once and delivers pending events once.
class VirtualClockHost : public BenchHost
{
public:
    using BenchHost::BenchHost;

    std::int32_t tickCount() override { return std::int32_t(std::uint32_t(now_)); }
    void waitForEvents(int ms) override
    {
        now_ += ms;
        if (onWait)
            onWait();
        processEvents();
    }

    std::function<void()> onWait;

private:
    std::int64_t now_ = 0;
};

// Installs a host for the lifetime of the object.
class ScopedHost
{
public:
    explicit ScopedHost(platform::Host* host) { platform::setHost(host); }
    ~ScopedHost() { platform::setHost(nullptr); }
    ScopedHost(const ScopedHost&) = delete;
    ScopedHost& operator=(const ScopedHost&) = delete;
};

// The main window, telling the benchmark when a plate is drawn (a question begins) and when a
// sound is asked for.
class BenchWindow : public frmMain
{
public:
    void drawPlate(std::int32_t index) override
    {
        if (onPlate)
            onPlate(index);
        frmMain::drawPlate(index);
    }
    void playSound(int sound) override
    {
        if (onSound)
            onSound(sound);
        frmMain::playSound(sound);
    }

    std::function<void(std::int32_t)> onPlate;
    std::function<void(int)> onSound;
};

// Closes the score window the moment it is shown, as a player who has seen enough would.
// An event filter rather than a polling timer: it costs nothing while a question waits.
class ScoreWindowCloser : public QObject
{
public:
    ScoreWindowCloser() { qApp->installEventFilter(this); }

    int closed = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* score = qobject_cast<frmScoreList*>(watched)) {
                ++closed;
                QTimer::singleShot(0, score, &QDialog::accept);
            }
        }
        return false;
    }
};

void settleEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Loads the main window as the program does (sound, command line, mode list, shown), then
// chooses linePath through the line command when one is given.
std::unique_ptr<BenchWindow> loadMainWindow(BenchHost& host, const QString& linePath)
{
    ResetStationTable();
    ResetGameState();
    ResetSound();
    auto w = std::make_unique<BenchWindow>();
    w->Form_Load(QString());
    if (!linePath.isEmpty()) {
        host.chosenFile = linePath;
        w->mnuLine_Click();
        if (gStationCount <= 0)
            fail(QStringLiteral("the line did not load: ") + linePath);
    }
    settleEvents();
    return w;
}

void pressEnter(QWidget* target)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(target, &release);
}

QString soundFolderOf(const Setup& setup)
{
    const QString folder = QDir(setup.buildDir).filePath(QStringLiteral("sound"));
    if (!QFile::exists(QDir(folder).filePath(QStringLiteral("start.wav"))))
        fail(QStringLiteral("no built sounds in ") + folder
             + QStringLiteral(" (build the sound_folder target, or give --build-dir)"));
    return folder;
}

// ---- Machine

void printMachine(const Setup& setup)
{
    QString cpu = QStringLiteral("unknown");
    int logical = 0;
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (const QByteArray& line : info.readAll().split('\n')) {
            if (line.startsWith("processor"))
                ++logical;
            if (line.startsWith("model name") && cpu == QStringLiteral("unknown"))
                cpu = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    utsname uts {};
    uname(&uts);
    SDL_version sdl {};
    SDL_GetVersion(&sdl);
    const SDL_version* mix = Mix_Linked_Version();
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");

    std::printf("## Machine\n\n");
    std::printf("- CPU: %s, %d logical cores (%u usable)\n", qPrintable(cpu), logical,
                std::thread::hardware_concurrency());
    std::printf("- Kernel: %s %s %s\n", uts.sysname, uts.release, uts.machine);
    std::printf("- Qt %s (built against %s), SDL %d.%d.%d, SDL_mixer %d.%d.%d\n", qVersion(),
                QT_VERSION_STR, sdl.major, sdl.minor, sdl.patch, mix->major, mix->minor,
                mix->patch);
    std::printf("- Build: %s; SDL_AUDIODRIVER=%s; QT_QPA_PLATFORM=%s\n", TABIDORI_BENCH_BUILD_TYPE,
                driver.isEmpty() ? "(unset)" : driver.constData(),
                qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("- Program timed at start-up: %s\n", qPrintable(setup.program));
    // Other work on the machine shows in every figure; the load says how much there was.
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("- Load average at the start (1, 5, 15 min): %s\n",
                    load.readAll().split(' ').mid(0, 3).join(", ").constData());
    std::printf("\n");
    std::fflush(stdout);
}

// ---- Figure 2: a question nobody answers

struct QuestionRun
{
    std::vector<double> plateMs; // when each plate was drawn
};

// Starts a game on the real Qt host and lets its questions run out, with the program folder
// `folder` (with or without a "sound" folder); the game is stopped with the stop command once
// `plates` plates were drawn.
QuestionRun runUnansweredQuestions(const QString& folder, const QString& linePath, int plates)
{
    BenchHost host(folder);
    ScopedHost use(&host);
    auto w = loadMainWindow(host, linePath);
    QuestionRun run;
    w->onPlate = [&](std::int32_t) {
        run.plateMs.push_back(nowMs());
        if (int(run.plateMs.size()) == plates)
            w->stopCommand();
    };
    w->mnuGameStart_Click();
    if (int(run.plateMs.size()) != plates)
        fail(QStringLiteral("the unanswered game ended early"));
    return run;
}

void figureQuestionLength(std::vector<Row>& rows, const QuestionRun& silent,
                          const QuestionRun& sounding)
{
    std::vector<double> lengths;
    for (const QuestionRun* run : {&silent, &sounding}) {
        for (std::size_t i = 1; i < run->plateMs.size(); ++i)
            lengths.push_back((run->plateMs[i] - run->plateMs[i - 1]) / 1000.0);
    }
    const double length = median(lengths);
    const double drift = 100.0 * (length - 10.0) / 10.0;
    rows.push_back({QStringLiteral("2a. Real length of a question left to run out"),
                    fixed(length, 3) + QStringLiteral(" s (drift %1 %)").arg(fixed(drift, 2)),
                    QStringLiteral("10.00 s, drift < 1 %"), verdict(std::abs(drift) < 1.0),
                    QStringLiteral("median of %1 questions (plate to plate), range %2–%3 s")
                        .arg(lengths.size())
                        .arg(fixed(minOf(lengths), 3), fixed(maxOf(lengths), 3))});
}

// A whole game of kFullGameStations stations with sounds and no answers, from the start
// command to the end sound's request (the last question's end).
void figureFullGame(std::vector<Row>& rows, const Setup& setup, const QString& workDir)
{
    const QString figure
        = QStringLiteral("2b. Real length of a %1-station game, no answers").arg(kFullGameStations);
    if (!setup.full) {
        rows.push_back({figure, QStringLiteral("skipped (--full)"),
                        QStringLiteral("~300 s + the start sound"), kNoTarget, QString()});
        return;
    }
    const double startSound
        = waveSeconds(QDir(soundFolderOf(setup)).filePath(QStringLiteral("start.wav")));
    BenchHost host(setup.buildDir);
    ScopedHost use(&host);
    auto w = loadMainWindow(host, writeLineFile(workDir, kFullGameStations));
    ScoreWindowCloser closer;
    double firstPlateMs = -1.0;
    double endSoundMs = -1.0;
    w->onPlate = [&](std::int32_t) {
        if (firstPlateMs < 0)
            firstPlateMs = nowMs();
    };
    w->onSound = [&](int sound) {
        if (sound >= kSoundBadEnd && sound <= kSoundGoodEnd)
            endSoundMs = nowMs();
    };
    progress(QStringLiteral("figure 2b: a %1-station game, about %2 s")
                 .arg(kFullGameStations)
                 .arg(kFullGameStations * 10 + 5));
    const double startMs = nowMs();
    w->mnuGameStart_Click();
    const double overMs = nowMs();
    if (endSoundMs < 0 || firstPlateMs < 0)
        fail(QStringLiteral("the full game did not reach its end"));

    const double length = (endSoundMs - startMs) / 1000.0;
    const double target = kFullGameStations * 10.0 + startSound;
    const double drift = 100.0 * (length - target) / target;
    rows.push_back({figure,
                    fixed(length, 2) + QStringLiteral(" s (drift %1 %)").arg(fixed(drift, 2)),
                    QStringLiteral("%1 s (300 s + start.wav %2 s), drift < 1 %")
                        .arg(fixed(target, 2), fixed(startSound, 2)),
                    verdict(std::abs(drift) < 1.0),
                    QStringLiteral("start command to the end sound's request; the start "
                                   "sound took %1 s; the score window closed at %2 s")
                        .arg(fixed((firstPlateMs - startMs) / 1000.0, 2),
                             fixed((overMs - startMs) / 1000.0, 2))});
}

// ---- Figure 3: start-up of the real program under Xvfb

// A connection of the benchmark's own to the X server the program runs on. It hears of every
// window being mapped the moment it happens; a new xdotool process for every look would pay a
// whole connection set-up each time (tens to hundreds of milliseconds on a busy machine).
class XWindowWatcher
{
public:
    explicit XWindowWatcher(const QString& display)
    {
        int screenNumber = 0;
        c_ = xcb_connect(display.toLatin1().constData(), &screenNumber);
        if (xcb_connection_has_error(c_))
            fail(QStringLiteral("cannot connect to ") + display);
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int i = 0; i < screenNumber; ++i)
            xcb_screen_next(&it);
        root_ = it.data->root;
        // Without a window manager top-level windows are children of the root: watching the
        // root's substructure sees each of them mapped and unmapped.
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        netWmName_ = atom("_NET_WM_NAME");
        returnKey_ = keycodeOf(0xff0d); // XK_Return
        xcb_flush(c_);
    }
    ~XWindowWatcher() { xcb_disconnect(c_); }
    XWindowWatcher(const XWindowWatcher&) = delete;
    XWindowWatcher& operator=(const XWindowWatcher&) = delete;

    // Forgets the windows of an earlier run.
    void reset()
    {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c_))
            std::free(e);
        mapped_.clear();
    }

    // Waits until a mapped (visible) window is named exactly name; returns its id and the
    // clock's reading when it was mapped.
    std::pair<xcb_window_t, double> waitForWindow(const QString& name, const QElapsedTimer& clock,
                                                  const QProcess& child)
    {
        while (clock.elapsed() < 30000) {
            readEvents(clock);
            for (const auto& [window, mappedMs] : mapped_) {
                if (nameOf(window) == name)
                    return {window, mappedMs};
            }
            if (child.state() == QProcess::NotRunning)
                fail(QStringLiteral("the program ended before showing ") + name);
            pollfd fd {xcb_get_file_descriptor(c_), POLLIN, 0};
            poll(&fd, 1, 10);
        }
        fail(QStringLiteral("no window ") + name + QStringLiteral(" within 30 s"));
    }

    // Gives window the input focus and types Enter into it, as xdotool windowfocus + key does.
    void pressEnter(xcb_window_t window)
    {
        xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        for (const std::uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
            xcb_key_press_event_t key {};
            key.response_type = type;
            key.detail = returnKey_;
            key.time = XCB_CURRENT_TIME;
            key.root = root_;
            key.event = window;
            key.child = XCB_NONE;
            key.same_screen = 1;
            xcb_send_event(c_, false, window, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE,
                           reinterpret_cast<const char*>(&key));
        }
        sync();
    }

private:
    void sync()
    {
        // A round trip: everything sent before it has reached the server.
        std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    }

    void readEvents(const QElapsedTimer& clock)
    {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
            const double ms = double(clock.nsecsElapsed()) / 1e6;
            switch (e->response_type & 0x7f) {
            case XCB_MAP_NOTIFY:
                mapped_[reinterpret_cast<xcb_map_notify_event_t*>(e)->window] = ms;
                break;
            case XCB_UNMAP_NOTIFY:
                mapped_.erase(reinterpret_cast<xcb_unmap_notify_event_t*>(e)->window);
                break;
            case XCB_DESTROY_NOTIFY:
                mapped_.erase(reinterpret_cast<xcb_destroy_notify_event_t*>(e)->window);
                break;
            default:
                break;
            }
            std::free(e);
        }
    }

    QString property(xcb_window_t window, xcb_atom_t name)
    {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
        if (!reply)
            return {};
        const QString text
            = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                xcb_get_property_value_length(reply));
        std::free(reply);
        return text;
    }

    QString nameOf(xcb_window_t window)
    {
        const QString name = property(window, netWmName_);
        return name.isEmpty() ? property(window, XCB_ATOM_WM_NAME) : name;
    }

    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, std::uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return a;
    }

    xcb_keycode_t keycodeOf(xcb_keysym_t keysym)
    {
        const xcb_setup_t* setup = xcb_get_setup(c_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
            c_, xcb_get_keyboard_mapping(c_, setup->min_keycode, std::uint8_t(count)), nullptr);
        if (!reply)
            fail(QStringLiteral("no keyboard mapping"));
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
        const int perCode = reply->keysyms_per_keycode;
        xcb_keycode_t found = 0;
        for (int i = 0; i < count * perCode && !found; ++i) {
            if (syms[i] == keysym)
                found = xcb_keycode_t(setup->min_keycode + i / perCode);
        }
        std::free(reply);
        if (!found)
            fail(QStringLiteral("no key for Return"));
        return found;
    }

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t netWmName_ = 0;
    xcb_keycode_t returnKey_ = 0;
    std::map<xcb_window_t, double> mapped_;
};

struct StartupRun
{
    double logonMs = 0.0;
    double enterMs = 0.0; // when the Enter key had reached the server
    double mainMs = 0.0;
    long residentKiB = 0;
};

// Starts the real program silently, the clock running from the moment it is asked to start.
void startProgram(QProcess& child, QElapsedTimer& clock, const QString& program,
                  const QStringList& arguments, const QProcessEnvironment& env, XWindowWatcher& x)
{
    x.reset();
    child.setProcessEnvironment(env);
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    clock.start();
    child.start(program, arguments);
    if (!child.waitForStarted(10000))
        fail(QStringLiteral("cannot start ") + program);
}

StartupRun timeOneStartup(const QString& program, const QProcessEnvironment& env, XWindowWatcher& x)
{
    QProcess child;
    QElapsedTimer clock;
    startProgram(child, clock, program, {}, env, x);

    StartupRun run;
    const auto [logon, logonMs]
        = x.waitForWindow(QStringLiteral("Logon - Tabi Dori"), clock, child);
    run.logonMs = logonMs;
    // The password is filled in already: Enter on the log-on window logs on.
    x.pressEnter(logon);
    run.enterMs = double(clock.nsecsElapsed()) / 1e6;
    run.mainMs = x.waitForWindow(QStringLiteral("TabiDori"), clock, child).second;
    run.residentKiB = residentKiB(QStringLiteral("/proc/%1/statm").arg(child.processId()));

    child.terminate();
    if (!child.waitForFinished(3000)) {
        child.kill();
        child.waitForFinished(3000);
    }
    return run;
}

// An Xvfb on a display nobody uses; it names the display it took once it accepts clients.
QString startXvfb(QProcess& xvfb)
{
    xvfb.setStandardErrorFile(QProcess::nullDevice());
    xvfb.start(QStringLiteral("Xvfb"),
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-dpi"),
                QStringLiteral("96"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!xvfb.waitForStarted(5000))
        fail(QStringLiteral("cannot start Xvfb"));
    QByteArray out;
    QElapsedTimer waited;
    waited.start();
    while (!out.contains('\n') && waited.elapsed() < 15000) {
        xvfb.waitForReadyRead(500);
        out += xvfb.readAllStandardOutput();
    }
    if (!out.contains('\n'))
        fail(QStringLiteral("Xvfb did not report its display"));
    return u':' + QString::fromLatin1(out.trimmed());
}

// CPU time (user and system, every thread) of a running process and of its main thread, in
// seconds, from the scheduler's own nanosecond counts.
std::pair<double, double> processCpu(qint64 pid)
{
    double all = 0.0;
    double main = 0.0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const double s = stat.readAll().split(' ').value(0).toDouble() / 1e9;
        all += s;
        if (tid.toLongLong() == pid)
            main = s;
    }
    return {all, main};
}

struct IdleRun
{
    double share = 0.0; // percent of one core, whole process
    double mainShare = 0.0;
};

// The real program on Xvfb plays a line at once (autoplay); after the log-on the start sound
// plays for 2 s and the first question waits 10 s for an answer that never comes. The CPU is
// sampled inside that question, clear of its plate.
IdleRun oneIdleRun(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& env, XWindowWatcher& x)
{
    QProcess child;
    QElapsedTimer clock;
    startProgram(child, clock, program, arguments, env, x);
    x.pressEnter(x.waitForWindow(QStringLiteral("Logon - Tabi Dori"), clock, child).first);
    QThread::msleep(2000 + kCpuSampleDelayMs + 1500);
    const auto [all0, main0] = processCpu(child.processId());
    const double t0 = nowMs();
    QThread::msleep(kCpuSampleMs);
    const auto [all1, main1] = processCpu(child.processId());
    const double seconds = (nowMs() - t0) / 1000.0;
    child.kill();
    child.waitForFinished(3000);
    return {100.0 * (all1 - all0) / seconds, 100.0 * (main1 - main0) / seconds};
}

void figureIdleCpu(std::vector<Row>& rows, const Setup& setup, const QString& line)
{
    QProcess xvfb;
    const QString display = startXvfb(xvfb);
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    progress(QStringLiteral("figure 1: the real program on Xvfb %1, %2 questions each way")
                 .arg(display)
                 .arg(kIdleRuns));
    const auto measure = [&](const QStringList& extra) {
        std::vector<double> all, main;
        XWindowWatcher x(display);
        for (int i = 0; i < kIdleRuns; ++i) {
            const IdleRun run
                = oneIdleRun(setup.program, QStringList {line, "/AP"} + extra, env, x);
            all.push_back(run.share);
            main.push_back(run.mainShare);
        }
        return std::pair {all, main};
    };
    const auto [silentAll, silentMain] = measure({QStringLiteral("/SO=0")});
    const auto [soundAll, soundMain] = measure({});
    xvfb.terminate();
    xvfb.waitForFinished(3000);

    const auto row = [](const QString& name, const std::vector<double>& all,
                        const std::vector<double>& main, const QString& how) {
        return Row {name, fixed(median(all), 3) + QStringLiteral(" %"), QStringLiteral("< 0.5 %"),
                    verdict(median(all) < 0.5),
                    how
                        + QStringLiteral("; median of %1 questions (range %2–%3 %), %4 s each; "
                                         "main thread %5 %")
                              .arg(all.size())
                              .arg(fixed(minOf(all), 3), fixed(maxOf(all), 3),
                                   fixed(kCpuSampleMs / 1000.0, 1), fixed(median(main), 3))};
    };
    const QString how = QStringLiteral("the real program on Xvfb, no window manager, "
                                       "dummy audio driver; /proc schedstat of every thread");
    rows.push_back(row(QStringLiteral("1a. CPU while a question waits, sound off"), silentAll,
                       silentMain, how + QStringLiteral(" (/SO=0)")));
    rows.push_back(row(QStringLiteral("1b. CPU while a question waits, sounds on"), soundAll,
                       soundMain, how + QStringLiteral(" (a tick every second)")));
}

void figureStartup(std::vector<Row>& rows, const Setup& setup)
{
    if (!QFile::exists(setup.program))
        fail(QStringLiteral("no program at ") + setup.program);
    QProcess xvfb;
    const QString display = startXvfb(xvfb);
    QTemporaryDir runtime; // the child's XDG_RUNTIME_DIR, private to it
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

    progress(QStringLiteral("figure 3: %1 starts on Xvfb %2").arg(kStartupRuns).arg(display));
    std::vector<double> logon, main, afterEnter, resident;
    {
        XWindowWatcher x(display);
        for (int i = 0; i < kStartupRuns; ++i) {
            const StartupRun run = timeOneStartup(setup.program, env, x);
            logon.push_back(run.logonMs);
            main.push_back(run.mainMs);
            afterEnter.push_back(run.mainMs - run.enterMs);
            resident.push_back(double(run.residentKiB));
        }
    }
    xvfb.terminate();
    xvfb.waitForFinished(3000);

    const auto range = [](const std::vector<double>& ms) {
        return QStringLiteral("median of %1 (range %2–%3 ms)")
            .arg(ms.size())
            .arg(fixed(minOf(ms), 0), fixed(maxOf(ms), 0));
    };
    rows.push_back({QStringLiteral("3a. Process start to main window shown (log-on at once)"),
                    fixed(median(main), 0) + QStringLiteral(" ms"), kNoTarget, kNoTarget,
                    range(main)
                        + QStringLiteral("; Xvfb, no window manager, dummy audio; Enter sent "
                                         "the moment the log-on window mapped; Enter to main "
                                         "window %1 ms; windows seen through MapNotify on a "
                                         "connection of the benchmark's own (no polling)")
                              .arg(fixed(median(afterEnter), 0))});
    rows.push_back({QStringLiteral("3b. Process start to log-on window shown"),
                    fixed(median(logon), 0) + QStringLiteral(" ms"), kNoTarget, kNoTarget,
                    range(logon)});
    rows.push_back({QStringLiteral("3c. Resident memory of the program when its main window "
                                   "appears"),
                    mib(long(median(resident))), kNoTarget, kNoTarget,
                    QStringLiteral("/proc/<pid>/statm of the real program on Xvfb, median")});
}

// ---- Figure 4: loading, drawing and reporting a 1001-station line

template<typename F> std::vector<double> timeRuns(int runs, F&& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double start = nowMs();
        work();
        ms.push_back(nowMs() - start);
    }
    return ms;
}

void figureDataSizes(std::vector<Row>& rows, const Setup& setup, const QString& workDir)
{
    BenchHost host(workDir);
    ScopedHost use(&host);
    ResetStationTable();
    ResetGameState();
    const QString path = writeLineFile(workDir, kBigLineStations);

    const std::vector<double> load = timeRuns(kDataRuns, [&] {
        if (!LoadLineFile(path))
            fail(QStringLiteral("the big line did not load"));
    });
    if (gStationCount != kBigLineStations)
        fail(QStringLiteral("the big line has %1 stations").arg(gStationCount));
    gLineFilePath = path;
    gGameMode = kModeHayauchi;

    PlateWidget plate;
    plate.resize(twips::size(8000, 2000));
    plate.show();
    settleEvents();
    // A different station each time, as in a game, so that no run only repeats the last one.
    int station = 0;
    const auto nextStation = [&] { return station = (station + 37) % kBigLineStations; };
    const std::vector<double> draw
        = timeRuns(kDataRuns, [&] { DrawStationPlate(plate, nextStation()); });
    // The same, until the window has repainted the plate from its picture.
    const std::vector<double> drawShown = timeRuns(kDataRuns, [&] {
        DrawStationPlate(plate, nextStation());
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    });

    // A game's worth of results, mixed, so that every kind of report row is written.
    for (int i = 0; i < gStationCount; ++i) {
        StationTable[i].IsOK = i % 4 ? std::int16_t(-1) : std::int16_t(0);
        StationTable[i].RemainTenths = i % 4 ? 1 + i % 100 : 0;
    }
    gCorrectRate = float(GetOKcount()) / float(gStationCount);
    gScore = 5000;
    qsizetype written = 0;
    const std::vector<double> report
        = timeRuns(kDataRuns, [&] { written += BuildScoreReport().size(); });
    if (written == 0)
        fail(QStringLiteral("the report is empty"));

    const auto row = [](const QString& name, const std::vector<double>& ms, const QString& what) {
        return Row {name, fixed(median(ms), 2) + QStringLiteral(" ms"), kNoTarget, kNoTarget,
                    QStringLiteral("median of %1 (range %2–%3 ms); ")
                            .arg(ms.size())
                            .arg(fixed(minOf(ms), 2), fixed(maxOf(ms), 2))
                        + what};
    };
    rows.push_back(row(QStringLiteral("4a. Load a 1001-station line file (CP932)"), load,
                       QStringLiteral("LoadLineFile, real QtHost (events delivered per line)")));
    rows.push_back(row(QStringLiteral("4b. Draw one station plate"), draw,
                       QStringLiteral("DrawStationPlate on a shown PlateWidget of 8000 × 2000 "
                                      "twips, stations varied; with the repaint delivered %1 ms")
                           .arg(fixed(median(drawShown), 2))));
    rows.push_back(row(QStringLiteral("4c. Build the score report of 1001 stations"), report,
                       QStringLiteral("BuildScoreReport()")));

    // The line library as 路線一覧 reads it when it opens: every file's first line once, then
    // only the folder listings while nothing changed.
    const QString library = setup.buildDir + QStringLiteral("/line");
    int lines = 0;
    const std::vector<double> cold = timeRuns(kDataRuns, [&] {
        LineCatalogue fresh;
        lines = 0;
        for (const LineRegion& region : fresh.regions(library))
            lines += int(region.lines.size());
    });
    LineCatalogue warm;
    warm.regions(library);
    const std::vector<double> again = timeRuns(kDataRuns, [&] { warm.regions(library); });
    if (lines == 0)
        fail(QStringLiteral("no line library in ") + library);
    rows.push_back(
        row(QStringLiteral("4d. Read the line library for 路線一覧 (%1 lines)").arg(lines), cold,
            QStringLiteral("every name read, the first time the menu opens; each "
                           "later opening %1 ms (names known, files unchanged). "
                           "Start-up reads none of it")
                .arg(fixed(median(again), 2))));
}

// ---- Figure 5: from a play request to the first sound out of the mixer

std::atomic<qint64> gPlayRequestNs {-1};
std::atomic<qint64> gFirstSoundNs {-1};

// Runs on the audio thread after every mixed buffer: notes the first one that is not silence
// after a play request. Silence is all zero bytes in the signed format the mixer is opened in.
void noteFirstSound(void*, Uint8* stream, int len)
{
    if (gPlayRequestNs.load() < 0 || gFirstSoundNs.load() >= 0)
        return;
    for (int i = 0; i < len; ++i) {
        if (stream[i] != 0) {
            gFirstSoundNs.store(gClock.nsecsElapsed());
            return;
        }
    }
}

void figureAudioLatency(std::vector<Row>& rows, const Setup& setup)
{
    soundFolderOf(setup);
    BenchHost host(setup.buildDir);
    ScopedHost use(&host);
    ResetSound();
    SetSound();
    if (gSoundFiles[kSoundOk].RingFlag == 0)
        fail(QStringLiteral("ok.wav was not found"));
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    if (!SDL_AUDIO_ISSIGNED(format))
        fail(QStringLiteral("the mixer opened in an unsigned format; silence is not zero"));
    const QString driver = QString::fromLatin1(SDL_GetCurrentAudioDriver());
    Mix_SetPostMix(noteFirstSound, nullptr);

    std::vector<double> delays;
    for (int i = 0; i < kSoundPlays; ++i) {
        gFirstSoundNs.store(-1);
        gPlayRequestNs.store(gClock.nsecsElapsed());
        PlaySoundEffect(kSoundOk);
        QElapsedTimer waited;
        waited.start();
        while (gFirstSoundNs.load() < 0 && waited.elapsed() < 2000)
            host.waitForEvents(1);
        if (gFirstSoundNs.load() < 0)
            fail(QStringLiteral("ok.wav never left the mixer"));
        delays.push_back(double(gFirstSoundNs.load() - gPlayRequestNs.load()) / 1e6);
        gPlayRequestNs.store(-1);
        WaitSoundEffect(kSoundOk);
        // A few silent buffers between plays, and a pause of varying length, so that the
        // requests fall at every point of the mixer's period rather than at one.
        host.waitForEvents(30 + (i * 7) % 12);
    }
    Mix_SetPostMix(nullptr, nullptr);
    ResetSound();

    const double med = median(delays);
    const double bufferMs = audio::kBufferFrames * 1000.0 / std::max(1, frequency);
    rows.push_back(
        {QStringLiteral("5. Play request to first mixed audio frame (ok.wav)"),
         fixed(med, 2) + QStringLiteral(" ms"), QStringLiteral("< 20 ms"), verdict(med < 20.0),
         QStringLiteral("median of %1 (range %2–%3 ms); real SDL mixer, %4 driver, %5 Hz, "
                        "buffer of %6 ms; Mix_SetPostMix; the dummy driver's pacing stands in "
                        "for a device")
             .arg(kSoundPlays)
             .arg(fixed(minOf(delays), 2), fixed(maxOf(delays), 2), driver)
             .arg(frequency)
             .arg(fixed(bufferMs, 1))});
}

// ---- Figure 6: resident memory

// Runs in a process of its own so that the other figures leave nothing behind in its memory:
// the main window loads, then a 1001-station game is played on a virtual clock, every question
// answered right at once. Prints key=value lines for the parent.
int memoryChild(const Setup& setup)
{
    QTemporaryDir work;
    const QString line = writeLineFile(work.path(), kBigLineStations);
    VirtualClockHost host(setup.buildDir);
    ScopedHost use(&host);
    BenchWindow w;
    w.Form_Load(QString());
    settleEvents();
    const long startup = residentKiB(QStringLiteral("/proc/self/statm"));

    host.chosenFile = line;
    w.mnuLine_Click();
    if (gStationCount != kBigLineStations)
        fail(QStringLiteral("the big line did not load"));
    bool asked = false;
    w.onPlate = [&](std::int32_t) { asked = true; };
    host.onWait = [&] {
        if (!asked)
            return;
        asked = false;
        w.txtKaitou->setText(AskedReading());
        pressEnter(w.txtKaitou);
    };
    ScoreWindowCloser closer;
    const double startMs = nowMs();
    w.mnuGameStart_Click();
    const double gameMs = nowMs() - startMs;
    settleEvents();
    const long after = residentKiB(QStringLiteral("/proc/self/statm"));

    std::printf("startup_kib=%ld\n", startup);
    std::printf("after_game_kib=%ld\n", after);
    // The kernel refreshes the high-water mark lazily: it may lag behind the current figure.
    std::printf("peak_kib=%ld\n", std::max({peakResidentKiB(), startup, after}));
    std::printf("game_ms=%.0f\n", gameMs);
    std::printf("right=%d\n", GetOKcount());
    std::printf("score_windows=%d\n", closer.closed);
    std::fflush(stdout);
    return 0;
}

void figureMemory(std::vector<Row>& rows, const Setup& setup)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--memory-child"), QStringLiteral("--build-dir"), setup.buildDir});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        fail(QStringLiteral("the memory run failed"));
    QMap<QString, long> values;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QString::fromLatin1(line.left(eq)), line.mid(eq + 1).toLong());
    }
    if (values.value(QStringLiteral("right")) != kBigLineStations
        || values.value(QStringLiteral("score_windows")) != 1)
        fail(QStringLiteral("the 1001-station game did not run as planned"));

    rows.push_back({QStringLiteral("6a. Resident memory after start-up (main window loaded)"),
                    mib(values.value(QStringLiteral("startup_kib"))), kNoTarget, kNoTarget,
                    QStringLiteral("/proc/self/statm in a fresh process: frmMain loaded, sounds "
                                   "loaded, no line; offscreen")});
    rows.push_back({QStringLiteral("6b. Resident memory after a 1001-station game"),
                    mib(values.value(QStringLiteral("after_game_kib"))), kNoTarget, kNoTarget,
                    QStringLiteral("every question answered at once on a virtual clock "
                                   "(%1 s real), score window opened and closed; peak %2")
                        .arg(fixed(values.value(QStringLiteral("game_ms")) / 1000.0, 1),
                             mib(values.value(QStringLiteral("peak_kib"))))});
}

// ---- Driver

Setup parseArguments(const QStringList& arguments, bool& memoryChildRun)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The benchmark of Tabidori."));
    parser.addHelpOption();
    const QCommandLineOption full(QStringLiteral("full"),
                                  QStringLiteral("Also play a 30-station game (about 5 min)."));
    const QCommandLineOption only(QStringLiteral("only"),
                                  QStringLiteral("Run only these figures (e.g. 1,4)."),
                                  QStringLiteral("list"));
    const QCommandLineOption program(
        QStringLiteral("program"), QStringLiteral("Program timed at start-up."),
        QStringLiteral("path"), QStringLiteral(TABIDORI_BENCH_PROGRAM));
    const QCommandLineOption buildDir(
        QStringLiteral("build-dir"), QStringLiteral("Build folder holding the sound folder."),
        QStringLiteral("dir"), QStringLiteral(TABIDORI_BENCH_BUILD_DIR));
    const QCommandLineOption child(QStringLiteral("memory-child"));
    parser.addOptions({full, only, program, buildDir, child});
    parser.process(arguments);

    Setup setup;
    setup.full = parser.isSet(full);
    for (const QString& n : parser.value(only).split(u',', Qt::SkipEmptyParts))
        setup.only.insert(n.trimmed().toInt());
    setup.program = QFileInfo(parser.value(program)).absoluteFilePath();
    setup.buildDir = QFileInfo(parser.value(buildDir)).absoluteFilePath();
    memoryChildRun = parser.isSet(child);
    return setup;
}

} // namespace

int main(int argc, char* argv[])
{
    gClock.start();
    // The benchmark's own windows are never seen, and its sound must not need a device.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TabiDori"));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::registerFontSubstitutions();
    QApplication::setFont(QFont(QString::fromUtf8(platform::kProportionalGothic), 9));

    bool memoryChildRun = false;
    const Setup setup = parseArguments(QApplication::arguments(), memoryChildRun);
    if (memoryChildRun)
        return memoryChild(setup);

    printMachine(setup);
    QTemporaryDir work; // line files, and a program folder without a sound folder
    if (!work.isValid())
        fail(QStringLiteral("no temporary folder"));
    std::vector<Row> rows;

    if (setup.wants(1))
        figureIdleCpu(rows, setup, writeLineFile(work.path(), kFullGameStations));
    if (setup.wants(2)) {
        const QString line = writeLineFile(work.path(), kFullGameStations);
        progress(QStringLiteral("figure 2: two unanswered games, about 45 s"));
        const QuestionRun silent = runUnansweredQuestions(work.path(), line, kUnansweredPlates);
        soundFolderOf(setup); // fails early when the sounds were not built
        const QuestionRun sounding
            = runUnansweredQuestions(setup.buildDir, line, kUnansweredPlates);
        if (setup.wants(2))
            figureQuestionLength(rows, silent, sounding);
    }
    if (setup.wants(2))
        figureFullGame(rows, setup, work.path());
    if (setup.wants(3))
        figureStartup(rows, setup);
    if (setup.wants(4)) {
        progress(QStringLiteral("figure 4: load, draw, report"));
        figureDataSizes(rows, setup, work.path());
    }
    if (setup.wants(5)) {
        progress(QStringLiteral("figure 5: sound delay"));
        figureAudioLatency(rows, setup);
    }
    if (setup.wants(6)) {
        progress(QStringLiteral("figure 6: memory"));
        figureMemory(rows, setup);
    }

    std::printf("## Figures\n\n");
    printTable(rows);
    return 0;
}
