// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mixer on SDL2_mixer. Sound k always plays on voice (channel) k, so that "is sound k
// still playing" is a question about one channel.

#include "mixer.h"

#include <array>

class QTimer;

struct Mix_Chunk;

namespace audio {

// 1024 frames at 44.1 kHz are 23 ms: a sound starts about 10 ms after it is asked for (the
// wait for the next buffer), and the audio thread wakes 43 times a second rather than 86. SDL's
// drivers want a power of two here; 882 frames (20 ms) played sounds 16 % slow on the dummy
// driver. 2048 frames halve the thread's wake-ups (0.15 % of a core to 0.09 % while a question
// waits) but a real device then holds 46 ms of sound ahead of a new one: the answer's sound would
// come 25-50 ms after Enter. With the device closed between games the whole program already
// costs no more than a bare Qt window during a question, so the quicker sound wins.
inline constexpr int kBufferFrames = 1024;

// The speech channel, after the sounds' own, and its volume (of 128): a voice at full scale is
// louder than the designed sounds, and over the tick it would be hard to make out.
inline constexpr int kSpeechChannel = kSlots;
inline constexpr int kSpeechVolume = 96;

// The device is open only while it is needed: its audio thread wakes 43 times a second even
// when all it mixes is silence, which between games, or with the sound switched off, was most
// of what the idle program cost. After kRestAfterMs without a sound, when no game runs (or the
// sound is off), it closes; the next sound opens it again, keeping every chunk.
inline constexpr int kRestAfterMs = 3000;

class SdlMixer final : public Mixer
{
public:
    SdlMixer();
    ~SdlMixer() override;
    SdlMixer(const SdlMixer&) = delete;
    SdlMixer& operator=(const SdlMixer&) = delete;

    Status open() override;
    Status load(int k, const QString& path) override;
    void play(int k) override;
    bool playing(int k) override;
    Status speak(const QString& path) override;
    bool speaking() override;
    void stopAll() override;
    void reset() override { close(); }
    bool deviceOpen() const override { return opened_; }

private:
    void close();
    // Opens the device with the settings the chunks were made for; false when it cannot.
    bool openDevice();
    // Closes the device and keeps the chunks; the next sound opens it again.
    void rest();
    // Makes sure the device is open for a sound, and that it rests once nothing needs it.
    bool awake();
    void restLater();

    bool sdlStarted_ = false; // the SDL audio subsystem is initialised
    bool opened_ = false; // the mixer's device is open
    bool resting_ = false; // closed for want of sounds; the chunks are kept
    QTimer* restTimer_ = nullptr;
    std::array<Mix_Chunk*, kSlots> chunks_ {};
    Mix_Chunk* speech_ = nullptr; // the reading on the speech channel
};

} // namespace audio
