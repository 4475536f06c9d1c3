// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal that carries a learner's games between computers through a folder kept in step
// by some other program (Syncthing, Nextcloud, a network share, a USB stick).
//
// Each installation appends its own games, and only its own, to its own file:
// <folder>/tabidori/<installation id>/games.jsonl. No file is ever written by two computers, so
// a sync tool never has two versions of one file to reconcile. A game is one line: the game as
// compact JSON, a tab, and the CRC-32 of the JSON in eight hex digits. A line a sync tool has
// only half copied fails its checksum (or has no end yet) and is read once it is whole.

#include "session.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace journal {

// The version of a journal line; a line of a later one is skipped (and reported once).
inline constexpr int kVersion = 1;

// "tabidori", the one folder of ours inside the shared folder.
QString appFolder(const QString& sharedFolder);
// Where an installation's games go.
QString journalPath(const QString& sharedFolder, const QString& installation);

// CRC-32 (IEEE 802.3), as zlib computes it.
quint32 crc32(QByteArrayView bytes);

// One game as a journal line, its end of line included.
QByteArray encode(const GameRecord& game);

enum class LineState {
    Game, // a whole game
    Torn, // no checksum, or one that does not match: still being copied, or damaged
    Newer, // a whole line of a later version
    Malformed, // whole, but no game of ours (not JSON, a field missing or out of range)
};

// A line without its end of line.
LineState decode(QByteArrayView line, GameRecord* game);

struct ReadResult
{
    QList<GameRecord> games;
    // Bytes up to the end of the last whole line (a torn last line is read again next time).
    qint64 consumed = 0;
    int torn = 0; // torn lines, the unfinished last one among them
    int newer = 0;
    qint64 firstNewer = -1; // where the first line of a later version starts
    int malformed = 0;
};

// The games of the journal's bytes from `from` on; a last line without its end stays unread.
ReadResult read(const QByteArray& bytes, qint64 from = 0);

// The files under the shared folder that may hold games: every installation's journal and the
// copies sync tools make of it on a conflict ("games.sync-conflict-….jsonl", "games (conflicted
// copy …).jsonl"), never hidden files (a sync tool's temporary copies).
QStringList journalFiles(const QString& sharedFolder);

// Appends the games to the journal, each line whole, and flushes it to the disk. False, and
// why, when the folder cannot be reached or written; nothing half written is left but perhaps
// a torn last line, which readers skip and the next append ends.
bool append(const QString& path, const QList<GameRecord>& games, QString* why);

} // namespace journal
