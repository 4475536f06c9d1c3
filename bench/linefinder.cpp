// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 9: finding a line in the whole library. 路線一覧 opened in the real main window, the
// first time (every file's head read) and later (nothing changed), one prefecture's menu with
// the share known of each line, and the finder: opened over the library read whole, then one
// keystroke at a time.

#include "figures.h"
#include "frmfinder.h"
#include "frmprogress.h"
#include "harness.h"
#include "learningdesk.h"
#include "lineindex.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>

namespace bench {

namespace {

constexpr int kFirstRuns = 11;
constexpr int kLaterRuns = 31;
constexpr int kKeyRuns = 15;
constexpr double kFirstTargetMs = 30.0;
constexpr double kLaterTargetMs = 5.0;
constexpr double kKeyTargetMs = 16.0;
constexpr double kProgressTargetMs = 100.0;

// What a learner types, one keystroke after another: kana and kanji, a line, a station, an
// operator, a prefecture; the one-character steps list the most lines.
const QStringList kTyped {
    QStringLiteral("や"),       QStringLiteral("やま"), QStringLiteral("やまの"),
    QStringLiteral("やまのて"), QStringLiteral("新"),   QStringLiteral("新宿"),
    QStringLiteral("し"),       QStringLiteral("しん"), QStringLiteral("しんじゅく"),
    QStringLiteral("東"),       QStringLiteral("東京"), QStringLiteral("東京メトロ"),
    QStringLiteral("神奈川"),   QStringLiteral("JR"),   QStringLiteral("ぬ"),
};

QString range(const std::vector<double>& ms)
{
    return QStringLiteral("median of %1 (range %2–%3 ms)")
        .arg(ms.size())
        .arg(fixed(minOf(ms), 2), fixed(maxOf(ms), 2));
}

Row timedRow(const QString& name, const std::vector<double>& ms, double targetMs,
             const QString& target, const QString& what)
{
    return Row {name, fixed(median(ms), 2) + QStringLiteral(" ms"), target,
                verdict(median(ms) <= targetMs), range(ms) + QStringLiteral("; ") + what};
}

// Opens a menu as the player does and waits until it is shown and painted.
double openMenu(QMenu* menu)
{
    const double start = nowMs();
    menu->popup(QPoint(0, 0));
    QCoreApplication::processEvents();
    const double ms = nowMs() - start;
    menu->hide();
    QCoreApplication::processEvents();
    return ms;
}

QMenu* submenuOf(QMenu* menu, const QString& title)
{
    // Region menus are numbered for the keyboard ("&3 関東").
    static const QRegularExpression numbered(QStringLiteral("^&\\d+ "));
    for (QAction* a : menu->actions()) {
        if (a->menu() && QString(a->text()).remove(numbered) == title)
            return a->menu();
    }
    fail(QStringLiteral("no submenu ") + title + QStringLiteral(" in 路線一覧"));
}

int linesIn(const QMenu* menu)
{
    int count = 0;
    for (const QAction* a : menu->actions())
        count += a->menu() ? linesIn(a->menu()) : !a->property("linePath").toString().isEmpty();
    return count;
}

void menuRows(std::vector<Row>& rows, BenchHost& host)
{
    std::vector<double> top, region, prefecture, topAgain, regionAgain;
    int lines = 0;
    int regionLines = 0;
    const QString kanto = QStringLiteral("関東");
    for (int run = 0; run < kFirstRuns; ++run) {
        // A window of its own each time: nothing of the library known yet.
        const std::unique_ptr<TestWindow> w = loadMainWindow(host, QString());
        top.push_back(openMenu(w->mnuLineList));
        QMenu* big = submenuOf(w->mnuLineList, kanto);
        region.push_back(openMenu(big));
        regionLines = linesIn(big);
        // Its first prefecture: the share known of each of its lines, read whole.
        QMenu* first = big->actions().front()->menu();
        if (!first)
            fail(QStringLiteral("関東 has no prefecture menus"));
        prefecture.push_back(openMenu(first));
        if (run > 0)
            continue;
        for (QAction* a : w->mnuLineList->actions()) {
            if (a->menu() && a->menu() != big)
                openMenu(a->menu());
        }
        lines = linesIn(w->mnuLineList);
        topAgain = timeRuns(kLaterRuns, [&] { openMenu(w->mnuLineList); });
        regionAgain = timeRuns(kLaterRuns, [&] { openMenu(big); });
    }
    rows.push_back(timedRow(
        QStringLiteral("9a. Open 路線一覧 the first time (%1 lines)").arg(lines), top,
        kFirstTargetMs, QStringLiteral("below 30 ms"),
        QStringLiteral("a new main window each run: the regions listed (no file read), マイ路線 "
                       "made, shown")));
    rows.push_back(timedRow(
        QStringLiteral("9b. Open its largest region the first time (%1, %2 lines)")
            .arg(kanto)
            .arg(regionLines),
        region, kFirstTargetMs, QStringLiteral("below 30 ms"),
        QStringLiteral("each file's head read (up to ###), split by prefecture and operator, "
                       "swatches, shown; then its first prefecture the first time, each line "
                       "read whole for the share known: %1 ms")
            .arg(fixed(median(prefecture), 2))));
    rows.push_back(
        timedRow(QStringLiteral("9c. Open 路線一覧 and %1 again").arg(kanto), regionAgain,
                 kLaterTargetMs, QStringLiteral("below 5 ms each"),
                 QStringLiteral("%1 (its %2 files compared by time and size, menus kept); 路線一覧 "
                                "again %3 ms (%4)")
                     .arg(kanto)
                     .arg(regionLines)
                     .arg(fixed(median(topAgain), 2), range(topAgain))));
}

void finderRows(std::vector<Row>& rows, const QString& library)
{
    LineIndex index;
    std::vector<double> open;
    int count = 0;
    std::unique_ptr<frmFinder> finder;
    const std::vector<double> cold
        = timeRuns(1, [&] { count = int(index.lines({library}).size()); });
    open = timeRuns(kFirstRuns, [&] {
        finder = std::make_unique<frmFinder>(index.lines({library}));
        finder->show();
        QCoreApplication::processEvents();
    });
    if (count == 0)
        fail(QStringLiteral("no line in ") + library);
    rows.push_back(Row {QStringLiteral("9d. Open the finder (%1 lines)").arg(count),
                        fixed(median(open), 2) + QStringLiteral(" ms"), kNoTarget, kNoTarget,
                        range(open)
                            + QStringLiteral("; the library known (files only compared), the "
                                             "index built, the window shown; the first time "
                                             "every file is read whole: %1 ms more")
                                  .arg(fixed(cold.front(), 1))});
    // The words typed a key at a time, again and again; each step timed alone.
    std::vector<double> each;
    std::vector<std::vector<double>> byWord(kTyped.size());
    for (int run = 0; run < kKeyRuns; ++run) {
        for (qsizetype i = 0; i < kTyped.size(); ++i) {
            const double start = nowMs();
            finder->txtFind->setText(kTyped[i]);
            QCoreApplication::processEvents();
            each.push_back(nowMs() - start);
            byWord[std::size_t(i)].push_back(each.back());
        }
    }
    QStringList found;
    for (qsizetype i = 0; i < kTyped.size(); ++i) {
        finder->txtFind->setText(kTyped[i]);
        found << QStringLiteral("%1 %2件 %3 ms")
                     .arg(kTyped[i])
                     .arg(finder->hits().size())
                     .arg(fixed(median(byWord[std::size_t(i)]), 1));
    }
    std::vector<double> sorted = each;
    std::sort(sorted.begin(), sorted.end());
    const double p95 = sorted[std::size_t(double(sorted.size() - 1) * 0.95)];
    rows.push_back(timedRow(QStringLiteral("9e. One keystroke in the finder"), each, kKeyTargetMs,
                            QStringLiteral("below 16 ms"),
                            QStringLiteral("95th percentile %1 ms; matched, listed and painted "
                                           "again, %2 runs of (lines found, median): %3")
                                .arg(fixed(p95, 2))
                                .arg(kKeyRuns)
                                .arg(found.join(QStringLiteral("、")))));
}

// 成績's 全体 page the first time: every line of the library read once for its key and station
// count (nothing read before), the known stations counted from the history, the window built,
// turned to the page and painted.
void progressLibraryRow(std::vector<Row>& rows, const QString& historyFolder)
{
    HistoryKeeper history(historyFolder);
    if (!history.get())
        fail(QStringLiteral("no history in ") + historyFolder);
    int stations = 0;
    const std::vector<double> ms = timeRuns(kFirstRuns, [&] {
        LineLibrary library;
        LearningDesk desk(history, library);
        const LibraryProgress progress = desk.library(50, QDate::currentDate());
        stations = progress.stations;
        frmProgress window(LineProgress {}, progress, {});
        window.tabPages->setCurrentIndex(window.tabPages->count() - 1);
        window.show();
        QCoreApplication::processEvents();
        window.close();
    });
    if (stations == 0)
        fail(QStringLiteral("成績 found no station in the library"));
    rows.push_back(timedRow(QStringLiteral("9f. Open 成績's 全体 page the first time"), ms,
                            kProgressTargetMs, QStringLiteral("below 100 ms"),
                            QStringLiteral("%1 stations over the library: every file read "
                                           "once through the shared cache, the window built, "
                                           "shown on that page and painted, offscreen")
                                .arg(stations)));
}

// The read-ahead begins this long after it is asked for.
constexpr double kReadAheadAfterMs = 800.0;

// What the program does once its window is up: the library read ahead a few files a turn of the
// event loop; then 成績's 全体 page and the finder opened the first time find it all read.
void readAheadRows(std::vector<Row>& rows, const QString& historyFolder)
{
    HistoryKeeper history(historyFolder);
    if (!history.get())
        fail(QStringLiteral("no history in ") + historyFolder);
    LineLibrary library;
    // What the rows before left to the event loop (windows closed, their deletion) is done first.
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::vector<double> turns;
    const double start = nowMs();
    library.readAhead();
    while (library.readingAhead()) {
        const double t = nowMs();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // Only the turns once the read-ahead has begun: before, the event loop is the rows'.
        if (t - start >= kReadAheadAfterMs)
            turns.push_back(nowMs() - t);
    }
    const double took = nowMs() - start;
    rows.push_back(timedRow(QStringLiteral("9g. The longest turn of the library's read-ahead"),
                            {maxOf(turns)}, kKeyTargetMs, QStringLiteral("below 16 ms"),
                            QStringLiteral("every file read whole %1 files a turn, starting "
                                           "0.8 s after the window is up; all read %2 s after")
                                .arg(12)
                                .arg(fixed(took / 1000.0, 2))));
    const std::vector<double> progressMs = timeRuns(1, [&] {
        LearningDesk desk(history, library);
        frmProgress window(LineProgress {}, desk.library(50, QDate::currentDate()), {});
        window.tabPages->setCurrentIndex(window.tabPages->count() - 1);
        window.show();
        QCoreApplication::processEvents();
        window.close();
    });
    const std::vector<double> finderMs = timeRuns(1, [&] {
        frmFinder finder(library.all());
        finder.show();
        QCoreApplication::processEvents();
    });
    rows.push_back(
        timedRow(QStringLiteral("9h. 成績's 全体 page first opened after it"), progressMs,
                 kProgressTargetMs, QStringLiteral("below 100 ms"),
                 QStringLiteral("the finder the same way: %1 ms").arg(fixed(finderMs.front(), 1))));
}

} // namespace

void figureLineFinder(std::vector<Row>& rows, const Setup& setup)
{
    const QString library = libraryOf(setup);
    // The program folder of the main window: only its line folder matters here.
    QTemporaryDir program;
    if (!program.isValid()
        || !QFile::link(library, QDir(program.path()).filePath(QStringLiteral("line"))))
        fail(QStringLiteral("no program folder for the line library ") + library);
    BenchHost host(program.path());
    ScopedHost use(&host);
    menuRows(rows, host);
    finderRows(rows, library);
    QTemporaryDir history;
    progressLibraryRow(rows, history.path());
    readAheadRows(rows, history.path());
}

} // namespace bench
