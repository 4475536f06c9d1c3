// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The WAV files of the voice cache: whole 16-bit PCM files only. A file cut short (a full disk,
// a process killed while writing) is never played: it is made again.

#include <QByteArray>

namespace speech {

// True for a RIFF WAVE file of 16-bit PCM whose data chunk is all there, with some sound in it.
bool WholeWav(const QByteArray& wav);

// The same file with the silence before and after the voice cut to a short margin, so that the
// first frame played is the voice's. A file that is not whole comes back as it is.
QByteArray TrimSilence(const QByteArray& wav);

} // namespace speech
