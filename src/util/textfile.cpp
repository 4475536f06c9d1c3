// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "textfile.h"
#include "codec.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

QString DecodeCp932(const char* data, qsizetype size)
{
    if (size <= 0)
        return {};
    if (std::optional<QString> text = DecodeBytes(QByteArrayView(data, size), "CP932"))
        return *text;
    // No converter: keep ASCII, mark the rest.
    QString out;
    for (qsizetype i = 0; i < size; ++i)
        out += uchar(data[i]) < 0x80 ? QChar(uchar(data[i])) : QChar(QChar::ReplacementCharacter);
    return out;
}

bool TextFile::open(const QString& path)
{
    bytes_.clear();
    pos_ = 0;
    utf8_ = false;
    lfEnds_ = false;
    lineTooLong_ = false;
    error_ = Error::None;
    errorString_.clear();

    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        error_ = Error::NotFound;
        return false;
    }
    if (info.isDir()) {
        error_ = Error::IsFolder;
        return false;
    }
    if (!info.isFile()) {
        error_ = Error::NotRegular;
        errorString_ = QStringLiteral("通常のファイルではありません");
        return false;
    }
    QFile file(path);
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
        // Overlong forms, surrogates and code points past U+10FFFF are not valid UTF-8.
        utf8_ = QByteArrayView(bytes_).isValidUtf8()
            && std::any_of(bytes_.cbegin(), bytes_.cend(), [](char c) { return uchar(c) >= 0x80; });
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
    const char* found = static_cast<const char*>(
        std::memchr(bytes_.constData() + start, lineEnd, std::size_t(size - start)));
    const qsizetype end = found ? qsizetype(found - bytes_.constData()) : size;
    pos_ = end;
    if (pos_ < size) {
        ++pos_; // the CR or LF
        if (!lfEnds_ && pos_ < size && bytes_.at(pos_) == '\n')
            ++pos_;
    }
    lineTooLong_ = end - start > kMaxLineBytes;
    if (lineTooLong_)
        return {};
    const char* data = bytes_.constData() + start;
    return utf8_ ? QString::fromUtf8(data, end - start) : DecodeCp932(data, end - start);
}
