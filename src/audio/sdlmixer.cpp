// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdlmixer.h"
#include "logging.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#include <QFile>

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

SdlMixer::~SdlMixer()
{
    close();
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
    return Status::success();
}

Status SdlMixer::load(int k, const QString& path)
{
    if (!validSlot(k))
        return Status::failure(-1, QStringLiteral("no sound number %1").arg(k));
    if (chunks_[k]) {
        Mix_FreeChunk(chunks_[k]); // halts the voice if it still plays the old chunk
        chunks_[k] = nullptr;
    }
    // Without an open device SDL_mixer refuses to load and says so.
    Mix_Chunk* chunk = Mix_LoadWAV(QFile::encodeName(path).constData());
    if (!chunk)
        return sdlFailure(-1);
    chunks_[k] = chunk;
    return Status::success();
}

void SdlMixer::play(int k)
{
    if (!opened_ || !validSlot(k) || !chunks_[k] || Mix_Playing(k) != 0)
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
    if (!opened_)
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
    if (opened_) {
        Mix_HaltChannel(-1);
        for (Mix_Chunk*& chunk : chunks_) {
            if (chunk)
                Mix_FreeChunk(chunk);
            chunk = nullptr;
        }
        if (speech_)
            Mix_FreeChunk(speech_);
        speech_ = nullptr;
        Mix_CloseAudio();
        opened_ = false;
    }
    if (sdlStarted_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlStarted_ = false;
    }
}

} // namespace audio
