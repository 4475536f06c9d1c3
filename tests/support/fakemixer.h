// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A mixer for tests: records every open, load and play request, and lets a sound play for a
// scripted length of the host's (virtual) clock. Installs itself on construction.

#include "mixer.h"

#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <vector>

class FakeMixer : public audio::Mixer
{
public:
    struct Play
    {
        int sound;
        std::int32_t at; // platform::host().tickCount() at the request
        bool started; // false when the sound had no chunk or was still playing
    };
    struct Load
    {
        int sound;
        QString path;
    };

    FakeMixer();
    ~FakeMixer() override;

    audio::Status open() override;
    audio::Status load(int k, const QString& path) override;
    void play(int k) override;
    bool playing(int k) override;
    audio::Status speak(const QString& path) override;
    bool speaking() override { return false; }
    void stopAll() override;
    void reset() override;

    // Gives sounds 0 to 6 a chunk and switches them on, as SetSound does with every file found
    // and loaded, without any files.
    void installAllSounds();

    // Script
    audio::Status openResult; // what open() answers
    std::map<int, audio::Status> loadResults; // per sound; success when absent
    std::map<int, std::int32_t>
        lengths; // how long each sound plays, ms; 0 (stops at once) when absent

    // Records
    int opens = 0;
    std::vector<Load> loads;
    std::vector<Play> plays;
    std::vector<QString> spoken; // the files given to the speech channel, in order
    int stopAllCalls = 0;
    int resets = 0;

    bool isOpen = false;
    std::array<bool, audio::kSlots> chunks {}; // sounds that have a chunk

private:
    std::array<bool, audio::kSlots> started_ {};
    std::array<std::int32_t, audio::kSlots> startedAt_ {};
};
