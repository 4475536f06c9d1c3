// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linelibrary.h"
#include "host.h"
#include "lib_util.h"
#include "logging.h"

#include <QDirIterator>
#include <QTimer>

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

namespace {

// Files read whole in one turn of the event loop: some tenths of a millisecond each.
constexpr int kAheadPerTurn = 12;
// The window is up and painted, and the player's first key is read, before the first turn.
constexpr int kAheadAfterMs = 800;
constexpr int kAheadTurnMs = 2;

} // namespace

LineLibrary::LineLibrary() = default;
LineLibrary::~LineLibrary() = default;

void LineLibrary::readAhead()
{
    ahead_.clear();
    for (const QString& root : {folder(), UserLineFolder()}) {
        QDirIterator it(root, {QStringLiteral("*.txt"), QStringLiteral("*.TXT")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            ahead_.append(it.fileInfo());
        }
    }
    if (!aheadTimer_) {
        aheadTimer_ = std::make_unique<QTimer>();
        QObject::connect(aheadTimer_.get(), &QTimer::timeout, [this] { readAheadStep(); });
    }
    aheadTimer_->setInterval(kAheadAfterMs);
    aheadTimer_->start();
}

void LineLibrary::readAheadStep()
{
    // A pause between turns, however short: a timer of no interval is due again at once, and
    // the event loop would run turn after turn before it looks at a key or a paint.
    aheadTimer_->setInterval(kAheadTurnMs);
    for (int n = 0; n < kAheadPerTurn && !ahead_.isEmpty(); ++n)
        files_.whole(ahead_.takeLast());

    if (ahead_.isEmpty())
        aheadTimer_->stop();
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
