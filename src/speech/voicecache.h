// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The readings already made, one WAV file each, named by a hash of what was read, by which
// voice and how: a new voice or new options never play an old file. The folder is kept under
// a size limit by dropping the readings heard least recently.

#include <QByteArray>
#include <QString>

namespace speech {

// 100 MB: about 1,500 readings of some 63 KB, fifty lines, more than a learner has on the go;
// the whole library would take over five times as much.
inline constexpr qint64 kCacheLimitBytes = 100LL * 1000 * 1000;

// The file name (without .wav) of a station's reading: a hash of the name, the reading, the
// voice and the options.
QString CacheKey(const QString& name, const QString& reading, const QString& voiceId);

class VoiceCache
{
public:
    VoiceCache(QString folder, qint64 limitBytes);

    const QString& folder() const { return folder_; }
    QString pathOf(const QString& key) const;
    // True when a whole reading is there; a damaged or partial file is removed, to be made again.
    bool has(const QString& key) const;
    // Keeps a reading; false, with one log line, when the disk cannot take it.
    bool keep(const QString& key, const QByteArray& wav);
    // Marks a reading as just heard, so that it is the last to go.
    void touch(const QString& key) const;
    // Drops the readings heard least recently until the folder is within the limit; its size.
    qint64 trim() const;

private:
    QString folder_;
    qint64 limit_;
};

} // namespace speech
