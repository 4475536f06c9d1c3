// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// One learner on several computers: each writes its games to a journal of its own in a shared
// folder and takes in the others'. Whatever the order, whatever a sync tool leaves half copied
// or copies twice, every history ends with the same games and the same cards.

#include "history.h"
#include "historykeeper.h"
#include "journal.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kStations {"東京", "神田", "秋葉原", "御徒町", "上野"};

// A 読み当て game on day `day` at `minute`, right on the stations whose bit is set in `right`.
GameRecord game(int day, int minute, unsigned right, const QString& line = "山手線")
{
    GameRecord g;
    g.when = QDateTime(QDate(2026, 11, 1).addDays(day), QTime(8, 0).addSecs(60 * minute));
    g.lineKey = line;
    g.lineName = line;
    g.lineFile = "/somewhere/" + line + ".txt";
    g.mode = 1;
    for (int i = 0; i < int(kStations.size()); ++i) {
        const bool ok = (right >> i & 1U) != 0;
        g.answers << GameRecord::Answer {kStations[i], kStations[i] + "よみ",
                                         ok ? Outcome::Right : Outcome::Wrong, ok ? 25 : 100,
                                         i % 2};
        g.right += ok ? 1 : 0;
    }
    g.asked = int(kStations.size());
    g.rate = double(g.right) / g.asked;
    g.score = 7 * g.right;
    return g;
}

// Rows of a table in a history file, as text, in a fixed order.
QStringList rows(const QString& historyFolder, const QString& sql)
{
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "look");
        db.setDatabaseName(historyFolder + "/history.sqlite");
        if (!db.open())
            return {"cannot open"};
        QSqlQuery q(db);
        if (!q.exec(sql))
            return {"cannot run " + sql};
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < q.record().count(); ++i)
                fields << q.value(i).toString();
            out << fields.join('|');
        }
    }
    QSqlDatabase::removeDatabase("look");
    return out;
}

QStringList cards(const QString& folder)
{
    return rows(folder,
                "SELECT line_key, mode, station, reading, reversed, "
                "round(stability, 9), round(difficulty, 9), due, last_review, reps, "
                "lapses, last_right, first_review FROM cards "
                "ORDER BY line_key, mode, station, reading, reversed");
}

QStringList games(const QString& folder)
{
    return rows(folder,
                "SELECT g.uid, g.installation, g.seq, g.played_at, g.line_key, g.score, "
                "group_concat(a.outcome || a.seconds || a.hints || a.step, ',') "
                "FROM games g JOIN answers a ON a.game_id = g.id GROUP BY g.id "
                "ORDER BY g.uid");
}

// One computer: its own history, the shared folder, its id.
struct Computer
{
    Computer(const QString& root, const QString& name, const QString& shared)
        : folder(root + "/" + name), keeper(folder), installation(name + "-0000-4000-8000")
    {
        keeper.setSharing(shared, installation);
    }
    QString folder;
    HistoryKeeper keeper;
    QString installation;
};

} // namespace

class TestSharing : public QObject
{
    Q_OBJECT
private slots:
    void journalLines_data();
    void journalLines();
    void twoComputersEndAlike();
    void whatSyncToolsLeave();
    void unreachableFolderWritesLater();
    void watcherSeesTheFirstJournal();
};

void TestSharing::journalLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("state");
    const QByteArray good = journal::encode([] {
                                GameRecord g = game(3, 0, 0b10110);
                                g.uid = "0f8e1c52-1111-4222-8333-123456789abc";
                                g.installation = "pc-1";
                                g.seq = 42;
                                return g;
                            }())
                                .chopped(1);
    const auto withJson = [](QByteArray json) {
        return json + '\t' + QByteArray::number(journal::crc32(json), 16).rightJustified(8, '0');
    };
    const QByteArray json = good.left(good.lastIndexOf('\t'));
    QTest::newRow("a whole game") << good << int(journal::LineState::Game);
    QByteArray flipped = good;
    flipped[20] = flipped[20] == 'a' ? 'b' : 'a';
    QTest::newRow("a byte changed") << flipped << int(journal::LineState::Torn);
    QTest::newRow("cut before the checksum") << json << int(journal::LineState::Torn);
    QTest::newRow("cut in the checksum") << good.chopped(3) << int(journal::LineState::Torn);
    QTest::newRow("a field of a later version")
        << withJson(json.chopped(1) + R"(,"tempo":3})") << int(journal::LineState::Game);
    QTest::newRow("a later version") << withJson(QByteArray(json).replace(R"("v":1)", R"("v":2)"))
                                     << int(journal::LineState::Newer);
    QTest::newRow("no id") << withJson(
        QByteArray(json).replace("0f8e1c52-1111-4222-8333-123456789abc", ""))
                           << int(journal::LineState::Malformed);
    QTest::newRow("a mode out of range")
        << withJson(QByteArray(json).replace(R"("mode":1)", R"("mode":7)"))
        << int(journal::LineState::Malformed);
    QTest::newRow("not JSON") << withJson("[1,2") << int(journal::LineState::Malformed);
}

// A line is taken only when it is whole and of our version; what a later version adds is
// passed over; a whole game comes back exactly as it went.
void TestSharing::journalLines()
{
    QFETCH(QByteArray, line);
    QFETCH(int, state);
    GameRecord g;
    QCOMPARE(int(journal::decode(line, &g)), state);
    if (state != int(journal::LineState::Game))
        return;
    GameRecord sent = game(3, 0, 0b10110);
    QCOMPARE(g.uid, QString("0f8e1c52-1111-4222-8333-123456789abc"));
    QCOMPARE(g.installation, QString("pc-1"));
    QCOMPARE(g.seq, qint64(42));
    QCOMPARE(g.when, sent.when);
    QCOMPARE(g.lineKey, sent.lineKey);
    QCOMPARE(g.score, sent.score);
    QCOMPARE(g.answers.size(), sent.answers.size());
    for (int i = 0; i < int(g.answers.size()); ++i) {
        QCOMPARE(g.answers[i].station, sent.answers[i].station);
        QCOMPARE(g.answers[i].outcome, sent.answers[i].outcome);
        QCOMPARE(g.answers[i].tenths, sent.answers[i].tenths);
        QCOMPARE(g.answers[i].hints, sent.answers[i].hints);
    }
}

// Two computers play on alternate days, one with a clock an hour behind, and merge as a sync
// tool lets them (each sometimes before the other's latest games arrive). Both end with the same
// games and the same cards, the cards the rebuild makes; and a third computer that reads the
// journals in another order, twice, ends the same.
void TestSharing::twoComputersEndAlike()
{
    QTemporaryDir root;
    const QString shared = root.filePath("Sync");
    QVERIFY(QDir().mkpath(shared));
    Computer home(root.path(), "home", shared);
    Computer laptop(root.path(), "laptop", shared);
    // The laptop's games before sharing began are shared too.
    QVERIFY(laptop.keeper.get());
    {
        Computer early(root.path(), "laptop", QString());
        QVERIFY(early.keeper.record(game(0, 0, 0b00001)));
    }
    for (int day = 1; day <= 6; ++day) {
        QVERIFY(home.keeper.record(game(day, 10, 0b11011 >> (day % 3))));
        // An hour behind: its morning game sorts before home's though written after it.
        QVERIFY(laptop.keeper.record(game(day, -50, 0b10101 << (day % 2))));
        QVERIFY(laptop.keeper.record(game(day, 30, 0b11111, "京浜東北線")));
        if (day % 2 == 0)
            home.keeper.share();
        else
            laptop.keeper.share();
    }
    laptop.keeper.share();
    home.keeper.share();
    QCOMPARE(games(home.folder).size(), 1 + 6 * 3);
    QCOMPARE(games(home.folder), games(laptop.folder));
    QCOMPARE(cards(home.folder), cards(laptop.folder));
    const QStringList merged = cards(home.folder);
    QVERIFY(home.keeper.get()->rebuildCards());
    QCOMPARE(cards(home.folder), merged);

    // Nothing new: nothing read again, nothing written.
    home.keeper.share();
    QCOMPARE(home.keeper.lastShare().files, 0);
    QCOMPARE(home.keeper.lastShare().written, 0);

    History third;
    QVERIFY(third.open(root.filePath("third")) == History::Opened::Ok);
    for (const char* name : {"laptop", "home", "laptop"}) {
        QFile f(journal::journalPath(shared, QString(name) + "-0000-4000-8000"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<GameRecord> read = journal::read(f.readAll()).games;
        QVERIFY(third.importGames(read) >= 0);
    }
    QCOMPARE(third.gameCount(), 1 + 6 * 3);
    QCOMPARE(cards(root.filePath("third")), merged);
}

// A last line still being copied is taken once whole; a conflict copy is read like the journal
// it copies (and left where it is); the same game twice is one game; a line of a later version is
// skipped and said once; a journal written by two computers of one id is read all the same; a
// journal that disappears takes nothing with it.
void TestSharing::whatSyncToolsLeave()
{
    QTemporaryDir root;
    const QString shared = root.filePath("Sync");
    Computer reader(root.path(), "reader", shared);
    QVERIFY(reader.keeper.get());
    const QString path = journal::journalPath(shared, "writer-1");
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    const auto line = [](int day, const QString& uid) {
        GameRecord g = game(day, 0, 0b01110);
        g.uid = uid;
        g.installation = "writer-1";
        g.seq = day;
        return journal::encode(g);
    };
    const QByteArray second = line(2, "u2");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(line(1, "u1") + line(1, "u1") + second.left(30));
    }
    QCOMPARE(reader.keeper.share(), 1);
    QCOMPARE(reader.keeper.lastShare().torn, 1);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append));
        f.write(second.mid(30));
    }
    QCOMPARE(reader.keeper.share(), 1);
    QCOMPARE(reader.keeper.lastShare().torn, 0);

    // Syncthing's name for the other side of a conflict, and another tool's.
    const QString conflict
        = QFileInfo(path).path() + "/games.sync-conflict-20261208-101500-ABCDEFG.jsonl";
    const QString copy = QFileInfo(path).path() + "/games (conflicted copy 2026-12-08).jsonl";
    QVERIFY(QFile::copy(path, conflict));
    {
        QFile f(copy);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(second + line(3, "u3"));
        GameRecord later = game(4, 0, 1);
        later.uid = "u4";
        f.write(QByteArray(journal::encode(later)).replace(R"("v":1)", R"("v":9)"));
    }
    QCOMPARE(reader.keeper.share(), 1);
    QCOMPARE(reader.keeper.lastShare().newer, 0); // the changed line fails its checksum
    QVERIFY(QFile::exists(conflict) && QFile::exists(copy));

    const QByteArray json = R"({"v":2,"id":"u5"})";
    {
        QFile f(copy);
        QVERIFY(f.open(QIODevice::Append));
        f.write(json + '\t' + QByteArray::number(journal::crc32(json), 16).rightJustified(8, '0')
                + '\n');
    }
    QCOMPARE(reader.keeper.share(), 0);
    QCOMPARE(reader.keeper.lastShare().newer, 1);
    QVERIFY(reader.keeper.takeMessage().contains("新しいバージョン"));

    // A second computer given a copy of this one's settings writes to the same journal.
    GameRecord twin = game(5, 0, 0b1);
    twin.uid = "twin";
    twin.installation = reader.installation;
    QString why;
    QVERIFY(journal::append(journal::journalPath(shared, reader.installation), {twin}, &why));
    QCOMPARE(reader.keeper.share(), 1);

    QVERIFY(QDir(journal::appFolder(shared)).removeRecursively());
    QCOMPARE(reader.keeper.share(), 0);
    QCOMPARE(reader.keeper.get()->gameCount(), 4);
}

// A folder out of reach (a share offline) loses nothing: the games are written when it is back.
void TestSharing::unreachableFolderWritesLater()
{
    QTemporaryDir root;
    const QString shared = root.filePath("offline");
    Computer pc(root.path(), "pc", shared);
    QVERIFY(pc.keeper.record(game(1, 0, 0b11111)));
    QVERIFY(pc.keeper.record(game(2, 0, 0b00011)));
    QVERIFY(!pc.keeper.lastShare().reachable);
    QVERIFY(QDir().mkpath(shared));
    QCOMPARE(pc.keeper.share(), 0);
    QCOMPARE(pc.keeper.lastShare().written, 2);
    QFile f(journal::journalPath(shared, pc.installation));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(journal::read(f.readAll()).games.size(), 2);
}

// A computer that has played nothing yet is running when another one's first games arrive: the
// folder of ours does not exist until then, and they come in all the same, told to the window.
void TestSharing::watcherSeesTheFirstJournal()
{
    QTemporaryDir root;
    const QString shared = root.filePath("Sync");
    QVERIFY(QDir().mkpath(shared));
    Computer idle(root.path(), "idle", shared);
    int told = 0;
    idle.keeper.onMerged = [&](int merged) { told += merged; };
    QVERIFY(idle.keeper.get());
    GameRecord g = game(1, 0, 0b111);
    g.uid = "first";
    g.installation = "busy-1";
    QString why;
    QVERIFY(journal::append(journal::journalPath(shared, "busy-1"), {g}, &why));
    QTRY_COMPARE_WITH_TIMEOUT(told, 1, 10000);
    QCOMPARE(idle.keeper.get()->gameCount(), 1);
}

QTEST_GUILESS_MAIN(TestSharing)
#include "test_sharing.moc"
