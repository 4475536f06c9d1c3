// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Figure 5: from a play request to the first sound out of the mixer.

#include "figures.h"
#include "harness.h"
#include "sdlmixer.h"
#include "sound.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#include <QElapsedTimer>

#include <algorithm>
#include <atomic>

namespace bench {

namespace {

constexpr int kSoundPlays = 20;

std::atomic<qint64> gPlayRequestNs {-1};
std::atomic<qint64> gFirstSoundNs {-1};

// Runs on the audio thread after every mixed buffer: notes the first one that is not silence
// after a play request. Silence is all zero bytes in the signed format the mixer is opened in.
void noteFirstSound(void*, Uint8* stream, int len)
{
    if (gPlayRequestNs.load() < 0 || gFirstSoundNs.load() >= 0)
        return;
    for (int i = 0; i < len; ++i) {
        if (stream[i] != 0) {
            gFirstSoundNs.store(gClock.nsecsElapsed());
            return;
        }
    }
}

} // namespace

void figureAudioLatency(std::vector<Row>& rows, const Setup& setup)
{
    soundFolderOf(setup);
    BenchHost host(setup.buildDir);
    ScopedHost use(&host);
    ResetSound();
    SetSound();
    if (gSoundFiles[kSoundOk].RingFlag == 0)
        fail(QStringLiteral("ok.wav was not found"));
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    if (!SDL_AUDIO_ISSIGNED(format))
        fail(QStringLiteral("the mixer opened in an unsigned format; silence is not zero"));
    const QString driver = QString::fromLatin1(SDL_GetCurrentAudioDriver());
    Mix_SetPostMix(noteFirstSound, nullptr);

    std::vector<double> delays;
    for (int i = 0; i < kSoundPlays; ++i) {
        gFirstSoundNs.store(-1);
        gPlayRequestNs.store(gClock.nsecsElapsed());
        PlaySoundEffect(kSoundOk);
        QElapsedTimer waited;
        waited.start();
        while (gFirstSoundNs.load() < 0 && waited.elapsed() < 2000)
            host.waitForEvents(1);
        if (gFirstSoundNs.load() < 0)
            fail(QStringLiteral("ok.wav never left the mixer"));
        delays.push_back(double(gFirstSoundNs.load() - gPlayRequestNs.load()) / 1e6);
        gPlayRequestNs.store(-1);
        WaitSoundEffect(kSoundOk);
        // A few silent buffers between plays, and a pause of varying length, so that the
        // requests fall at every point of the mixer's period rather than at one.
        host.waitForEvents(30 + (i * 7) % 12);
    }
    Mix_SetPostMix(nullptr, nullptr);
    ResetSound();

    const double med = median(delays);
    const double bufferMs = audio::kBufferFrames * 1000.0 / std::max(1, frequency);
    rows.push_back(
        {QStringLiteral("5. Play request to first mixed audio frame (ok.wav)"),
         fixed(med, 2) + QStringLiteral(" ms"), QStringLiteral("< 20 ms"), verdict(med < 20.0),
         QStringLiteral("median of %1 (range %2–%3 ms); real SDL mixer, %4 driver, %5 Hz, "
                        "buffer of %6 ms; Mix_SetPostMix; the dummy driver's pacing stands in "
                        "for a device")
             .arg(kSoundPlays)
             .arg(fixed(minOf(delays), 2), fixed(maxOf(delays), 2), driver)
             .arg(frequency)
             .arg(fixed(bufferMs, 1))});
}

} // namespace bench
