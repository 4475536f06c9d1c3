// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <iconv.h>

QByteArray toCp932(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    iconv_t cd = iconv_open("CP932", "UTF-8");
    QByteArray out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* dst = out.data();
    size_t outLeft = size_t(out.size());
    const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == size_t(-1))
        qFatal("toCp932: text not representable: %s", qPrintable(text));
    out.resize(out.size() - qsizetype(outLeft));
    return out;
}

namespace {

QString writeTo(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("writeFile: cannot write %s", qPrintable(path));
    return path;
}

QByteArray lineFileBytes(const QStringList& lines)
{
    return toCp932(lines.join(QStringLiteral("\r\n")));
}

} // namespace

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    return writeTo(dir.filePath(name), bytes);
}

QString writeFile(const QString& folder, const QString& name, const QByteArray& bytes)
{
    return writeTo(QDir(folder).filePath(name), bytes);
}

QString writeLineFile(const QTemporaryDir& dir, const QString& name, const QStringList& lines)
{
    return writeFile(dir, name, lineFileBytes(lines));
}

QString writeLineFile(const QString& folder, const QString& name, const QStringList& lines)
{
    return writeFile(folder, name, lineFileBytes(lines));
}
