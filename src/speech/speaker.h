// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Station readings spoken by Open JTalk. The voice runs as a process, one at a time, at low
// priority, off the window's thread: a reading is made into the cache ahead of need (a line's
// readings when it loads) and played from there on the mixer's speech channel. Nothing here
// waits: a reading that is not made yet is played when it is, unless another was asked for
// meanwhile.

#include "voicecache.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QProcess;
class QTemporaryDir;

namespace speech {

// The voice is made at the mixer's own rate (44.1 kHz, frames of 5 ms): a reading from the
// cache then plays without being resampled first, as fast as the designed sounds.
inline const QStringList kSynthesisOptions {QStringLiteral("-s"), QStringLiteral("44100"),
                                            QStringLiteral("-p"), QStringLiteral("220")};

// Where the voice's parts are. Tests point these elsewhere.
struct VoiceSetup
{
    QString program; // open_jtalk; "" when it is not installed
    QString dictionary; // its dictionary folder
    QString voice; // the .htsvoice file
    QString cacheFolder;
    qint64 cacheLimit = kCacheLimitBytes;
};

// open_jtalk on the PATH, Debian's dictionary, the voice in the program's voice folder, the
// cache under $XDG_CACHE_HOME/tabidori/voice.
VoiceSetup DefaultSetup();

// Why the setup cannot speak, one line for the player; "" when it can.
QString Unavailable(const VoiceSetup& setup);

struct Reading
{
    QString name;
    QString reading;
    bool operator==(const Reading&) const = default;
};

class Speaker : public QObject
{
    Q_OBJECT
public:
    explicit Speaker(VoiceSetup setup, QObject* parent = nullptr);
    ~Speaker() override;

    // "" when the voice can speak, else why not.
    const QString& unavailable() const { return unavailable_; }
    const VoiceCache& cache() const { return cache_; }
    // The cache file of a reading (made or not).
    QString pathOf(const Reading& r) const;

    // The readings to make ahead, in the order they will be wanted; they replace those not yet
    // made of the last line.
    void prepare(const QList<Reading>& readings);
    // Speaks a reading now, or as soon as it is made. Silent while sound is switched off.
    void say(const Reading& r);
    // True while a reading is being made or waits to be.
    bool working() const;

signals:
    // A reading is in the cache; fromName says whether the name or the kana was read, phonemes
    // what the voice said (TracePhonemes).
    void made(const QString& path, bool fromName, const QString& phonemes);
    // A reading went to the mixer.
    void spoken(const QString& path);

private:
    enum class Stage { Name, Kana };
    struct Job
    {
        Reading reading;
        Stage stage = Stage::Name;
    };

    QString keyOf(const Reading& r) const;
    void startNext();
    void run(const Job& job);
    void finished(bool ok);
    void play(const QString& key);

    VoiceSetup setup_;
    QString unavailable_;
    QString voiceId_;
    VoiceCache cache_;
    std::unique_ptr<QTemporaryDir> work_;
    QProcess* process_ = nullptr;
    std::optional<Job> running_;
    QList<Reading> queue_;
    std::optional<Reading> wanted_; // to be spoken once made
    bool interrupting_ = false; // the running process was stopped for a reading asked for
};

} // namespace speech
