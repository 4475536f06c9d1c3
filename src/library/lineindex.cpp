// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lineindex.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace {

IndexedLine indexed(const QFileInfo& info, const CachedLineFile& file)
{
    return {info.absoluteFilePath(), file.name.isEmpty() ? info.completeBaseName() : file.name,
            QString(), file.meta, file.stations};
}

} // namespace

bool ReadIndexedLine(const QString& path, IndexedLine* out)
{
    LineFileCache once;
    const QFileInfo info(path);
    const CachedLineFile& file = once.whole(info);
    if (!file.readable)
        return false;
    *out = indexed(info, file);
    return true;
}

LineIndex::LineIndex() : own_(std::make_unique<LineFileCache>()), files_(own_.get()) { }

LineIndex::LineIndex(LineFileCache& files) : files_(&files) { }

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
            const CachedLineFile& file = files_->whole(info);
            if (!file.readable)
                continue;
            IndexedLine line = indexed(info, file);
            const QString rel = root.relativeFilePath(info.absolutePath());
            line.region = rel == QLatin1String(".") ? QString() : rel.section(u'/', 0, 0);
            lines_.append(std::move(line));
        }
    }
    return lines_;
}
