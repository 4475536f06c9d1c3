// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The settings kept between runs, as tabidori.conf holds them: a file of this program or one
// edited by hand reads back as written, and a value that is missing, out of range or malformed
// gives that setting's default alone.
#include "settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

Q_DECLARE_METATYPE(KeptSettings)

namespace {

// Every field, so that a row shows all that differs.
QString described(const KeptSettings& k)
{
    const LearningSettings& l = k.learning;
    return QStringLiteral("sound=%1 mode=%2 lastLine=%3 seconds=%4 shuffled=%5 reversed=%6 "
                          "correction=%7 retype=%8 retention=%9 goal=%10 speech=%11")
        .arg(k.soundOn)
        .arg(k.mode)
        .arg(k.lastLine)
        .arg(l.questionSeconds)
        .arg(l.shuffled)
        .arg(l.reversed)
        .arg(l.correction)
        .arg(l.retype)
        .arg(l.retention, 0, 'g', 17)
        .arg(l.dailyGoal)
        .arg(l.speech);
}

template<typename Change> KeptSettings defaultsBut(Change change)
{
    KeptSettings k;
    change(k);
    return k;
}

void writeConf(const QByteArray& text)
{
    QVERIFY(QDir().mkpath(QFileInfo(KeptSettingsPath()).path()));
    QFile file(KeptSettingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(text), text.size());
    QVERIFY(file.flush());
    // QSettings keeps what it read of a file until the file's size or time changes: rows of the
    // same length written in the same millisecond would read the row before.
    static int written = 0;
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(++written),
                             QFileDevice::FileModificationTime));
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void read_data();
    void read();
    void writtenAsBefore();
    void overlargeFileKeptAside();
};

void TestSettings::cleanup()
{
    QFile::remove(KeptSettingsPath());
}

void TestSettings::read_data()
{
    QTest::addColumn<QByteArray>("conf"); // a null text: no file at all
    QTest::addColumn<KeptSettings>("expected");

    const KeptSettings defaults;
    QTest::newRow("no file") << QByteArray() << defaults;
    QTest::newRow("empty file") << QByteArray("") << defaults;
    QTest::newRow("everything set")
        << QByteArray("[General]\nversion=1\nsound=false\nmode=2\nlastLine=/x/y.txt\n"
                      "[learning]\nquestionSeconds=20\nshuffled=true\nreversed=true\n"
                      "correction=false\nretype=true\nretention=0.85\ndailyGoal=120\n")
        << defaultsBut([](KeptSettings& k) {
               k.soundOn = false;
               k.mode = 2;
               k.lastLine = QStringLiteral("/x/y.txt");
               k.learning = {20, true, true, false, true, 0.85, 120};
           });
    QTest::newRow("switches in any case, 1 and 0")
        << QByteArray("[General]\nsound=FALSE\n[learning]\nshuffled=1\ncorrection=0\n"
                      "retype=True\n")
        << defaultsBut([](KeptSettings& k) {
               k.soundOn = false;
               k.learning.shuffled = true;
               k.learning.correction = false;
               k.learning.retype = true;
           });
    QTest::newRow("switches malformed")
        << QByteArray("[General]\nsound=no\n[learning]\ncorrection=off\nretype=2\n") << defaults;
    QTest::newRow("mode with blanks")
        << QByteArray("[General]\nmode= 1 \n") << defaultsBut([](KeptSettings& k) { k.mode = 1; });
    QTest::newRow("mode below") << QByteArray("[General]\nmode=-1\n") << defaults;
    QTest::newRow("mode above") << QByteArray("[General]\nmode=3\n") << defaults;
    QTest::newRow("mode malformed") << QByteArray("[General]\nmode=1.5\n") << defaults;
    QTest::newRow("seconds between choices")
        << QByteArray("[learning]\nquestionSeconds=11\n")
        << defaultsBut([](KeptSettings& k) { k.learning.questionSeconds = 15; });
    QTest::newRow("seconds above the last")
        << QByteArray("[learning]\nquestionSeconds=31\n")
        << defaultsBut([](KeptSettings& k) { k.learning.questionSeconds = 30; });
    QTest::newRow("seconds negative") << QByteArray("[learning]\nquestionSeconds=-5\n") << defaults;
    QTest::newRow("seconds malformed")
        << QByteArray("[learning]\nquestionSeconds=ten\n") << defaults;
    QTest::newRow("retention at the least")
        << QByteArray("[learning]\nretention=0.8\n")
        << defaultsBut([](KeptSettings& k) { k.learning.retention = 0.8; });
    QTest::newRow("retention at the most")
        << QByteArray("[learning]\nretention=0.97\n")
        << defaultsBut([](KeptSettings& k) { k.learning.retention = 0.97; });
    QTest::newRow("retention below") << QByteArray("[learning]\nretention=0.79\n") << defaults;
    QTest::newRow("retention above") << QByteArray("[learning]\nretention=0.971\n") << defaults;
    QTest::newRow("retention not a number")
        << QByteArray("[learning]\nretention=nan\n") << defaults;
    QTest::newRow("retention infinite") << QByteArray("[learning]\nretention=inf\n") << defaults;
    QTest::newRow("retention with a decimal comma")
        << QByteArray("[learning]\nretention=\"0,85\"\n") << defaults;
    QTest::newRow("retention empty") << QByteArray("[learning]\nretention=\n") << defaults;
    QTest::newRow("goal at the least")
        << QByteArray("[learning]\ndailyGoal=1\n")
        << defaultsBut([](KeptSettings& k) { k.learning.dailyGoal = 1; });
    QTest::newRow("goal at the most")
        << QByteArray("[learning]\ndailyGoal=1000\n")
        << defaultsBut([](KeptSettings& k) { k.learning.dailyGoal = 1000; });
    QTest::newRow("goal zero") << QByteArray("[learning]\ndailyGoal=0\n") << defaults;
    QTest::newRow("goal above") << QByteArray("[learning]\ndailyGoal=1001\n") << defaults;
    QTest::newRow("goal past 32 bits")
        << QByteArray("[learning]\ndailyGoal=4294967297\n") << defaults;
    QTest::newRow("goal malformed") << QByteArray("[learning]\ndailyGoal=12abc\n") << defaults;
    QTest::newRow("speech after every answer")
        << QByteArray("[learning]\nspeech=2\n")
        << defaultsBut([](KeptSettings& k) { k.learning.speech = kSpeechAnswers; });
    QTest::newRow("speech on misses")
        << QByteArray("[learning]\nspeech=1\n")
        << defaultsBut([](KeptSettings& k) { k.learning.speech = kSpeechMisses; });
    QTest::newRow("speech above the last")
        << QByteArray("[learning]\nspeech=7\n")
        << defaultsBut([](KeptSettings& k) { k.learning.speech = kSpeechAnswers; });
    QTest::newRow("speech negative") << QByteArray("[learning]\nspeech=-1\n") << defaults;
    QTest::newRow("speech malformed") << QByteArray("[learning]\nspeech=loud\n") << defaults;
    QTest::newRow("one bad value spoils no other")
        << QByteArray("[General]\nmode=9\n[learning]\ndailyGoal=0\nretention=0.95\n")
        << defaultsBut([](KeptSettings& k) { k.learning.retention = 0.95; });
}

void TestSettings::read()
{
    QFETCH(QByteArray, conf);
    QFETCH(KeptSettings, expected);
    if (!conf.isNull())
        writeConf(conf);
    QCOMPARE(described(ReadKeptSettings()), described(expected));
}

// A settings file far larger than any the program writes is not read (nor rewritten at each
// change): it is kept aside under another name, and the defaults hold.
void TestSettings::overlargeFileKeptAside()
{
    writeConf("[General]\nsound=false\n[padding]\n" + QByteArray(kKeptSettingsMaxBytes, 'x')
              + "=1\n");
    QCOMPARE(described(ReadKeptSettings()), described(KeptSettings()));
    QVERIFY(!QFileInfo::exists(KeptSettingsPath()));
    const QDir folder = QFileInfo(KeptSettingsPath()).dir();
    const QStringList aside = folder.entryList({"tabidori.conf.too-large-*"});
    QCOMPARE(aside.size(), 1);
    QVERIFY(QFile::remove(folder.filePath(aside.first())));
}

// The file keeps its keys, sections and way of writing values, so that a file written before
// reads the same and one written now reads the same in an older program.
void TestSettings::writtenAsBefore()
{
    KeptSettings kept;
    kept.soundOn = false;
    kept.mode = 1;
    kept.lastLine = QStringLiteral("/lines/a b.txt");
    kept.learning = {15, true, false, true, false, 0.93, 7};
    kept.learning.speech = kSpeechMisses;
    QVERIFY(WriteKeptSettings(kept));
    QCOMPARE(described(ReadKeptSettings()), described(kept));

    QFile file(KeptSettingsPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const char* line :
         {"[General]", "version=1", "sound=false", "mode=1", "lastLine=/lines/a b.txt",
          "[learning]", "questionSeconds=15", "shuffled=true", "reversed=false", "correction=true",
          "retype=false", "retention=0.93", "dailyGoal=7", "speech=1"})
        QVERIFY2(lines.contains(QByteArray(line)), line);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
