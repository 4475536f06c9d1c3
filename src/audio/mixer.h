// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound device behind one small interface, so that tests can swap in a recorder that runs
// on the virtual clock. The program uses the SDL2_mixer implementation (sdlmixer.h).

#include <QString>

namespace audio {

// Sound numbers 0 to kSlots - 1 each own one chunk and one voice.
inline constexpr int kSlots = 8;

// What open and load report: success, or a failure with a code and a readable description.
struct Status
{
    bool ok = true;
    int code = 0;
    QString description;

    static Status success() { return {}; }
    static Status failure(int code, const QString& description)
    {
        return {false, code, description};
    }
};

class Mixer
{
public:
    virtual ~Mixer() = default;

    // Opens the output device; needed before anything loads or plays.
    virtual Status open() = 0;
    // Decodes the whole file at path once into the chunk of sound k, replacing any older one.
    virtual Status load(int k, const QString& path) = 0;
    // Starts sound k once and returns at once. Does nothing while sound k still plays (it is
    // not restarted), and nothing when sound k has no chunk: a sound that failed to load is
    // silence, never an error.
    virtual void play(int k) = 0;
    // True while sound k plays.
    virtual bool playing(int k) = 0;
    // Speech has a channel of its own beside the sounds', at its own volume, so that a reading
    // never cuts the tick or a verdict. Loads the whole file and starts it at once, cutting a
    // reading that still plays.
    virtual Status speak(const QString& path) = 0;
    // True while a reading plays.
    virtual bool speaking() = 0;
    // Silences every sound (the program is ending).
    virtual void stopAll() = 0;
    // Drops every chunk and closes the device; open may be called again.
    virtual void reset() = 0;
    // True while the output device is open (and its audio thread runs). A mixer may close it
    // when nothing needs it and open it again for the next sound.
    virtual bool deviceOpen() const { return true; }
};

// The current mixer: the installed one, or the program's own SDL mixer, made on first use.
Mixer& mixer();
// Installs a mixer for tests; nullptr puts the program's own back. The caller keeps ownership.
void setMixer(Mixer* m);
// Resets the installed mixer and closes the program's own, which is made again on next use
// (so that a new device, or a new audio driver, is chosen when it opens).
void resetMixers();

} // namespace audio
