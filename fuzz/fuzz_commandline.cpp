// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Command lines of any text: splitting, reading numbers and applying the options.
// The input is UTF-8, or UTF-16LE code units when it begins with the bytes FF FE.
//
// GetArrgment runs with the current folder switched to an empty scratch folder so that plain
// file names find nothing; absolute paths may still name real files, which are only read.
// The folder is switched back after each run, but a crash leaves it switched: give libFuzzer
// an absolute -artifact_prefix.

#include "commandline.h"
#include "gamestate.h"
#include "lib_util.h"
#include "silenthost.h"
#include "sound.h"
#include "stationtable.h"

#include <QStringList>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString decode(const std::uint8_t* data, std::size_t size)
{
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        QString text;
        for (std::size_t i = 2; i + 1 < size; i += 2)
            text += QChar(char16_t(data[i] | (data[i + 1] << 8)));
        return text;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

bool hasSeparator(const QString& s)
{
    return s.contains(u' ') || s.contains(u'\t');
}

void checkTokens(const QString& text, const QStringList& tokens)
{
    for (const QString& token : tokens) {
        fuzz::check(!token.isEmpty(), "empty token");
        fuzz::check(text.contains(token), "token not in the text");
        // Only a quoted token keeps blanks or tabs, and it stood right after its quote.
        if (hasSeparator(token))
            fuzz::check(text.contains(u'"' + token), "unquoted token with a separator");
    }
}

void checkLeadingNumber(const QString& text)
{
    const double value = LeadingNumber(text);
    fuzz::check(!std::isnan(value), "number is NaN");
    // The number ends where the text stops continuing it: a letter after it changes nothing.
    const double extended = LeadingNumber(text + u'x');
    fuzz::check(std::signbit(extended) == std::signbit(value)
                    && (extended == value || (std::isnan(extended) && std::isnan(value))),
                "a following letter changes the number");
    bool asciiDigit = false;
    for (const QChar c : text)
        asciiDigit = asciiDigit || (c >= u'0' && c <= u'9');
    if (!asciiDigit)
        fuzz::check(value == 0.0, "a number without digits");
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    if (value != 0.0 && i < text.size())
        fuzz::check((value < 0) == (text.at(i) == u'-'), "sign of the number");
}

int originalFolder()
{
    static const int fd = [] {
        const int f = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (f < 0)
            fuzz::fail("cannot open the current folder");
        return f;
    }();
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::host().folder = fuzz::scratchFolder();
    originalFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = decode(data, size);
    const QStringList tokens = TokenizeArguments(text);
    checkTokens(text, tokens);
    checkLeadingNumber(text);

    fuzz::SilentHost& host = fuzz::host();
    host.clearCounts();
    const QByteArray scratch = fuzz::scratchFolder().toLocal8Bit();
    if (chdir(scratch.constData()) != 0)
        fuzz::fail("cannot enter the scratch folder");
    GetArrgment(text);
    if (fchdir(originalFolder()) != 0)
        fuzz::fail("cannot go back to the original folder");

    fuzz::check(gGameMode >= kModeNone && gGameMode <= kModeEkiate, "game mode range");
    // "/?" ends the program once and stops the reading there; nothing else ends it.
    const qsizetype help = tokens.indexOf(QStringLiteral("/?"));
    fuzz::check(host.endCalls == (help >= 0 ? 1 : 0), "program ended");
    bool autoplay = false;
    bool soundOff = false;
    for (qsizetype i = 0; i < (help >= 0 ? help : tokens.size()); ++i) {
        const QString& t = tokens[i];
        autoplay = autoplay || t == QLatin1String("/AUTOPLAY") || t == QLatin1String("/AP")
            || t == QLatin1String("/autoplay") || t == QLatin1String("/ap");
        soundOff = soundOff || t.startsWith(QLatin1String("/SOUND=0"), Qt::CaseInsensitive)
            || t.startsWith(QLatin1String("/SO=0"), Qt::CaseInsensitive);
    }
    fuzz::check(gAutoPlay == autoplay, "autoplay option");
    fuzz::check((gSoundOn == 0) == soundOff, "sound option");
    fuzz::check(gStationCount >= 0 && gStationCount <= kStationTableSize, "station count range");

    ResetGameState();
    ResetStationTable();
    gAutoPlay = false;
    gSoundOn = -1;
    return 0;
}
