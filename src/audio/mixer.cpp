// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "mixer.h"
#include "sdlmixer.h"

#include <memory>

namespace audio {

namespace {

Mixer* installed = nullptr;

std::unique_ptr<SdlMixer>& ownMixer()
{
    static std::unique_ptr<SdlMixer> own;
    return own;
}

} // namespace

Mixer& mixer()
{
    if (installed)
        return *installed;
    std::unique_ptr<SdlMixer>& own = ownMixer();
    if (!own)
        own = std::make_unique<SdlMixer>();
    return *own;
}

void setMixer(Mixer* m)
{
    installed = m;
}

void resetMixers()
{
    if (installed)
        installed->reset();
    ownMixer().reset();
}

} // namespace audio
