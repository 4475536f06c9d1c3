// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdlmixer.h"
#include "gameloop.h"
#include "logging.h"
#include "sound.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

namespace audio {

namespace {

constexpr int kRate = 44100;
constexpr int kOutputChannels = 2;

Status sdlFailure(int code)
{
    qCWarning(logAudio).noquote() << "SDL:" << SDL_GetError();
    return Status::failure(code < 0 ? code : -1, QString::fromUtf8(SDL_GetError()));
}

bool validSlot(int k)
{
    return k >= 0 && k < kSlots;
}

} // namespace

SdlMixer::SdlMixer()
{
    restTimer_ = new QTimer;
    restTimer_->setSingleShot(true);
    restTimer_->setInterval(kRestAfterMs);
    QObject::connect(restTimer_, &QTimer::timeout, [this] { rest(); });
}

SdlMixer::~SdlMixer()
{
    close();
    delete restTimer_;
}

Status SdlMixer::open()
{
    close();
    // SDL would otherwise take over Ctrl+C and SIGTERM and turn them into an SDL_QUIT event
    // that nobody here reads, so the program could no longer be stopped that way.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetMainReady();
    if (const int rc = SDL_InitSubSystem(SDL_INIT_AUDIO); rc < 0)
        return sdlFailure(rc);
    sdlStarted_ = true;
    if (const int rc = Mix_OpenAudio(kRate, AUDIO_S16SYS, kOutputChannels, kBufferFrames); rc < 0) {
        const Status failed = sdlFailure(rc);
        close();
        return failed;
    }
    opened_ = true;
    if (Mix_AllocateChannels(kSlots + 1) != kSlots + 1) {
        const Status failed = sdlFailure(-1);
        close();
        return failed;
    }
    Mix_Volume(kSpeechChannel, kSpeechVolume);
    restLater();
    return Status::success();
}

bool SdlMixer::openDevice()
{
    QElapsedTimer took;
    took.start();
    if (Mix_OpenAudio(kRate, AUDIO_S16SYS, kOutputChannels, kBufferFrames) < 0) {
        sdlFailure(-1);
        return false;
    }
    opened_ = true;
    Mix_AllocateChannels(kSlots + 1);
    Mix_Volume(kSpeechChannel, kSpeechVolume);
    qCDebug(logAudio, "device opened again in %.1f ms", took.nsecsElapsed() / 1e6);
    return true;
}

void SdlMixer::rest()
{
    if (!opened_)
        return;
    // A game keeps the device while it runs (its sounds come every few seconds, and opening
    // again before each would delay them); a sound still playing keeps it too.
    const bool needed = gSoundOn != 0 && GameRunning();
    if (needed || Mix_Playing(-1) != 0) {
        restLater();
        return;
    }
    Mix_CloseAudio();
    opened_ = false;
    resting_ = true;
}

bool SdlMixer::awake()
{
    if (resting_ && !opened_) {
        if (!openDevice())
            return false;
        resting_ = false;
    }
    if (opened_)
        restLater();
    return opened_;
}

void SdlMixer::restLater()
{
    restTimer_->start();
}

Status SdlMixer::load(int k, const QString& path)
{
    if (!validSlot(k))
        return Status::failure(-1, QStringLiteral("no sound number %1").arg(k));
    if (chunks_[k]) {
        Mix_FreeChunk(chunks_[k]); // halts the voice if it still plays the old chunk
        chunks_[k] = nullptr;
    }
    // Without an open device SDL_mixer refuses to load and says so; a resting one opens.
    awake();
    Mix_Chunk* chunk = Mix_LoadWAV(QFile::encodeName(path).constData());
    if (!chunk)
        return sdlFailure(-1);
    chunks_[k] = chunk;
    return Status::success();
}

void SdlMixer::play(int k)
{
    if (!validSlot(k) || !chunks_[k] || !awake() || Mix_Playing(k) != 0)
        return;
    // A voice that cannot start is silence; the game goes on without it.
    Mix_PlayChannel(k, chunks_[k], 0);
}

bool SdlMixer::playing(int k)
{
    return opened_ && validSlot(k) && Mix_Playing(k) != 0;
}

Status SdlMixer::speak(const QString& path)
{
    if (!awake())
        return Status::failure(-1, QStringLiteral("no audio device"));
    Mix_Chunk* chunk = Mix_LoadWAV(QFile::encodeName(path).constData());
    if (!chunk)
        return sdlFailure(-1);
    Mix_HaltChannel(kSpeechChannel);
    if (speech_)
        Mix_FreeChunk(speech_);
    speech_ = chunk;
    if (Mix_PlayChannel(kSpeechChannel, speech_, 0) < 0)
        return sdlFailure(-1);
    return Status::success();
}

bool SdlMixer::speaking()
{
    return opened_ && Mix_Playing(kSpeechChannel) != 0;
}

void SdlMixer::stopAll()
{
    if (opened_)
        Mix_HaltChannel(-1);
}

void SdlMixer::close()
{
    if (opened_)
        Mix_HaltChannel(-1);
    // The chunks outlive a resting device; they go with the mixer.
    if (opened_ || resting_) {
        for (Mix_Chunk*& chunk : chunks_) {
            if (chunk)
                Mix_FreeChunk(chunk);
            chunk = nullptr;
        }
        if (speech_)
            Mix_FreeChunk(speech_);
        speech_ = nullptr;
    }
    if (opened_) {
        Mix_CloseAudio();
        opened_ = false;
    }
    resting_ = false;
    if (restTimer_)
        restTimer_->stop();
    if (sdlStarted_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlStarted_ = false;
    }
}

} // namespace audio
