// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// Key sequences for the romaji composer: what waits is always the start of some table key,
// flushing empties it, and typing then flushing gives what convert() gives.

#include "romaji.h"
#include "silenthost.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

enum class Kind { Type, Backspace, Flush };

struct Key
{
    Kind kind;
    QChar c;
};

// Printable ASCII is typed as itself so that seeds read as words; BS and DEL erase, LF
// flushes, and every other byte becomes a letter, '-' or '\'' so that mutations keep typing.
Key keyOf(std::uint8_t b)
{
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz-'";
    if (b == 0x08 || b == 0x7F)
        return {Kind::Backspace, {}};
    if (b == '\n')
        return {Kind::Flush, {}};
    if (b >= 0x20 && b < 0x7F)
        return {Kind::Type, QChar(b)};
    return {Kind::Type, QChar(kAlphabet[b % (sizeof(kAlphabet) - 1)])};
}

std::size_t longestKey()
{
    static const std::size_t longest = [] {
        std::size_t n = 0;
        for (const romaji::Rule& r : romaji::rules())
            n = std::max(n, r.keys.size());
        return n;
    }();
    return longest;
}

// Whether some key of the table (sorted by keys) starts with text.
bool startsSomeKey(const std::string& text)
{
    const auto table = romaji::rules();
    const auto it
        = std::ranges::lower_bound(table, std::string_view(text), {}, &romaji::Rule::keys);
    return it != table.end() && it->keys.starts_with(text);
}

void checkPending(const romaji::Composer& composer)
{
    const QString pending = composer.pending();
    fuzz::check(std::size_t(pending.size()) <= longestKey(), "pending longer than any key");
    fuzz::check(composer.hasPending() == !pending.isEmpty(), "hasPending disagrees");
    if (!pending.isEmpty())
        fuzz::check(startsSomeKey(pending.toStdString()), "pending starts no key");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    romaji::Composer composer;
    QString typed; // the output of the composer, flushes included
    QString expected; // convert() of each stretch typed between two flushes
    QString stretch;
    bool erased = false;
    for (std::size_t i = 0; i < size; ++i) {
        const Key key = keyOf(data[i]);
        switch (key.kind) {
        case Kind::Type:
            typed += composer.feed(key.c);
            stretch += key.c;
            break;
        case Kind::Backspace: {
            const bool waited = composer.hasPending();
            fuzz::check(composer.backspace() == waited, "backspace result");
            erased = erased || waited;
            break;
        }
        case Kind::Flush:
            typed += composer.flush();
            fuzz::check(!composer.hasPending() && composer.pending().isEmpty(),
                        "flush leaves something pending");
            expected += romaji::convert(stretch);
            stretch.clear();
            break;
        }
        checkPending(composer);
    }
    typed += composer.flush();
    fuzz::check(!composer.hasPending(), "final flush leaves something pending");
    expected += romaji::convert(stretch);
    // An erased letter changes what follows it, so only sequences without one compare.
    if (!erased)
        fuzz::check(typed == expected, "typing differs from convert()");
    return 0;
}
