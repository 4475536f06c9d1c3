// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "wavfile.h"

#include <QtEndian>

#include <cstdlib>

namespace speech {

namespace {

// Where the 16-bit PCM samples are, in a file that WholeWav accepts.
struct Layout
{
    bool whole = false;
    int channels = 0;
    int rate = 0;
    qsizetype dataAt = 0; // offset of the first sample
    qsizetype dataBytes = 0;
};

quint32 u32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 u16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

Layout layoutOf(const QByteArray& wav)
{
    Layout l;
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return l;
    bool format = false;
    for (qsizetype at = 12; at + 8 <= wav.size();) {
        const QByteArray id = wav.mid(at, 4);
        const qsizetype size = u32(wav, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= wav.size()) {
            l.channels = u16(wav, body + 2);
            l.rate = int(u32(wav, body + 4));
            format
                = u16(wav, body) == 1 && u16(wav, body + 14) == 16 && l.channels > 0 && l.rate > 0;
        } else if (id == "data") {
            // The header says how much sound there is; a file cut short has less.
            if (!format || size <= 0 || body + size > wav.size())
                return l;
            l.dataAt = body;
            l.dataBytes = size - size % (2 * l.channels);
            l.whole = l.dataBytes > 0;
            return l;
        }
        at = body + size + (size & 1);
    }
    return l;
}

// Below this a sample is taken for silence: -50 dB of full scale.
constexpr int kQuiet = 100;
// Kept before and after the voice, so that its first and last sounds are not clipped. Short
// before it: every millisecond there is a millisecond more before the player hears the voice.
constexpr int kLeadMs = 5;
constexpr int kTailMs = 20;

} // namespace

bool WholeWav(const QByteArray& wav)
{
    return layoutOf(wav).whole;
}

QByteArray TrimSilence(const QByteArray& wav)
{
    const Layout l = layoutOf(wav);
    if (!l.whole)
        return wav;
    const qsizetype frameBytes = 2 * l.channels;
    const qsizetype frames = l.dataBytes / frameBytes;
    const auto loud = [&](qsizetype frame) {
        for (int c = 0; c < l.channels; ++c) {
            const auto s = qFromLittleEndian<qint16>(wav.constData() + l.dataAt + frame * frameBytes
                                                     + 2 * c);
            if (std::abs(int(s)) >= kQuiet)
                return true;
        }
        return false;
    };
    qsizetype first = 0;
    while (first < frames && !loud(first))
        ++first;
    if (first == frames)
        return wav; // all silence: nothing to cut it to
    qsizetype last = frames - 1;
    while (last > first && !loud(last))
        --last;
    first = std::max<qsizetype>(0, first - qsizetype(l.rate) * kLeadMs / 1000);
    last = std::min<qsizetype>(frames - 1, last + qsizetype(l.rate) * kTailMs / 1000);
    const QByteArray samples
        = wav.mid(l.dataAt + first * frameBytes, (last - first + 1) * frameBytes);

    QByteArray out;
    out.reserve(44 + samples.size());
    const auto put32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    const auto put16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out.append("RIFF");
    put32(quint32(36 + samples.size()));
    out.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(quint16(l.channels));
    put32(quint32(l.rate));
    put32(quint32(l.rate * frameBytes));
    put16(quint16(frameBytes));
    put16(16);
    out.append("data");
    put32(quint32(samples.size()));
    out.append(samples);
    return out;
}

} // namespace speech
