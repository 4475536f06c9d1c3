// SPDX-License-Identifier: GPL-3.0-or-later
#include "textfile.h"
#include "lib_util.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

struct Cp932Decoder
{
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    ~Cp932Decoder()
    {
        if (cd != iconv_t(-1))
            iconv_close(cd);
    }
};

} // namespace

QString DecodeCp932(const char* data, qsizetype size)
{
    static Cp932Decoder decoder;
    QString out;
    if (size <= 0)
        return out;
    if (decoder.cd == iconv_t(-1)) {
        // No converter: keep ASCII, mark the rest.
        for (qsizetype i = 0; i < size; ++i)
            out += uchar(data[i]) < 0x80 ? QChar(uchar(data[i]))
                                         : QChar(QChar::ReplacementCharacter);
        return out;
    }
    iconv(decoder.cd, nullptr, nullptr, nullptr, nullptr);
    // One byte never becomes more than one UTF-16 code unit in CP932.
    out.resize(size);
    char* in = const_cast<char*>(data);
    size_t inLeft = size_t(size);
    char* dst = reinterpret_cast<char*>(out.data());
    size_t outLeft = size_t(size) * 2;
    while (inLeft > 0) {
        if (iconv(decoder.cd, &in, &inLeft, &dst, &outLeft) != size_t(-1))
            break;
        if ((errno == EILSEQ || errno == EINVAL) && outLeft >= 2) {
            // A byte that starts no valid character: mark it and go on after it.
            const char16_t fffd = 0xFFFD;
            memcpy(dst, &fffd, 2);
            dst += 2;
            outLeft -= 2;
            ++in;
            --inLeft;
            iconv(decoder.cd, nullptr, nullptr, nullptr, nullptr);
            continue;
        }
        break;
    }
    out.resize((size * 2 - qsizetype(outLeft)) / 2);
    return out;
}

bool IsNonAsciiUtf8(const QByteArray& bytes)
{
    bool nonAscii = false;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const uchar c = uchar(bytes.at(i));
        if (c < 0x80) {
            ++i;
            continue;
        }
        nonAscii = true;
        int more = 0;
        char32_t cp = 0;
        char32_t least = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1, cp = c & 0x1F, least = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2, cp = c & 0x0F, least = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3, cp = c & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (i + more >= size)
            return false;
        for (int k = 1; k <= more; ++k) {
            const uchar t = uchar(bytes.at(i + k));
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        if (cp < least || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += more + 1;
    }
    return nonAscii;
}

bool TextFile::open(const QString& path)
{
    bytes_.clear();
    pos_ = 0;
    utf8_ = false;
    lfEnds_ = false;
    error_ = Error::None;
    errorString_.clear();

    const QString real = ResolvePath(path);
    const QFileInfo info(real);
    if (real.isEmpty() || !info.exists()) {
        error_ = Error::NotFound;
        return false;
    }
    if (info.isDir()) {
        error_ = Error::IsFolder;
        return false;
    }
    QFile file(real);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = Error::CannotOpen;
        errorString_ = file.errorString();
        return false;
    }
    if (file.size() > kMaxBytes) {
        error_ = Error::TooLarge;
        return false;
    }
    // Read in pieces so that a device that reports no size (or lies) still stops at the limit.
    // Files of /proc and the like report size 0: read until the read itself says the end.
    for (;;) {
        // Pieces no bigger than the file needs: most line files are a few kilobytes.
        const QByteArray chunk = file.read(qBound(qint64(4096), file.size() + 1, qint64(1) << 20));
        if (chunk.isEmpty())
            break;
        bytes_ += chunk;
        if (bytes_.size() > kMaxBytes) {
            bytes_.clear();
            error_ = Error::TooLarge;
            return false;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        bytes_.clear();
        error_ = Error::ReadFailed;
        errorString_ = file.errorString();
        return false;
    }
    // Old DOS editors end a file with Ctrl-Z; it is no part of the text.
    if (bytes_.endsWith('\x1A'))
        bytes_.chop(1);
    if (bytes_.startsWith("\xEF\xBB\xBF")) {
        utf8_ = true;
        pos_ = 3;
    } else {
        // Linux editors save UTF-8 without a byte-order mark. Japanese text in code page 932 is
        // practically never valid UTF-8, so valid UTF-8 with any non-ASCII byte is taken as it.
        utf8_ = IsNonAsciiUtf8(bytes_);
    }
    // A file without a single CR was written with LF line ends; any CR keeps the classic rules.
    lfEnds_ = !bytes_.contains('\r');
    return true;
}

QString TextFile::readLine()
{
    const qsizetype start = pos_;
    const qsizetype size = bytes_.size();
    const char lineEnd = lfEnds_ ? '\n' : '\r';
    qsizetype end = start;
    while (end < size && bytes_.at(end) != lineEnd)
        ++end;
    pos_ = end;
    if (pos_ < size) {
        ++pos_; // the CR or LF
        if (!lfEnds_ && pos_ < size && bytes_.at(pos_) == '\n')
            ++pos_;
    }
    const char* data = bytes_.constData() + start;
    return utf8_ ? QString::fromUtf8(data, end - start) : DecodeCp932(data, end - start);
}
