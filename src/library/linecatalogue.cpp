// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linecatalogue.h"
#include "folders.h"

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
    {"hokkaido", "北海道"},   {"tohoku", "東北"},  {"kanto", "関東"},
    {"chubu", "中部"},        {"kinki", "近畿"},   {"chugoku-shikoku", "中国・四国"},
    {"kyushu", "九州・沖縄"}, {"okinawa", "沖縄"}, {"shinkansen", "新幹線"},
};

// The line files of a folder by name, each with what the listing learnt of it: its size and time
// are then known without asking the system again, file by file.
QFileInfoList lineFilesIn(const QDir& dir)
{
    QFileInfoList files = dir.entryInfoList({QStringLiteral("*.txt"), QStringLiteral("*.TXT")},
                                            QDir::Files, QDir::Name | QDir::IgnoreCase);
    files.erase(std::unique(files.begin(), files.end(),
                            [](const QFileInfo& a, const QFileInfo& b) {
                                return a.fileName() == b.fileName();
                            }),
                files.end());
    return files;
}

bool isJr(const QString& group)
{
    return group == QLatin1String("jr") || group.startsWith(QLatin1String("JR"));
}

} // namespace

void SortByOperator(QList<LineEntry>& lines)
{
    // The JR lines first, the way a railway map lists them; then each operator's lines
    // together, operators in the order their first line comes.
    QHash<QString, int> first;
    for (const LineEntry& line : lines)
        if (!first.contains(line.group))
            first.insert(line.group, int(first.size()));
    std::stable_sort(lines.begin(), lines.end(), [&](const LineEntry& a, const LineEntry& b) {
        if (isJr(a.group) != isJr(b.group))
            return isJr(a.group);
        return first.value(a.group) < first.value(b.group);
    });
}

int RegionRank(const QString& folder)
{
    for (int i = 0; i < int(std::size(kRegions)); ++i) {
        if (folder == QLatin1String(kRegions[i].folder))
            return i;
    }
    return int(std::size(kRegions));
}

QString RegionTitle(const QString& folder)
{
    const int rank = RegionRank(folder);
    return rank < int(std::size(kRegions)) ? QString::fromUtf8(kRegions[rank].title) : folder;
}

QString UserLineFolder()
{
    return platform::dataFolder() + QStringLiteral("/line");
}

LineCatalogue::LineCatalogue() : own_(std::make_unique<LineFileCache>()), files_(own_.get()) { }

LineCatalogue::LineCatalogue(LineFileCache& files) : files_(&files) { }

LineEntry LineCatalogue::entryFor(const QString& path)
{
    return entryFor(QFileInfo(path));
}

LineEntry LineCatalogue::entryFor(const QFileInfo& info)
{
    const CachedLineFile& known = files_->head(info);
    const QString base = info.completeBaseName();
    const qsizetype dash = base.indexOf(u'-');
    QString group = known.meta.operatorName;
    if (group.isEmpty())
        group = dash > 0 ? base.left(dash) : base;
    return {info.filePath(), known.name.isEmpty() ? base : known.name, group, known.meta};
}

QList<LineRegion> LineCatalogue::regionFolders(const QString& folder)
{
    QList<LineRegion> out;
    const QDir dir(folder);
    QStringList subs = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::stable_sort(subs.begin(), subs.end(), [](const QString& a, const QString& b) {
        return RegionRank(a) < RegionRank(b);
    });
    const QStringList filters {QStringLiteral("*.txt"), QStringLiteral("*.TXT")};
    for (const QString& sub : subs) {
        // One file is enough to know: nothing is read, nothing asked of any file.
        if (QDirIterator(dir.filePath(sub), filters, QDir::Files).hasNext())
            out.append({sub, RegionTitle(sub), {}});
    }
    if (QDirIterator(folder, filters, QDir::Files).hasNext())
        out.append({QString(), QString(), {}});
    return out;
}

LineRegion LineCatalogue::region(const QString& folder, const QString& sub)
{
    LineRegion region {sub, RegionTitle(sub), {}};
    const QDir dir(sub.isEmpty() ? folder : QDir(folder).filePath(sub));
    for (const QFileInfo& file : lineFilesIn(dir))
        region.lines.append(entryFor(file));
    if (!sub.isEmpty())
        SortByOperator(region.lines);
    return region;
}

QList<LineRegion> LineCatalogue::regions(const QString& folder)
{
    QList<LineRegion> out;
    for (const LineRegion& r : regionFolders(folder)) {
        LineRegion full = region(folder, r.folder);
        if (!full.lines.isEmpty())
            out.append(full);
    }
    return out;
}

QList<LineEntry> LineCatalogue::lines(const QString& folder)
{
    QList<LineEntry> out;
    QDirIterator it(folder, {QStringLiteral("*.txt"), QStringLiteral("*.TXT")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        out.append(entryFor(it.fileInfo()));
    }
    std::sort(out.begin(), out.end(), [](const LineEntry& a, const LineEntry& b) {
        return a.name == b.name ? a.path < b.path : a.name < b.name;
    });
    return out;
}
