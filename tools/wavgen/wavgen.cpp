// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// wavgen: synthesises the game's sound effects as 16-bit mono 44.1 kHz WAVE files.
//
// Usage: wavgen <outdir>
//
// Every sound is a short list of notes played on one timbre. A timbre is a handful of sine
// partials, each with its own exponential decay, shaped by a smooth attack and release so
// that every note (and therefore every file) starts and ends at zero. The mix is scaled so
// its peak sits at -6 dBFS. Nothing random is involved: the output is the same on every run.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr double kPeak = 0.501187; // -6 dBFS
constexpr double kTwoPi = 2.0 * std::numbers::pi;

struct Partial
{
    double ratio; // frequency relative to the note
    double gain;
    double decay; // exponential decay rate in 1/s, 0 = sustained
};

struct Timbre
{
    std::vector<Partial> partials;
    double attack; // seconds
    double release; // seconds, taken from the end of the note
};

struct Note
{
    double start; // seconds
    double length; // seconds, release included
    const char* pitch; // scientific pitch name such as "C5" or "Eb4"
    double gain;
};

struct Sound
{
    const char* file;
    double duration;
    const Timbre* timbre;
    std::vector<Note> notes;
};

// "A4" = 440 Hz, equal temperament; accepts a sharp '#' or a flat 'b' after the letter.
double frequency(std::string_view pitch)
{
    static constexpr int kOffsets[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G from C
    int semitone = kOffsets[pitch[0] - 'A'];
    std::size_t i = 1;
    if (pitch[i] == '#') {
        ++semitone;
        ++i;
    } else if (pitch[i] == 'b') {
        --semitone;
        ++i;
    }
    const int octave = pitch[i] - '0';
    const int midi = 12 * (octave + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Raised-cosine ramp from 0 to 1 over x in [0, 1]: no corner at either end, so no click.
double ramp(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}

void addNote(std::vector<double>& mix, const Timbre& timbre, const Note& note)
{
    const double f0 = frequency(note.pitch);
    const auto first = static_cast<std::size_t>(note.start * kSampleRate);
    const auto count = static_cast<std::size_t>(note.length * kSampleRate);
    for (std::size_t n = 0; n < count && first + n < mix.size(); ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        const double envelope = ramp(t / timbre.attack) * ramp((note.length - t) / timbre.release);
        double sample = 0.0;
        for (const Partial& p : timbre.partials) {
            const double f = f0 * p.ratio;
            if (f >= 0.4 * kSampleRate)
                continue; // would alias
            sample += p.gain * std::exp(-p.decay * t) * std::sin(kTwoPi * f * t);
        }
        mix[first + n] += note.gain * envelope * sample;
    }
}

std::vector<std::int16_t> render(const Sound& sound)
{
    std::vector<double> mix(static_cast<std::size_t>(sound.duration * kSampleRate), 0.0);
    for (const Note& note : sound.notes)
        addNote(mix, *sound.timbre, note);

    double peak = 0.0;
    for (double s : mix)
        peak = std::max(peak, std::abs(s));
    const double scale = peak > 0.0 ? kPeak * 32767.0 / peak : 0.0;

    std::vector<std::int16_t> pcm;
    pcm.reserve(mix.size());
    for (double s : mix)
        pcm.push_back(static_cast<std::int16_t>(std::lround(s * scale)));
    return pcm;
}

void putLe(std::ofstream& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xff));
}

bool writeWav(const std::filesystem::path& path, const std::vector<std::int16_t>& pcm)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    const auto dataBytes = static_cast<std::uint32_t>(pcm.size() * 2);
    out.write("RIFF", 4);
    putLe(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    putLe(out, 16, 4); // fmt chunk size
    putLe(out, 1, 2); // PCM
    putLe(out, 1, 2); // mono
    putLe(out, kSampleRate, 4);
    putLe(out, kSampleRate * 2, 4); // byte rate
    putLe(out, 2, 2); // block align
    putLe(out, 16, 2); // bits per sample
    out.write("data", 4);
    putLe(out, dataBytes, 4);
    for (std::int16_t s : pcm)
        putLe(out, static_cast<std::uint16_t>(s), 2);
    out.close();
    return !out.fail();
}

// Bright, quickly fading chime for the right-answer sound.
const Timbre kChime {{{1.0, 1.0, 6.0}, {2.0, 0.35, 12.0}, {3.0, 0.12, 20.0}}, 0.004, 0.05};

// Low buzz: a second fundamental a little sharp of the first makes it wobble a few times
// per second, and the harmonics fall off quickly enough to stay soft rather than rasping.
const Timbre kBuzz {{{1.0, 1.0, 1.5},
                     {1.03, 0.7, 1.5},
                     {2.0, 0.45, 2.0},
                     {3.0, 0.3, 3.0},
                     {4.0, 0.15, 4.0},
                     {5.0, 0.1, 5.0},
                     {6.0, 0.05, 6.0}},
                    0.012,
                    0.08};

// Short, muffled click for the second counter.
const Timbre kTick {{{1.0, 1.0, 80.0}, {2.7, 0.25, 150.0}}, 0.0015, 0.03};

// Struck bar: the overtones of a tuned marimba bar sit near 4x and 10x the fundamental
// and die away much faster than it does.
const Timbre kMarimba {{{1.0, 1.0, 3.0}, {3.93, 0.3, 14.0}, {9.2, 0.08, 30.0}}, 0.003, 0.1};

// Mellow, sustained tone for the sad ending.
const Timbre kSoft {{{1.0, 1.0, 0.6}, {2.0, 0.3, 1.0}, {3.0, 0.1, 1.5}}, 0.03, 0.15};

// Brass-like tone: many harmonics, a slightly slower attack, little decay.
const Timbre kBrass {{{1.0, 1.0, 0.3},
                      {2.0, 0.6, 0.4},
                      {3.0, 0.4, 0.5},
                      {4.0, 0.25, 0.6},
                      {5.0, 0.15, 0.8},
                      {6.0, 0.08, 1.0}},
                     0.018,
                     0.07};

const std::vector<Sound>& sounds()
{
    static const std::vector<Sound> table {
        {"ok.wav",
         0.35,
         &kChime,
         {
             {0.00, 0.12, "C6", 1.0},
             {0.09, 0.26, "G6", 1.0},
         }},
        {"ng.wav",
         0.40,
         &kBuzz,
         {
             {0.00, 0.40, "A2", 1.0},
         }},
        {"sec.wav",
         0.06,
         &kTick,
         {
             {0.00, 0.06, "B5", 1.0},
         }},
        // A cheerful phrase that rises, turns around the dominant and settles on the tonic.
        {"start.wav",
         2.0,
         &kMarimba,
         {
             {0.000, 0.25, "E5", 0.8},
             {0.125, 0.25, "G5", 0.8},
             {0.250, 0.25, "C6", 0.9},
             {0.375, 0.40, "E6", 1.0},
             {0.625, 0.25, "D6", 0.8},
             {0.750, 0.25, "C6", 0.8},
             {0.875, 0.25, "D6", 0.8},
             {1.000, 0.40, "G5", 0.9},
             {1.250, 0.25, "A5", 0.8},
             {1.375, 0.25, "B5", 0.8},
             {1.500, 0.50, "C6", 1.0},
             {0.000, 1.00, "C4", 0.5},
             {1.000, 0.50, "G3", 0.5},
             {1.500, 0.50, "C4", 0.5},
             {1.500, 0.50, "E5", 0.5},
         }},
        // A minor line falling step by step onto a low C minor chord.
        {"badend.wav",
         1.5,
         &kSoft,
         {
             {0.00, 0.34, "G4", 1.0},
             {0.30, 0.34, "Eb4", 1.0},
             {0.60, 0.34, "D4", 1.0},
             {0.90, 0.60, "C4", 1.0},
             {0.90, 0.60, "Eb3", 0.5},
             {0.90, 0.60, "G3", 0.5},
             {0.90, 0.60, "C3", 0.6},
         }},
        // A calm rising arpeggio closing on a major chord.
        {"end.wav",
         1.5,
         &kMarimba,
         {
             {0.00, 0.40, "C5", 0.8},
             {0.15, 0.40, "E5", 0.8},
             {0.30, 0.40, "G5", 0.8},
             {0.45, 1.05, "C6", 1.0},
             {0.45, 1.05, "E5", 0.5},
             {0.45, 1.05, "G4", 0.5},
             {0.45, 1.05, "C4", 0.5},
         }},
        // Quick pickup, a held dominant, then a bright major chord to finish.
        {"goodend.wav",
         2.0,
         &kBrass,
         {
             {0.00, 0.11, "G4", 0.8},
             {0.12, 0.11, "C5", 0.8},
             {0.24, 0.11, "E5", 0.8},
             {0.36, 0.34, "G5", 1.0},
             {0.72, 0.12, "E5", 0.8},
             {0.86, 0.12, "G5", 0.9},
             {1.00, 1.00, "C6", 1.0},
             {1.00, 1.00, "G5", 0.6},
             {1.00, 1.00, "E5", 0.6},
             {1.00, 1.00, "C4", 0.6},
         }},
    };
    return table;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: wavgen <outdir>\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::cerr << "wavgen: cannot create " << dir.string() << ": " << ec.message() << '\n';
        return 1;
    }
    for (const Sound& sound : sounds()) {
        const auto path = dir / sound.file;
        if (!writeWav(path, render(sound))) {
            std::cerr << "wavgen: cannot write " << path.string() << '\n';
            return 1;
        }
    }
    return 0;
}
