// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linelibrary.h"
#include "host.h"
#include "lib_util.h"
#include "logging.h"

QString LineLibrary::folder()
{
    return BuildFilePath(platform::host().programFolder(), QStringLiteral("line"));
}

const QList<IndexedLine>& LineLibrary::all()
{
    return index_.lines({folder(), UserLineFolder()});
}

QList<LineRegion> LineLibrary::regionsWithOwn()
{
    QList<LineRegion> regions = catalogue_.regions(folder());
    regions.append({QString(), QStringLiteral("マイ路線"), catalogue_.lines(UserLineFolder())});
    return regions;
}

const CachedLineFile& LineLibrary::whole(const QString& path)
{
    return files_.whole(QFileInfo(path));
}

const TrackAtlas& LineLibrary::track()
{
    if (!track_) {
        QString why;
        track_ = LoadTrackAtlas(folder(), &why);
        if (!why.isEmpty())
            qCWarning(logLibrary, "%s", qUtf8Printable(why));
    }
    return *track_;
}
