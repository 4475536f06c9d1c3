// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal.h"
#include "historyrows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cmath>

#include <unistd.h>

namespace journal {

namespace {

const QString kJournalName = QStringLiteral("games.jsonl");

// A game's fields in the journal; short, because a year of games is thousands of lines.
const QString kV = QStringLiteral("v");
const QString kId = QStringLiteral("id");
const QString kInstallation = QStringLiteral("inst");
const QString kSeq = QStringLiteral("seq");
const QString kAt = QStringLiteral("at");
const QString kKey = QStringLiteral("key");
const QString kName = QStringLiteral("name");
const QString kFile = QStringLiteral("file");
const QString kMode = QStringLiteral("mode");
const QString kRetry = QStringLiteral("retry");
const QString kCompleted = QStringLiteral("done");
const QString kReversed = QStringLiteral("rev");
const QString kTenths = QStringLiteral("tenths");
const QString kAsked = QStringLiteral("asked");
const QString kRight = QStringLiteral("right");
const QString kRate = QStringLiteral("rate");
const QString kScore = QStringLiteral("score");
const QString kAnswers = QStringLiteral("answers");

constexpr std::array<quint32, 256> crcTable()
{
    std::array<quint32, 256> table {};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

bool whole(const QJsonValue& v, qint64 min, qint64 max, qint64* out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!(d >= double(min) && d <= double(max)) || std::trunc(d) != d)
        return false;
    *out = qint64(d);
    return true;
}

bool readAnswer(const QJsonValue& v, GameRecord::Answer* a)
{
    // [station, reading, outcome, tenths, hints, step]
    const QJsonArray fields = v.toArray();
    qint64 tenths = 0;
    qint64 hints = 0;
    qint64 step = 0;
    if (fields.size() < 6 || !fields[0].isString() || !fields[1].isString() || !fields[2].isString()
        || !whole(fields[3], 0, 36000, &tenths) || !whole(fields[4], 0, 1000, &hints)
        || !whole(fields[5], 0, 1, &step))
        return false;
    a->station = fields[0].toString();
    a->reading = fields[1].toString();
    a->outcome = history_rows::outcomeNamed(fields[2].toString());
    a->tenths = std::int32_t(tenths);
    a->hints = std::int32_t(hints);
    a->step = step != 0;
    return true;
}

} // namespace

QString appFolder(const QString& sharedFolder)
{
    return QDir(sharedFolder).filePath(QStringLiteral("tabidori"));
}

QString journalPath(const QString& sharedFolder, const QString& installation)
{
    return QDir(appFolder(sharedFolder)).filePath(installation + u'/' + kJournalName);
}

quint32 crc32(QByteArrayView bytes)
{
    static constexpr std::array<quint32, 256> kTable = crcTable();
    quint32 c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = kTable[(c ^ quint8(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray encode(const GameRecord& game)
{
    QJsonArray answers;
    for (const GameRecord::Answer& a : game.answers)
        answers.append(QJsonArray {a.station, a.reading,
                                   QString::fromLatin1(history_rows::outcomeName(a.outcome)),
                                   a.tenths, a.hints, a.step ? 1 : 0});
    const QJsonObject o {{kV, kVersion},
                         {kId, game.uid},
                         {kInstallation, game.installation},
                         {kSeq, double(game.seq)},
                         {kAt, game.when.toString(Qt::ISODate)},
                         {kKey, game.lineKey},
                         {kName, game.lineName},
                         {kFile, game.lineFile},
                         {kMode, game.mode},
                         {kRetry, game.retry ? 1 : 0},
                         {kCompleted, game.completed ? 1 : 0},
                         {kReversed, game.reversed ? 1 : 0},
                         {kTenths, game.questionTenths},
                         {kAsked, game.asked},
                         {kRight, game.right},
                         {kRate, game.rate},
                         {kScore, game.score},
                         {kAnswers, answers}};
    QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact);
    line += '\t' + QByteArray::number(crc32(line), 16).rightJustified(8, '0') + '\n';
    return line;
}

LineState decode(QByteArrayView line, GameRecord* game)
{
    const qsizetype tab = line.lastIndexOf('\t');
    if (tab < 0 || line.size() - tab - 1 != 8)
        return LineState::Torn;
    bool ok = false;
    const quint32 sum = line.sliced(tab + 1).toByteArray().toUInt(&ok, 16);
    const QByteArrayView json = line.first(tab);
    if (!ok || sum != crc32(json))
        return LineState::Torn;
    const QJsonDocument doc = QJsonDocument::fromJson(json.toByteArray());
    if (!doc.isObject())
        return LineState::Malformed;
    const QJsonObject o = doc.object();
    qint64 version = 0;
    if (!whole(o.value(kV), 1, 1'000'000, &version))
        return LineState::Malformed;
    if (version > kVersion)
        return LineState::Newer;
    // Fields a later version adds are passed over; those of ours must be there and sound.
    GameRecord g;
    qint64 mode = 0, seq = 0, tenths = 0, asked = 0, right = 0, score = 0;
    qint64 retry = 0, completed = 0, reversed = 0;
    g.uid = o.value(kId).toString();
    g.installation = o.value(kInstallation).toString();
    g.when = QDateTime::fromString(o.value(kAt).toString(), Qt::ISODate);
    g.lineKey = o.value(kKey).toString();
    g.lineName = o.value(kName).toString();
    g.lineFile = o.value(kFile).toString();
    if (g.uid.isEmpty() || g.uid.size() > 64 || !g.when.isValid() || g.lineKey.isEmpty()
        || !whole(o.value(kSeq), 0, qint64(1) << 52, &seq) || !whole(o.value(kMode), 0, 2, &mode)
        || !whole(o.value(kTenths), 1, 36000, &tenths)
        || !whole(o.value(kAsked), 0, 1'000'000, &asked)
        || !whole(o.value(kRight), 0, 1'000'000, &right)
        || !whole(o.value(kScore), -10'000'000, 10'000'000, &score)
        || !whole(o.value(kRetry), 0, 1, &retry) || !whole(o.value(kCompleted), 0, 1, &completed)
        || !whole(o.value(kReversed), 0, 1, &reversed) || !o.value(kRate).isDouble()
        || !o.value(kAnswers).isArray())
        return LineState::Malformed;
    g.seq = seq;
    g.mode = std::int32_t(mode);
    g.questionTenths = std::int32_t(tenths);
    g.asked = std::int32_t(asked);
    g.right = std::int32_t(right);
    g.score = std::int32_t(score);
    g.retry = retry != 0;
    g.completed = completed != 0;
    g.reversed = reversed != 0;
    g.rate = o.value(kRate).toDouble();
    for (const QJsonValue& v : o.value(kAnswers).toArray()) {
        GameRecord::Answer a;
        if (!readAnswer(v, &a))
            return LineState::Malformed;
        g.answers.append(a);
    }
    *game = std::move(g);
    return LineState::Game;
}

ReadResult read(const QByteArray& bytes, qint64 from)
{
    ReadResult r;
    r.consumed = std::clamp<qint64>(from, 0, bytes.size());
    qsizetype at = qsizetype(r.consumed);
    while (at < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0) {
            // Still being copied: read again when it has its end.
            ++r.torn;
            break;
        }
        GameRecord game;
        switch (decode(QByteArrayView(bytes).sliced(at, end - at), &game)) {
        case LineState::Game:
            r.games.append(std::move(game));
            break;
        case LineState::Torn:
            ++r.torn;
            break;
        case LineState::Newer:
            if (r.newer++ == 0)
                r.firstNewer = at;
            break;
        case LineState::Malformed:
            ++r.malformed;
            break;
        }
        at = end + 1;
        r.consumed = at;
    }
    return r;
}

QStringList journalFiles(const QString& sharedFolder)
{
    QStringList files;
    const QDir app(appFolder(sharedFolder));
    for (const QString& installation : app.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(app.filePath(installation));
        // Hidden files are a sync tool's copies in progress; conflict copies keep the name's
        // start and its extension.
        for (const QFileInfo& f :
             dir.entryInfoList({QStringLiteral("games*.jsonl")}, QDir::Files, QDir::Name)) {
            files << f.absoluteFilePath();
        }
    }
    return files;
}

bool append(const QString& path, const QList<GameRecord>& games, QString* why)
{
    if (!QDir().mkpath(QFileInfo(path).path())) {
        *why = QStringLiteral("cannot create ") + QFileInfo(path).path();
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        *why = file.errorString();
        return false;
    }
    QByteArray bytes;
    // A line left unfinished by an earlier run (a crash in the middle of a write) is ended, so
    // the next game starts a line of its own; readers skip the torn one.
    if (file.size() > 0 && file.seek(file.size() - 1) && file.read(1) != "\n")
        bytes += '\n';
    for (const GameRecord& g : games)
        bytes += encode(g);
    const bool written
        = file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
    if (!written)
        *why = file.errorString();
    return written;
}

} // namespace journal
