// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text file read line by line, as line files are: a line ends at CR LF or at a lone CR (a lone
// LF stays in the text), and the last line needs no line break; a file without any CR ends its
// lines at LF. Bytes are Shift-JIS (code page 932) unless the file begins with the UTF-8
// byte-order mark or is valid UTF-8 with some non-ASCII byte. A final Ctrl-Z is dropped. Bytes
// that cannot be decoded become U+FFFD.

#include <QByteArray>
#include <QString>

class TextFile
{
public:
    enum class Error { None, NotFound, IsFolder, NotRegular, CannotOpen, ReadFailed, TooLarge };

    // Largest file read; anything bigger cannot be a line file.
    static constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
    // Longest line decoded. A station or a line name is a few dozen bytes; one huge line would
    // be decoded, held and then laid out on the plate at great cost in time and memory.
    static constexpr qsizetype kMaxLineBytes = 256 * 1024;

    // Reads the whole file at path, exactly as named, and closes it again; false (and error())
    // on failure. Only a regular file (or a link to one) is opened: a FIFO would block the
    // open until some writer came, and a device such as /dev/zero never ends.
    bool open(const QString& path);
    bool atEnd() const { return pos_ >= bytes_.size(); }
    // The next line; a line longer than kMaxLineBytes is skipped undecoded, gives "" and sets
    // lineTooLong() until the next read.
    QString readLine();
    bool lineTooLong() const { return lineTooLong_; }
    bool isEmpty() const { return bytes_.isEmpty(); }

    // How the file was read: as UTF-8 (else code page 932), and with LF line ends (else CR).
    bool isUtf8() const { return utf8_; }
    bool hasLfLineEnds() const { return lfEnds_; }

    Error error() const { return error_; }
    // The system's reason for a failure, for messages.
    QString errorString() const { return errorString_; }

private:
    QByteArray bytes_;
    qsizetype pos_ = 0;
    bool utf8_ = false;
    bool lfEnds_ = false;
    bool lineTooLong_ = false;
    Error error_ = Error::None;
    QString errorString_;
};

// Decodes code page 932 bytes; every byte sequence that is not valid becomes U+FFFD.
QString DecodeCp932(const char* data, qsizetype size);
