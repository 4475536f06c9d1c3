// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakemixer.h"

#include "host.h"
#include "sound.h"

namespace {

bool validSlot(int k)
{
    return k >= 0 && k < audio::kSlots;
}

} // namespace

FakeMixer::FakeMixer()
{
    audio::setMixer(this);
}

FakeMixer::~FakeMixer()
{
    audio::setMixer(nullptr);
}

audio::Status FakeMixer::open()
{
    ++opens;
    isOpen = openResult.ok;
    return openResult;
}

audio::Status FakeMixer::load(int k, const QString& path)
{
    loads.push_back({k, path});
    if (!validSlot(k))
        return audio::Status::failure(-1, QStringLiteral("no such sound"));
    chunks[k] = false;
    // Like the real mixer, nothing loads without a device.
    if (!isOpen)
        return audio::Status::failure(-1, QStringLiteral("Audio device hasn't been opened"));
    const auto scripted = loadResults.find(k);
    if (scripted != loadResults.end() && !scripted->second.ok)
        return scripted->second;
    chunks[k] = true;
    return audio::Status::success();
}

void FakeMixer::play(int k)
{
    const std::int32_t now = platform::host().tickCount();
    const bool start = validSlot(k) && chunks[k] && !playing(k);
    plays.push_back({k, now, start});
    if (start) {
        started_[k] = true;
        startedAt_[k] = now;
    }
}

bool FakeMixer::playing(int k)
{
    if (!validSlot(k) || !started_[k])
        return false;
    const auto length = lengths.find(k);
    const std::int64_t ms = length == lengths.end() ? 0 : length->second;
    // An unsigned difference stays right across the wrap of the tick counter.
    const std::uint32_t elapsed = static_cast<std::uint32_t>(platform::host().tickCount())
        - static_cast<std::uint32_t>(startedAt_[k]);
    if (elapsed < ms)
        return true;
    started_[k] = false;
    return false;
}

audio::Status FakeMixer::speak(const QString& path)
{
    spoken.push_back(path);
    return isOpen ? audio::Status::success()
                  : audio::Status::failure(-1, QStringLiteral("Audio device hasn't been opened"));
}

void FakeMixer::stopAll()
{
    ++stopAllCalls;
    started_.fill(false);
}

void FakeMixer::reset()
{
    ++resets;
    isOpen = false;
    chunks.fill(false);
    started_.fill(false);
}

void FakeMixer::installAllSounds()
{
    isOpen = true;
    for (int k = 0; k < kSoundFileCount; ++k) {
        chunks[k] = true;
        gSoundFiles[k].FileFound = -1;
    }
    SetSoundRingFlag();
}
