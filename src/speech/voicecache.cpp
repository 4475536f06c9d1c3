// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "voicecache.h"
#include "speechlog.h"
#include "wavfile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace speech {

namespace {

// How the voice is asked to read; part of every key, so that a change makes new files.
const char* const kOptions
    = "open_jtalk default rate; silence trimmed to 5 ms before, 20 ms after; v1";

} // namespace

QString CacheKey(const QString& name, const QString& reading, const QString& voiceId)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& part : {name, reading, voiceId, QString::fromLatin1(kOptions)}) {
        hash.addData(part.toUtf8());
        hash.addData(QByteArrayView("\n", 1));
    }
    return QString::fromLatin1(hash.result().toHex());
}

VoiceCache::VoiceCache(QString folder, qint64 limitBytes)
    : folder_(std::move(folder)), limit_(limitBytes)
{ }

QString VoiceCache::pathOf(const QString& key) const
{
    return folder_ + u'/' + key + QStringLiteral(".wav");
}

bool VoiceCache::has(const QString& key) const
{
    QFile file(pathOf(key));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (WholeWav(file.readAll()))
        return true;
    qCInfo(logSpeech) << "damaged reading made again:" << file.fileName();
    file.close();
    file.remove();
    return false;
}

bool VoiceCache::keep(const QString& key, const QByteArray& wav)
{
    // Written aside and renamed: a reader never sees half a file, and a full disk leaves none.
    QSaveFile file(pathOf(key));
    if (!QDir().mkpath(folder_) || !file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size()
        || !file.commit()) {
        qCWarning(logSpeech).noquote()
            << "reading not kept, speech skipped:" << pathOf(key) << file.errorString();
        return false;
    }
    return true;
}

void VoiceCache::touch(const QString& key) const
{
    QFile file(pathOf(key));
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
}

qint64 VoiceCache::trim() const
{
    QFileInfoList files = QDir(folder_).entryInfoList({QStringLiteral("*.wav")}, QDir::Files);
    qint64 total = 0;
    for (const QFileInfo& f : files)
        total += f.size();
    if (total <= limit_)
        return total;
    std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() < b.lastModified();
    });
    for (const QFileInfo& f : files) {
        if (total <= limit_)
            break;
        if (QFile::remove(f.filePath()))
            total -= f.size();
    }
    return total;
}

} // namespace speech
