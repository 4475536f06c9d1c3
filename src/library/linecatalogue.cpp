// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linecatalogue.h"
#include "folders.h"
#include "linefile.h"
#include "logging.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace {

struct Region
{
    const char* folder;
    const char* title;
};
// North to south, the Shinkansen last.
constexpr Region kRegions[] = {
    {"hokkaido", "北海道"}, {"tohoku", "東北"},  {"kanto", "関東"},
    {"chubu", "中部"},      {"kinki", "近畿"},   {"chugoku-shikoku", "中国・四国"},
    {"kyushu", "九州"},     {"okinawa", "沖縄"}, {"shinkansen", "新幹線"},
};

int regionRank(const QString& folder)
{
    for (int i = 0; i < int(std::size(kRegions)); ++i) {
        if (folder == QLatin1String(kRegions[i].folder))
            return i;
    }
    return int(std::size(kRegions));
}

QStringList lineFilesIn(const QDir& dir)
{
    QStringList files = dir.entryList({QStringLiteral("*.txt"), QStringLiteral("*.TXT")},
                                      QDir::Files, QDir::Name | QDir::IgnoreCase);
    files.removeDuplicates();
    return files;
}

} // namespace

QString RegionTitle(const QString& folder)
{
    const int rank = regionRank(folder);
    return rank < int(std::size(kRegions)) ? QString::fromUtf8(kRegions[rank].title) : folder;
}

QString UserLineFolder()
{
    return platform::dataFolder() + QStringLiteral("/line");
}

QString LineCatalogue::nameOf(const QString& path)
{
    const QFileInfo info(path);
    Known& known = names_[info.absoluteFilePath()];
    if (known.size == info.size() && known.modified == info.lastModified())
        return known.name;
    ++reads_;
    known.size = info.size();
    known.modified = info.lastModified();
    known.name = ReadLineFileName(path);
    if (known.name.isEmpty())
        qCInfo(logLibrary).noquote() << "no line name, listed by its file name:" << path;
    return known.name;
}

LineEntry LineCatalogue::entryFor(const QString& path)
{
    const QFileInfo info(path);
    QString name = nameOf(path);
    if (name.isEmpty())
        name = info.completeBaseName();
    const QString base = info.completeBaseName();
    const qsizetype dash = base.indexOf(u'-');
    return {path, name, dash > 0 ? base.left(dash) : base};
}

QList<LineRegion> LineCatalogue::regions(const QString& folder)
{
    QList<LineRegion> out;
    const QDir dir(folder);
    QStringList subs = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::stable_sort(subs.begin(), subs.end(), [](const QString& a, const QString& b) {
        return regionRank(a) < regionRank(b);
    });
    for (const QString& sub : subs) {
        LineRegion region {sub, RegionTitle(sub), {}};
        const QDir subDir(dir.filePath(sub));
        for (const QString& file : lineFilesIn(subDir))
            region.lines.append(entryFor(subDir.filePath(file)));
        // The JR lines of a region first, the way its railway map lists them.
        std::stable_sort(
            region.lines.begin(), region.lines.end(), [](const LineEntry& a, const LineEntry& b) {
                return (a.group == QLatin1String("jr")) > (b.group == QLatin1String("jr"));
            });
        if (!region.lines.isEmpty())
            out.append(region);
    }
    LineRegion loose {QString(), QString(), {}};
    for (const QString& file : lineFilesIn(dir))
        loose.lines.append(entryFor(dir.filePath(file)));
    if (!loose.lines.isEmpty())
        out.append(loose);
    return out;
}

QList<LineEntry> LineCatalogue::lines(const QString& folder)
{
    QList<LineEntry> out;
    QDirIterator it(folder, {QStringLiteral("*.txt"), QStringLiteral("*.TXT")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out.append(entryFor(it.next()));
    std::sort(out.begin(), out.end(), [](const LineEntry& a, const LineEntry& b) {
        return a.name == b.name ? a.path < b.path : a.name < b.name;
    });
    return out;
}
