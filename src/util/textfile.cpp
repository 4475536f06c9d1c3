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

bool TextFile::open(const QString& path)
{
    bytes_.clear();
    pos_ = 0;
    utf8_ = false;
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
    if (bytes_.startsWith("\xEF\xBB\xBF")) {
        utf8_ = true;
        pos_ = 3;
    }
    return true;
}

QString TextFile::readLine()
{
    const qsizetype start = pos_;
    const qsizetype size = bytes_.size();
    qsizetype end = start;
    while (end < size && bytes_.at(end) != '\r')
        ++end;
    pos_ = end;
    if (pos_ < size) {
        ++pos_; // the CR
        if (pos_ < size && bytes_.at(pos_) == '\n')
            ++pos_;
    }
    const char* data = bytes_.constData() + start;
    return utf8_ ? QString::fromUtf8(data, end - start) : DecodeCp932(data, end - start);
}
