// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// check_wav: verifies the sound effects written by wavgen.
//
// Usage: check_wav <dir>
//
// Each file must be a plain 16-bit mono 44.1 kHz PCM WAVE whose chunks exactly cover the
// file, last roughly as long as intended, stay below full scale without being silent, start
// and end near zero (no click), and load through SDL2_mixer as the game loads it.
// Prints every failure and exits 1 if there is any, 0 otherwise.

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Expected
{
    const char* file;
    double seconds;
};

constexpr Expected kSounds[] = {
    {"ok.wav", 0.35},    {"ng.wav", 0.4},  {"sec.wav", 0.06},    {"start.wav", 2.0},
    {"badend.wav", 1.5}, {"end.wav", 1.5}, {"goodend.wav", 2.0},
};

constexpr int kRate = 44100;
constexpr int kEdgeLimit = 328; // 1% of full scale
constexpr int kSilenceLimit = 1000; // a peak below this means the file is essentially silent

std::uint32_t le(const std::vector<unsigned char>& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

bool tag(const std::vector<unsigned char>& b, std::size_t at, const char* name)
{
    return std::equal(name, name + 4, b.begin() + static_cast<std::ptrdiff_t>(at));
}

// Returns the problems found in one file's bytes; empty when it is fine.
std::vector<std::string> checkBytes(const std::vector<unsigned char>& b, double seconds)
{
    std::vector<std::string> errors;
    if (b.size() < 12 || !tag(b, 0, "RIFF") || !tag(b, 8, "WAVE"))
        return {"not a RIFF/WAVE file"};
    if (le(b, 4, 4) != b.size() - 8)
        errors.push_back("RIFF size " + std::to_string(le(b, 4, 4)) + " does not match file size "
                         + std::to_string(b.size()));

    bool haveFmt = false;
    std::size_t dataAt = 0;
    std::size_t dataSize = 0;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::size_t size = le(b, at + 4, 4);
        const std::size_t body = at + 8;
        if (body + size > b.size()) {
            errors.push_back("chunk at offset " + std::to_string(at) + " runs past the end");
            return errors;
        }
        if (tag(b, at, "fmt ")) {
            haveFmt = true;
            if (size < 16) {
                errors.push_back("fmt chunk too short");
            } else {
                if (le(b, body, 2) != 1)
                    errors.push_back("format is not PCM");
                if (le(b, body + 2, 2) != 1)
                    errors.push_back("not mono");
                if (le(b, body + 4, 4) != kRate)
                    errors.push_back("sample rate is not 44100");
                if (le(b, body + 8, 4) != kRate * 2 || le(b, body + 12, 2) != 2)
                    errors.push_back("byte rate or block align inconsistent");
                if (le(b, body + 14, 2) != 16)
                    errors.push_back("not 16 bits per sample");
            }
        } else if (tag(b, at, "data")) {
            dataAt = body;
            dataSize = size;
        }
        at = body + size + (size & 1);
    }
    if (at != b.size())
        errors.push_back("chunks do not end at the end of the file");
    if (!haveFmt)
        errors.push_back("no fmt chunk");
    if (dataAt == 0) {
        errors.push_back("no data chunk");
        return errors;
    }
    if (dataSize % 2 != 0 || dataSize == 0) {
        errors.push_back("data chunk size " + std::to_string(dataSize) + " is not whole samples");
        return errors;
    }

    const std::size_t count = dataSize / 2;
    const double length = static_cast<double>(count) / kRate;
    if (length < 0.5 * seconds || length > 1.5 * seconds)
        errors.push_back("lasts " + std::to_string(length) + " s, expected about "
                         + std::to_string(seconds) + " s");

    auto sample = [&](std::size_t i) {
        return static_cast<int>(static_cast<std::int16_t>(le(b, dataAt + 2 * i, 2)));
    };
    int peak = 0;
    for (std::size_t i = 0; i < count; ++i)
        peak = std::max(peak, std::abs(sample(i)));
    if (peak >= 32767)
        errors.push_back("reaches full scale (clipping)");
    if (peak < kSilenceLimit)
        errors.push_back("is (nearly) silent, peak " + std::to_string(peak));
    if (std::abs(sample(0)) > kEdgeLimit)
        errors.push_back("first sample " + std::to_string(sample(0)) + " is not near zero");
    if (std::abs(sample(count - 1)) > kEdgeLimit)
        errors.push_back("last sample " + std::to_string(sample(count - 1)) + " is not near zero");
    return errors;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: check_wav <dir>\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        std::cerr << "SDL_Init failed: " << SDL_GetError() << '\n';
        return 1;
    }
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 512) != 0) {
        std::cerr << "Mix_OpenAudio failed: " << Mix_GetError() << '\n';
        SDL_Quit();
        return 1;
    }

    int failures = 0;
    for (const Expected& sound : kSounds) {
        const auto path = dir / sound.file;
        std::vector<std::string> errors;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            errors.push_back("cannot be opened");
        } else {
            const std::vector<unsigned char> bytes {std::istreambuf_iterator<char>(in), {}};
            errors = checkBytes(bytes, sound.seconds);
            if (Mix_Chunk* chunk = Mix_LoadWAV(path.string().c_str())) {
                Mix_FreeChunk(chunk);
            } else {
                errors.push_back(std::string("Mix_LoadWAV failed: ") + Mix_GetError());
            }
        }
        for (const std::string& e : errors)
            std::cerr << path.string() << ": " << e << '\n';
        failures += errors.empty() ? 0 : 1;
    }

    Mix_CloseAudio();
    SDL_Quit();
    if (failures != 0) {
        std::cerr << failures << " of " << std::size(kSounds) << " sounds failed\n";
        return 1;
    }
    std::cout << "all " << std::size(kSounds) << " sounds ok\n";
    return 0;
}
