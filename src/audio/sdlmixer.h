#pragma once
// The mixer on SDL2_mixer. Sound k always plays on voice (channel) k, so that "is sound k
// still playing" is a question about one channel.

#include "mixer.h"

#include <array>

struct Mix_Chunk;

namespace audio {

class SdlMixer final : public Mixer
{
public:
    SdlMixer() = default;
    ~SdlMixer() override;
    SdlMixer(const SdlMixer&) = delete;
    SdlMixer& operator=(const SdlMixer&) = delete;

    Status open() override;
    Status load(int k, const QString& path) override;
    void play(int k) override;
    bool playing(int k) override;
    void stopAll() override;
    void reset() override { close(); }

private:
    void close();

    bool sdlStarted_ = false; // the SDL audio subsystem is initialised
    bool opened_ = false; // the mixer's device is open
    std::array<Mix_Chunk*, kSlots> chunks_ {};
};

} // namespace audio
