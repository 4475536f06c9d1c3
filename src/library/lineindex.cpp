// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lineindex.h"
#include "linefile.h"
#include "textfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

bool ReadIndexedLine(const QString& path, IndexedLine* out)
{
    TextFile file;
    if (!file.open(path) || file.isEmpty())
        return false;
    const LineFile parsed = ParseLineFile(file, {.stationLimit = kMaxLineStations});
    if (parsed.tooLongLine > 0)
        return false;
    const QFileInfo info(path);
    out->path = info.absoluteFilePath();
    out->name = parsed.name.isEmpty() ? info.completeBaseName() : parsed.name;
    out->meta = ParseLineMeta(parsed.freeText);
    out->stations.clear();
    out->stations.reserve(parsed.stations.size());
    for (const LineFileStation& s : parsed.stations)
        out->stations.append({s.fields[0], s.fields[1], ParseStationExtra(s.fields[2])});
    return true;
}

const QList<IndexedLine>& LineIndex::lines(const QStringList& folders)
{
    lines_.clear();
    for (const QString& folder : folders) {
        const QDir root(folder);
        // Each file's size and time as the listing learnt them: one question to the system a file.
        QFileInfoList files;
        QDirIterator it(folder, {QStringLiteral("*.txt"), QStringLiteral("*.TXT")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            files.append(it.fileInfo());
        }
        std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
            return a.filePath() < b.filePath();
        });
        for (const QFileInfo& info : files) {
            const QString path = info.filePath();
            Known& known = known_[path];
            if (known.size != info.size() || known.modified != info.lastModified()) {
                ++reads_;
                known.size = info.size();
                known.modified = info.lastModified();
                known.ok = ReadIndexedLine(path, &known.line);
            }
            if (!known.ok)
                continue;
            const QString rel = root.relativeFilePath(info.absolutePath());
            known.line.region = rel == QLatin1String(".") ? QString() : rel.section(u'/', 0, 0);
            lines_.append(known.line);
        }
    }
    return lines_;
}
