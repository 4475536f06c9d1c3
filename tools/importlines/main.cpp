// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// tabidori-importlines: makes the line library from a checkout of the open station database
// (station_database). Run by hand when the database has a new release; never by the build.

#include "linefile.h"
#include "lineimport.h"
#include "linemeta.h"
#include "textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSaveFile>
#include <QSet>

#include <cmath>
#include <cstdio>

namespace {

void print(FILE* to, const QString& text)
{
    std::fputs(text.toUtf8().constData(), to);
    std::fputc('\n', to);
}

int usage()
{
    print(stderr,
          QStringLiteral(
              "使い方: tabidori-importlines --db DIR --tag TAG --corrections FILE --out DIR\n"
              "                            [--track FILE]\n"
              "  駅データベース (station_database) の DIR/out/main/line/*.json, "
              "DIR/out/main/line.csv,\n"
              "  DIR/src/company.csv から路線ファイルを作り、訂正表 FILE を当てて OUT の\n"
              "  地方ごとのフォルダに書きます。前の取り込みで書いたファイル (出典が\n"
              "  station_database のもの) で今回書かないものは消します。手で書いたファイルは\n"
              "  そのままです。問題があれば 1 で終わります。\n"
              "  --tag TAG     データベースの版 (例: v20260529)。出典の行に書きます\n"
              "  --track FILE  DIR/out/main/polyline/*.json の線路の形で、どの駅の次の駅も\n"
              "                線路でつながっているかを調べ、駅から駅への線路を地図のための\n"
              "                小さなファイル FILE (line-track.bin) に書きます"));
    return 2;
}

bool readText(const QString& path, QString* text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = QString::fromUtf8(file.readAll());
    return true;
}

struct Database
{
    QList<QJsonObject> lines;
    QHash<int, QString> companies;
};

// The line objects named in line.csv and the company table; false when a table is missing.
bool readDatabase(const QString& db, Database* out, QList<ImportProblem>* problems)
{
    QString lineTable, companyTable;
    if (!readText(db + QStringLiteral("/out/main/line.csv"), &lineTable)
        || !readText(db + QStringLiteral("/src/company.csv"), &companyTable)) {
        print(stderr, QStringLiteral("データベースの line.csv か company.csv を読めません: ") + db);
        return false;
    }
    for (const auto& row : ParseCsvTable(companyTable))
        out->companies.insert(row.value(QStringLiteral("code")).toInt(),
                              row.value(QStringLiteral("name")));
    QSet<QString> listed;
    for (const auto& row : ParseCsvTable(lineTable)) {
        const QString code = row.value(QStringLiteral("code"));
        const QString path = QStringLiteral("%1/out/main/line/%2.json").arg(db, code);
        listed.insert(code + QStringLiteral(".json"));
        QFile file(path);
        QJsonParseError error;
        const QJsonDocument doc = file.open(QIODevice::ReadOnly)
            ? QJsonDocument::fromJson(file.readAll(), &error)
            : QJsonDocument();
        if (!doc.isObject()) {
            problems->append(
                {row.value(QStringLiteral("name")), QStringLiteral("%1 を読めません").arg(path)});
            continue;
        }
        out->lines.append(doc.object());
    }
    const QDir folder(db + QStringLiteral("/out/main/line"));
    for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        if (!listed.contains(name))
            problems->append({name, QStringLiteral("line.csv にない路線ファイルです")});
    }
    return true;
}

// Each line's track from out/main/polyline/<code>.json: its LineStrings as pieces. A line
// without one is left out (the conversion says so).
QHash<qint64, QList<QList<TrackPoint>>>
readTracks(const QString& db, const QList<QJsonObject>& lines, QList<ImportProblem>* problems)
{
    QHash<qint64, QList<QList<TrackPoint>>> tracks;
    for (const QJsonObject& line : lines) {
        const qint64 code = line.value(u"code").toInteger();
        QFile file(QStringLiteral("%1/out/main/polyline/%2.json").arg(db).arg(code));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
        if (!doc.isObject()) {
            problems->append({line.value(u"name").toString(),
                              QStringLiteral("線路の形を読めません: ") + file.fileName()});
            continue;
        }
        QList<QList<TrackPoint>> pieces;
        for (const QJsonValue& feature : doc.object().value(u"features").toArray()) {
            const QJsonObject geometry = feature.toObject().value(u"geometry").toObject();
            if (geometry.value(u"type").toString() != QLatin1String("LineString"))
                continue;
            QList<TrackPoint> piece;
            for (const QJsonValue& c : geometry.value(u"coordinates").toArray()) {
                const QJsonArray lngLat = c.toArray();
                piece.append({int(std::lround(lngLat.at(1).toDouble() * 1e5)),
                              int(std::lround(lngLat.at(0).toDouble() * 1e5))});
            }
            pieces.append(piece);
        }
        tracks.insert(code, pieces);
    }
    return tracks;
}

// Writes a file only when its bytes change, so that an import that changes nothing leaves
// every file as it was.
bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

struct Existing
{
    QString path; // relative to the library folder
    QString name;
    bool imported = false;
};

QList<Existing> existingFiles(const QString& folder)
{
    QList<Existing> files;
    const QDir root(QDir(folder).absolutePath());
    QDirIterator it(root.path(), {QStringLiteral("*.txt")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        TextFile text;
        if (!text.open(path))
            continue;
        const LineFile line = ParseLineFile(text);
        files.append(
            {root.relativeFilePath(path), line.name, IsImportedLine(ParseLineMeta(line.freeText))});
    }
    std::sort(files.begin(), files.end(),
              [](const Existing& a, const Existing& b) { return a.path < b.path; });
    return files;
}

// Writes the library and removes what an earlier import wrote and this one does not; the
// number of files removed, or -1 when a file cannot be written.
int writeLibrary(const QString& folder, const ImportResult& result)
{
    QSet<QString> written, names;
    for (const ImportFile& f : result.files) {
        if (!writeFile(folder + u'/' + f.path, f.bytes)) {
            print(stderr, QStringLiteral("書き込めません: %1/%2").arg(folder, f.path));
            return -1;
        }
        written.insert(f.path);
    }
    for (const ImportedLine& l : result.lines)
        names.insert(l.name);
    int removed = 0;
    for (const Existing& e : existingFiles(folder)) {
        if (written.contains(e.path))
            continue;
        if (e.imported) {
            if (!QFile::remove(folder + u'/' + e.path)) {
                print(stderr, QStringLiteral("消せません: %1/%2").arg(folder, e.path));
                return -1;
            }
            print(stdout, QStringLiteral("消しました: %1").arg(e.path));
            ++removed;
        } else if (names.contains(e.name)) {
            print(stdout,
                  QStringLiteral("注意: 手で書いた %1 は取り込んだ路線と同じ名前「%2」です")
                      .arg(e.path, e.name));
        }
    }
    return removed;
}

void printCounts(const ImportResult& result)
{
    QSet<qint64> codes;
    QSet<QString> inserted;
    QMap<QString, int> regions, prefectures;
    for (const ImportedLine& l : result.lines) {
        ++regions[l.region];
        for (const QString& p : l.prefectures)
            ++prefectures[p];
        for (qint64 c : l.stationCodes)
            codes.insert(c);
    }
    codes.remove(0);
    print(stdout,
          QStringLiteral("%1 路線のファイル、駅 %2 (データベースの駅コードの数)")
              .arg(result.files.size())
              .arg(codes.size()));
    for (auto it = regions.cbegin(); it != regions.cend(); ++it)
        print(stdout, QStringLiteral("  %1: %2 路線").arg(it.key()).arg(it.value()));
    QStringList perPrefecture;
    for (int code = 1; code <= 47; ++code) {
        const QString name = PrefectureName(code);
        perPrefecture << QStringLiteral("%1 %2").arg(name).arg(prefectures.value(name));
    }
    print(stdout,
          QStringLiteral("都道府県ごとの路線数: ") + perPrefecture.join(QStringLiteral("、")));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QMap<QString, QString> options;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--help") || args[i] == QLatin1String("-h")) {
            usage();
            return 0;
        }
        if (!args[i].startsWith(QLatin1String("--")) || i + 1 >= args.size())
            return usage();
        options.insert(args[i].mid(2), args[i + 1]);
        ++i;
    }
    for (const char* key : {"db", "tag", "corrections", "out"}) {
        if (options.value(QLatin1String(key)).isEmpty())
            return usage();
    }
    const QString trackFile = options.value(QStringLiteral("track"));
    if (options.size() != (trackFile.isEmpty() ? 4 : 5))
        return usage();

    ImportInput input;
    input.tag = options.value(QStringLiteral("tag"));
    QList<ImportProblem> problems;
    Database db;
    if (!readDatabase(options.value(QStringLiteral("db")), &db, &problems))
        return 2;
    input.lines = db.lines;
    input.companies = db.companies;
    QString table;
    if (!readText(options.value(QStringLiteral("corrections")), &table)) {
        print(stderr,
              QStringLiteral("訂正表を読めません: ")
                  + options.value(QStringLiteral("corrections")));
        return 2;
    }
    input.corrections = ParseCorrections(table, &problems);
    if (!trackFile.isEmpty())
        input.tracks = readTracks(options.value(QStringLiteral("db")), db.lines, &problems);

    ImportResult result = ImportLines(input);
    problems += result.problems;
    const int removed = writeLibrary(options.value(QStringLiteral("out")), result);
    if (removed < 0)
        return 2;
    printCounts(result);
    if (!trackFile.isEmpty()) {
        // The lines written by hand go on the track of the imported lines they run over.
        for (const Existing& e : existingFiles(options.value(QStringLiteral("out")))) {
            TextFile text;
            if (e.imported || !text.open(options.value(QStringLiteral("out")) + u'/' + e.path))
                continue;
            const LineFile file = ParseLineFile(text);
            const LineMeta meta = ParseLineMeta(file.freeText);
            if (meta.runsOver.isEmpty())
                continue;
            QStringList names;
            for (const LineFileStation& s : file.stations)
                names.append(s.fields[0]);
            result.tracks.append(ThroughServiceTrack(file.name, names, meta.loop, meta.runsOver,
                                                     input, result, &problems));
        }
        const QByteArray bytes = WriteTrackFile(ImportSourceLine(input.tag), result.tracks);
        if (!writeFile(trackFile, bytes)) {
            print(stderr, QStringLiteral("書き込めません: ") + trackFile);
            return 2;
        }
        qsizetype points = 0, pairs = 0, joined = 0;
        for (const TrackLine& line : result.tracks) {
            for (const TrackWay& way : line.ways) {
                ++pairs;
                joined += way.kind == TrackWay::Track;
                points += way.points.size();
            }
        }
        print(stdout,
              QStringLiteral("線路: 駅と駅の間 %1 のうち %2 が線路でつながり、点 %3、%4 バイト")
                  .arg(pairs)
                  .arg(joined)
                  .arg(points)
                  .arg(bytes.size()));
    }
    if (removed > 0)
        print(stdout, QStringLiteral("前の取り込みのファイルを %1 消しました").arg(removed));
    for (const ImportProblem& p : problems)
        print(stdout, QStringLiteral("問題: %1: %2").arg(p.where, p.what));
    print(stdout, QStringLiteral("問題 %1 件").arg(problems.size()));
    return problems.isEmpty() ? 0 : 1;
}
