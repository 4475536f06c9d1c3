// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// tabidori-linecheck: checks line files the way the game reads them, their readings against the
// station dictionaries when they are installed, and then the files given against each other.

#include "linecheck.h"
#include "stationdictionary.h"
#include "trackfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include <cstdio>

namespace {

void print(FILE* to, const QString& text)
{
    std::fputs(text.toUtf8().constData(), to);
    std::fputc('\n', to);
}

QString orMissing(const QString& path, const char* name)
{
    return path.isEmpty() ? QString::fromUtf8(name) + QStringLiteral(" (未インストール)") : path;
}

int usage()
{
    print(
        stderr,
        QStringLiteral(
            "使い方: tabidori-linecheck [--fill] [--strict] [--dictionary FILE] "
            "[--enamdict FILE] [--exceptions FILE] [--known FILE]\n"
            "                          [--track FILE] FILE...\n"
            "  路線ファイルをゲームと同じように読んで調べ、そのあと渡したファイルどうしを\n"
            "  突き合わせます。問題ごとに1行 (ファイル:行: 何が違うか (辞書の読み)) を出し、\n"
            "  エラーがあれば 1 で終わります。\n"
            "  --fill          読みのない駅に辞書の読みが1つだけあれば、それを入れた写しを\n"
            "                  元のファイルの横に NAME.filled.txt として書きます (元は変えません)\n"
            "  --strict        どちらの辞書にもない駅も、例外ファイルになければエラーにします\n"
            "  --dictionary F  駅名辞書 (既定: %1)\n"
            "  --enamdict F    2つめの辞書 ENAMDICT (既定: %2)\n"
            "  --exceptions F  辞書と違ってよい駅の一覧 (パス<TAB>駅名<TAB>読み<TAB>理由)\n"
            "  --known F       地図の上で本当に離れている・折り返している駅の一覧\n"
            "                  (パス<TAB>駅名<TAB>gap か back<TAB>理由)\n"
            "  --track F       線路の形のファイル (line-track.bin)。どの駅の次の駅も、ほかの駅を\n"
            "                  通らずに線路でつながっているかを調べます\n"
            "  ゲームについてくる路線ファイル (line フォルダーの中) を調べるときは、その横の\n"
            "  line-exceptions.tsv, line-known.tsv, line-track.bin を、選ばなければ使います。\n"
            "  最後に、ファイル・駅・エラー・注意の数を1行に出します")
            .arg(orMissing(StationDictionary::defaultPath(), "skk/SKK-JISYO.station"),
                 orMissing(StationDictionary::enamdictDefaultPath(), "edict/enamdict")));
    return 2;
}

struct Arguments
{
    bool fill = false;
    bool dictionaryChosen = false;
    QString dictionaryPath = StationDictionary::defaultPath();
    QString enamdictPath = StationDictionary::enamdictDefaultPath();
    LineExceptions exceptions;
    LineKnownCases known;
    TrackAtlas track;
    LineCheckOptions options;
    QStringList files;
};

// -1 to go on, else the exit status.
int parse(const QStringList& args, Arguments& a)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        QString why;
        if (arg == QLatin1String("--fill")) {
            a.fill = true;
        } else if (arg == QLatin1String("--strict")) {
            a.options.strict = true;
        } else if (arg == QLatin1String("--dictionary") && hasValue) {
            a.dictionaryPath = args[++i];
            a.dictionaryChosen = true;
        } else if (arg == QLatin1String("--enamdict") && hasValue) {
            a.enamdictPath = args[++i];
        } else if (arg == QLatin1String("--exceptions") && hasValue) {
            if (!a.exceptions.load(args[++i])) {
                print(stderr, QStringLiteral("例外ファイルを読めません: ") + args[i]);
                return 2;
            }
            a.options.exceptions = &a.exceptions;
        } else if (arg == QLatin1String("--known") && hasValue) {
            if (!a.known.load(args[++i], &why)) {
                print(stderr,
                      QStringLiteral("既知の例の一覧を読めません: %1: %2").arg(args[i], why));
                return 2;
            }
            a.options.known = &a.known;
        } else if (arg == QLatin1String("--track") && hasValue) {
            QFile file(args[++i]);
            if (!file.open(QIODevice::ReadOnly) || !ReadTrackFile(file.readAll(), &a.track, &why)) {
                print(stderr,
                      QStringLiteral("線路の形のファイルを読めません: %1: %2")
                          .arg(args[i], why.isEmpty() ? file.errorString() : why));
                return 2;
            }
            a.options.track = &a.track;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            usage();
            return 0;
        } else if (arg.startsWith(QLatin1String("--"))) {
            return usage();
        } else {
            a.files << arg;
        }
    }
    return a.files.isEmpty() ? usage() : -1;
}

// True when the files given are every line file under the folder that holds them all and come
// from more than one folder (the whole library, "data/line/*/*.txt"): only then can a line that
// @経由 names be missing. One region alone is not the library; its lines run over others.
bool wholeLibrary(const QStringList& files)
{
    QSet<QString> given, folders;
    QString root;
    for (const QString& file : files) {
        const QFileInfo info(file);
        given.insert(info.absoluteFilePath());
        const QString dir = info.absolutePath();
        folders.insert(dir);
        if (root.isEmpty())
            root = dir;
        while (!(dir + u'/').startsWith(root + u'/') && root != QFileInfo(root).absolutePath())
            root = QFileInfo(root).absolutePath();
    }
    if (folders.size() < 2)
        return false;
    QDirIterator it(root, {QStringLiteral("*.txt")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QFileInfo(it.next()).absoluteFilePath();
        if (!given.contains(path) && !path.endsWith(QLatin1String(".filled.txt")))
            return false;
    }
    return true;
}

// The folder beside the library that every file given lies in ("data" in the source tree, the
// program's folder once installed), when it holds the library's own lists; "" otherwise.
QString libraryHome(const QStringList& files)
{
    QString home;
    for (const QString& file : files) {
        QDir dir = QFileInfo(file).absoluteDir();
        while (dir.dirName() != QLatin1String("line") && dir.cdUp()) { }
        if (dir.dirName() != QLatin1String("line") || !dir.cdUp())
            return {};
        if (!home.isEmpty() && home != dir.absolutePath())
            return {};
        home = dir.absolutePath();
    }
    return QFileInfo::exists(home + QStringLiteral("/line-known.tsv")) ? home : QString();
}

// The library's own lists and track, for the files of the library itself, unless chosen.
int useLibraryLists(Arguments& a)
{
    const QString home = libraryHome(a.files);
    if (home.isEmpty())
        return -1;
    QString why;
    if (!a.options.exceptions && a.exceptions.load(home + QStringLiteral("/line-exceptions.tsv")))
        a.options.exceptions = &a.exceptions;
    if (!a.options.known && a.known.load(home + QStringLiteral("/line-known.tsv"), &why))
        a.options.known = &a.known;
    QFile track(home + QStringLiteral("/line-track.bin"));
    if (!a.options.track && track.open(QIODevice::ReadOnly)
        && ReadTrackFile(track.readAll(), &a.track, &why))
        a.options.track = &a.track;
    return -1;
}

// -1 to go on, else the exit status. ENAMDICT only adds readings: without it the check goes on.
int loadDictionaries(Arguments& a, StationDictionary& skk, StationDictionary& enamdict)
{
    if (enamdict.loadEnamdict(a.enamdictPath))
        a.options.enamdict = &enamdict;
    else
        print(
            stderr,
            QStringLiteral("ENAMDICT がないので読みは SKK の辞書とだけ比べます: %1 (Debian の "
                           "enamdict)")
                .arg(a.enamdictPath.isEmpty() ? QStringLiteral("edict/enamdict") : a.enamdictPath));
    if (skk.load(a.dictionaryPath)) {
        a.options.dictionary = &skk;
        return -1;
    }
    // Without the dictionary every other check still runs.
    print(stderr,
          (a.options.enamdict
               ? QStringLiteral("SKK の駅名辞書がないので読みは ENAMDICT とだけ比べます: ")
               : QStringLiteral("駅名辞書がないので読みは辞書と比べません: "))
              + (a.dictionaryPath.isEmpty() ? QStringLiteral("skk/SKK-JISYO.station")
                                            : a.dictionaryPath)
              + (a.dictionaryChosen ? QString() : QStringLiteral(" (Debian の skkdic-extra)")));
    return a.dictionaryChosen || a.fill || a.options.strict ? 2 : -1;
}

// What a file may hold that must not reach the terminal as it is: ESC, BS, a lone line feed
// and the other control characters, written as \x1b and so on.
QString printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void printProblem(const QString& file, const LineProblem& p)
{
    const bool error = p.severity == LineProblem::Severity::Error;
    print(stdout,
          QStringLiteral("%1:%2: %3: %4%5")
              .arg(printable(file))
              .arg(p.line)
              .arg(error ? QStringLiteral("エラー") : QStringLiteral("注意"), printable(p.what),
                   p.dictionary.isEmpty() ? QString()
                                          : QStringLiteral(" (辞書: %1)").arg(p.dictionary)));
}

// Writes the filled copy of file; false when it cannot.
bool fill(const QString& file, const StationDictionary& dictionary)
{
    QString written, why;
    const int filled = FillReadings(file, dictionary, &written, &why);
    if (filled < 0) {
        print(stderr, file + QStringLiteral(": 書き出せません: ") + why);
        return false;
    }
    print(stdout,
          QStringLiteral("%1: %2 駅の読みを入れて %3 に書きました")
              .arg(file)
              .arg(filled)
              .arg(written));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Arguments a;
    if (const int status = parse(QCoreApplication::arguments().mid(1), a); status >= 0)
        return status;
    StationDictionary dictionary, enamdict;
    if (const int status = loadDictionaries(a, dictionary, enamdict); status >= 0)
        return status;

    a.options.wholeLibrary = wholeLibrary(a.files);
    useLibraryLists(a);
    int errors = 0, notes = 0, stations = 0;
    QList<CheckedLine> checked;
    for (const QString& file : a.files) {
        LineCheck check = CheckLineFile(file, a.options);
        for (const LineProblem& p : check.problems)
            printProblem(file, p);
        errors += check.errors();
        notes += int(check.problems.size()) - check.errors();
        stations += int(check.stations.size());
        if (a.fill && !fill(file, dictionary))
            ++errors;
        // The network pass needs the names, readings and metadata, not the problems.
        check.problems.clear();
        checked.append({file, std::move(check)});
    }
    for (const NetworkProblem& p : CheckNetwork(checked, a.options)) {
        printProblem(p.path, p.problem);
        errors += p.problem.severity == LineProblem::Severity::Error ? 1 : 0;
        notes += p.problem.severity == LineProblem::Severity::Error ? 0 : 1;
    }
    // Over the whole library, a row that excuses nothing is stale: the line it named was
    // fixed, split or renamed, and the row would hide the next real problem there.
    if (a.options.wholeLibrary) {
        for (const QString& row : a.known.unused()) {
            print(stdout, QStringLiteral("エラー: 既知の例が何にも当てはまりません: ") + row);
            ++errors;
        }
        for (const QString& row : a.exceptions.unused()) {
            print(stdout, QStringLiteral("エラー: 例外が何にも当てはまりません: ") + row);
            ++errors;
        }
    }
    print(stdout,
          QStringLiteral("%1 ファイル、駅 %2: エラー %3、注意 %4")
              .arg(a.files.size())
              .arg(stations)
              .arg(errors)
              .arg(notes));
    return errors > 0 ? 1 : 0;
}
