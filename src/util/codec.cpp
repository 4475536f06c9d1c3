// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "codec.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>
#include <string>

namespace {

// QString's code units in memory order.
constexpr const char* kUtf16 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";

// Opening a converter costs more than converting one line, and a file is decoded a line at a
// time: each thread keeps the converters it has opened.
class Converters
{
public:
    ~Converters()
    {
        for (const auto& [names, cd] : open_) {
            if (cd != iconv_t(-1))
                iconv_close(cd);
        }
    }
    iconv_t get(const char* to, const char* from)
    {
        const std::string key = std::string(to) + '\n' + from;
        const auto found = open_.find(key);
        iconv_t cd = found != open_.end() ? found->second : open_[key] = iconv_open(to, from);
        if (cd != iconv_t(-1))
            iconv(cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        return cd;
    }

private:
    std::map<std::string, iconv_t> open_;
};

iconv_t converter(const char* to, const char* from)
{
    thread_local Converters converters;
    return converters.get(to, from);
}

} // namespace

std::optional<QString> DecodeBytes(QByteArrayView bytes, const char* encoding)
{
    const iconv_t cd = converter(kUtf16, encoding);
    if (cd == iconv_t(-1))
        return std::nullopt;
    // One byte seldom gives more than one code unit; the buffer grows when it does.
    QString out(bytes.size() + 8, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    qsizetype used = 0; // bytes of out written
    const auto room = [&] { return size_t(out.size()) * 2 - size_t(used); };
    while (inLeft > 0) {
        char* dst = reinterpret_cast<char*>(out.data()) + used;
        size_t outLeft = room();
        const size_t done = iconv(cd, &in, &inLeft, &dst, &outLeft);
        used = dst - reinterpret_cast<char*>(out.data());
        if (done != size_t(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // A byte that starts no valid character: mark it and go on after it.
        if (room() < 2)
            out.resize(out.size() * 2);
        const char16_t fffd = u'\uFFFD';
        std::memcpy(reinterpret_cast<char*>(out.data()) + used, &fffd, 2);
        used += 2;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used / 2);
    return out;
}

std::optional<QByteArray> EncodeText(QStringView text, const char* encoding)
{
    const iconv_t cd = converter(encoding, kUtf16);
    if (cd == iconv_t(-1))
        return std::nullopt;
    QByteArray out(text.size() * 2 + 16, Qt::Uninitialized);
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.data()));
    size_t inLeft = size_t(text.size()) * 2;
    qsizetype used = 0;
    // With the text used up, a last call ends any shift sequence of a stateful encoding.
    bool closing = false;
    for (;;) {
        char* dst = out.data() + used;
        size_t outLeft = size_t(out.size() - used);
        const size_t done = closing ? iconv(cd, nullptr, nullptr, &dst, &outLeft)
                                    : iconv(cd, &in, &inLeft, &dst, &outLeft);
        used = dst - out.data();
        if (done == size_t(-1)) {
            if (errno != E2BIG)
                return std::nullopt;
            out.resize(out.size() * 2);
            continue;
        }
        if (closing)
            break;
        closing = true;
    }
    out.resize(used);
    return out;
}
