// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "common.h"
#include "testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

void fail(const QString& why)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(why));
    std::fflush(stderr);
    std::exit(2);
}

QString libraryOf(const Setup& setup)
{
    return setup.library.isEmpty() ? setup.buildDir + QStringLiteral("/line") : setup.library;
}

QString doubleLibrary(const Setup& setup, const QString& folder)
{
    const QString from = libraryOf(setup);
    const QString to = QDir(folder).filePath(QStringLiteral("doubled/line"));
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            fail(QStringLiteral("cannot write ") + path);
    };
    QDirIterator it(from, {QStringLiteral("*.txt")}, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(path));
        QFile in(path);
        if (!QDir().mkpath(QFileInfo(target).path()) || !in.open(QIODevice::ReadOnly))
            fail(QStringLiteral("cannot copy ") + path);
        const QByteArray bytes = in.readAll();
        write(target, bytes);
        // The mark is ASCII, the same bytes in every encoding the files may be in; after a BOM.
        const qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        write(target.chopped(4) + QStringLiteral("-2.txt"),
              bytes.left(at) + kCopyMark + bytes.mid(at));
        ++files;
    }
    const QString track = QStringLiteral("line-track.bin");
    QFile::copy(QFileInfo(from).absoluteDir().filePath(track),
                QDir(folder).filePath(QStringLiteral("doubled/") + track));
    progress(QStringLiteral("the library twice over: %1 files in %2").arg(2 * files).arg(to));
    return to;
}

void progress(const QString& what)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(what));
    std::fflush(stderr);
}

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

namespace {

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

} // namespace

QString writeLineFile(const QString& folder, int stations)
{
    QStringList lines {QStringLiteral("ベンチマーク線"),
                       QStringLiteral("計測のために作った%1駅の路線。").arg(stations),
                       QStringLiteral("###")};
    for (int i = 0; i < stations; ++i)
        lines << stationName(i) + u',' + stationReading(i);
    return ::writeLineFile(folder, QStringLiteral("bench%1.txt").arg(stations), lines);
}

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

QString soundFolderOf(const Setup& setup)
{
    const QString folder = QDir(setup.buildDir).filePath(QStringLiteral("sound"));
    if (!QFile::exists(QDir(folder).filePath(QStringLiteral("start.wav"))))
        fail(QStringLiteral("no built sounds in ") + folder
             + QStringLiteral(" (build the sound_folder target, or give --build-dir)"));
    return folder;
}

} // namespace bench
