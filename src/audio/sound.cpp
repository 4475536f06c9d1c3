// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound.h"
#include "host.h"
#include "lib_util.h"
#include "mixer.h"

std::array<SoundFileEntry, 8> gSoundFiles;
std::int16_t gSoundOn = -1;

namespace {

// How the device-claiming step reports that no device was opened.
constexpr int kNoDeviceCode = -1;
const char* const kNoDeviceText = "no audio device";

// How long a wait for a sound sleeps between looks at it.
constexpr int kPollMs = 5;

void showFailure(const QString& head, const audio::Status& status)
{
    platform::messageBox(head + QString::number(status.code) + QStringLiteral("\r\n")
                         + status.description);
}

bool validSound(int k)
{
    return k >= 0 && k < static_cast<int>(gSoundFiles.size());
}

} // namespace

void SetSound()
{
    audio::Mixer& mixer = audio::mixer();

    const audio::Status device = mixer.open();
    if (!device.ok)
        showFailure(QStringLiteral("DirectSoundCreate Error\r\n"), device);

    // Claiming the device for this program's window is part of opening it here, so this step
    // fails exactly when there is no device.
    const audio::Status claimed = device.ok
        ? audio::Status::success()
        : audio::Status::failure(kNoDeviceCode, QString::fromLatin1(kNoDeviceText));
    if (!claimed.ok)
        showFailure(QStringLiteral("SetCooperativeLevel_Error:"), claimed);

    const QString folder = BuildFilePath(platform::host().programFolder(), QStringLiteral("sound"));
    for (int k = 0; k < kSoundFileCount; ++k)
        gSoundFiles[k].FilePath = BuildFilePath(folder, QString::fromLatin1(kSoundFileNames[k]));

    for (int k = 0; k < kSoundFileCount; ++k)
        gSoundFiles[k].FileFound = FileExists(gSoundFiles[k].FilePath) ? -1 : 0;

    for (int k = 0; k < kSoundFileCount; ++k) {
        if (gSoundFiles[k].FileFound == 0)
            continue;
        // FileExists accepts a name that differs in case only; load the file it found.
        const QString real = ResolvePath(gSoundFiles[k].FilePath);
        const audio::Status loaded = mixer.load(k, real.isEmpty() ? gSoundFiles[k].FilePath : real);
        if (!loaded.ok)
            showFailure(QStringLiteral("error:"), loaded);
    }

    SetSoundRingFlag();
}

void SetSoundRingFlag()
{
    for (int k = 0; k < kSoundFileCount; ++k)
        gSoundFiles[k].RingFlag = gSoundOn != 0 ? gSoundFiles[k].FileFound : std::int16_t(0);
}

void PlaySoundEffect(int k)
{
    if (!validSound(k) || gSoundFiles[k].RingFlag == 0)
        return;
    audio::mixer().play(k);
}

void WaitSoundEffect(int k)
{
    if (!validSound(k) || gSoundFiles[k].RingFlag == 0)
        return;
    platform::Host& host = platform::host();
    audio::Mixer& mixer = audio::mixer();
    for (;;) {
        if (platform::ending())
            return;
        host.processEvents();
        if (platform::ending() || !mixer.playing(k))
            return;
        // Sleep on the event loop between looks, rather than spin a core on the status.
        host.waitForEvents(kPollMs);
    }
}

void ResetSound()
{
    gSoundOn = -1;
    gSoundFiles.fill(SoundFileEntry {});
    audio::resetMixers();
}
