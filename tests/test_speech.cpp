// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The readings as the voice makes them: which text it is given, that what it says spells the
// station's reading, and the cache it keeps them in. Synthesis runs the installed open_jtalk;
// without it those tests are skipped, saying so.

#include "envguard.h"
#include "fakemixer.h"
#include "linefile.h"
#include "sound.h"
#include "speaker.h"
#include "speechtext.h"
#include "textfile.h"
#include "wavfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <map>
#include <set>

using speech::Reading;

namespace {

// Waits (delivering events) until the speaker has made everything it was given.
bool settle(const speech::Speaker& s, int ms = 120000)
{
    return QTest::qWaitFor([&s] { return !s.working(); }, ms);
}

// The installed voice, with the program's voice file, in a cache folder of its own.
speech::VoiceSetup voice(const QString& cache)
{
    speech::VoiceSetup s = speech::DefaultSetup();
    s.voice = QStringLiteral(TABIDORI_VOICE_FILE);
    s.cacheFolder = cache;
    return s;
}

// A test that synthesises is skipped, saying why, where open_jtalk cannot speak.
#define NEEDS_OPEN_JTALK()                                                                         \
    do {                                                                                           \
        const QString why = speech::Unavailable(voice(QString()));                                 \
        if (!why.isEmpty())                                                                        \
            QSKIP(qPrintable(why + QStringLiteral(": scripts/install-deps test installs it")));    \
    } while (false)

} // namespace

class TestSpeech : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void kanaPhonemes_data();
    void kanaPhonemes();
    void unavailable_data();
    void unavailable();
    void wholeWav_data();
    void wholeWav();
    void chooseText_data();
    void chooseText();
    void libraryReadingsSpelt();
    void cache_data();
    void cache();

private:
    QTemporaryDir dir_;
    FakeMixer* mixer_ = nullptr;
};

void TestSpeech::init()
{
    mixer_ = new FakeMixer;
    mixer_->installAllSounds();
}

void TestSpeech::cleanup()
{
    delete mixer_;
    ResetSound();
}

void TestSpeech::kanaPhonemes_data()
{
    QTest::addColumn<QString>("kana");
    QTest::addColumn<QString>("phonemes");
    QTest::newRow("plain") << "しんじゅく"
                           << "sh i N j u k u";
    QTest::newRow("small tsu, long vowel") << "ほっかいどう"
                                           << "h o cl k a i d o u";
    QTest::newRow("ぢ and づ sound as じ and ず") << "ちぢみづ"
                                                  << "ch i j i m i z u";
    QTest::newRow("bar repeats the vowel") << "らべんだーばたけ"
                                           << "r a b e N d a a b a t a k e";
    QTest::newRow("small vowels join") << "ふぁみりーうぃんぐ"
                                       << "f a m i r i i w i N g u";
    QTest::newRow("katakana too") << "ゲートウェイ"
                                  << "g e e t o w e i";
    QTest::newRow("not kana") << "Gすくえあ"
                              << "";
    QTest::newRow("bar first") << "ーあ"
                               << "";
}

void TestSpeech::kanaPhonemes()
{
    QFETCH(QString, kana);
    QFETCH(QString, phonemes);
    QCOMPARE(speech::KanaPhonemes(kana), phonemes);
}

void TestSpeech::unavailable_data()
{
    QTest::addColumn<bool>("program");
    QTest::addColumn<bool>("dictionary");
    QTest::addColumn<bool>("voiceFile");
    QTest::addColumn<QString>("reason");
    const QString needed = QStringLiteral("読み上げには open-jtalk が必要です");
    QTest::newRow("everything there") << true << true << true << QString();
    QTest::newRow("no open_jtalk") << false << true << true << needed;
    QTest::newRow("no dictionary") << true << false << true << needed;
    QTest::newRow("no voice") << true << true << false
                              << QStringLiteral("読み上げの声のファイル (v.htsvoice) がありません");
}

void TestSpeech::unavailable()
{
    QFETCH(bool, program);
    QFETCH(bool, dictionary);
    QFETCH(bool, voiceFile);
    QFETCH(QString, reason);
    QTemporaryDir d;
    QVERIFY(QDir().mkpath(d.filePath("dic")));
    if (dictionary)
        QVERIFY(QFile(d.filePath("dic/sys.dic")).open(QIODevice::WriteOnly));
    if (voiceFile)
        QVERIFY(QFile(d.filePath("v.htsvoice")).open(QIODevice::WriteOnly));
    const speech::VoiceSetup s {program ? QStringLiteral("/bin/true") : QString(),
                                d.filePath("dic"), d.filePath("v.htsvoice"), d.filePath("cache")};
    QCOMPARE(speech::Unavailable(s), reason);
    // A voice that cannot speak makes nothing and says nothing.
    speech::Speaker speaker(s);
    speaker.prepare({{"新宿", "しんじゅく"}});
    speaker.say({"新宿", "しんじゅく"});
    QCOMPARE(speaker.working(), reason.isEmpty());
    QVERIFY(mixer_->spoken.empty());
}

void TestSpeech::wholeWav_data()
{
    QTest::addColumn<int>("keep"); // bytes kept of a good file; -1 all
    QTest::addColumn<bool>("whole");
    QTest::newRow("whole") << -1 << true;
    QTest::newRow("cut in the samples") << 2000 << false;
    QTest::newRow("header only") << 44 << false;
    QTest::newRow("empty") << 0 << false;
}

void TestSpeech::wholeWav()
{
    QFETCH(int, keep);
    QFETCH(bool, whole);
    // A second of 16-bit mono: 0.3 s silence, 0.4 s of a tone, 0.3 s silence.
    QByteArray samples(48000 * 2, '\0');
    for (int i = 14400; i < 33600; ++i) {
        const qint16 v = (i / 20) % 2 ? 8000 : -8000;
        qToLittleEndian(v, samples.data() + 2 * i);
    }
    QByteArray wav = "RIFF" + QByteArray(4, '\0') + "WAVEfmt " + QByteArray::fromHex("10000000")
        + QByteArray::fromHex("0100010080bb0000007701000200100064617461")
        + QByteArray::fromHex("00770100") + samples;
    QVERIFY(speech::WholeWav(wav));
    const QByteArray trimmed = speech::TrimSilence(wav);
    QVERIFY(speech::WholeWav(trimmed));
    // 0.4 s of voice, 5 ms before it and 20 ms after.
    QCOMPARE(trimmed.size(), 44 + 2 * (19200 + 240 + 960));
    if (keep >= 0)
        wav.truncate(keep);
    QCOMPARE(speech::WholeWav(wav), whole);
}

void TestSpeech::chooseText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<bool>("fromName");
    QTest::newRow("新宿: the dictionary's reading") << "新宿"
                                                    << "しんじゅく" << true;
    QTest::newRow("放出: the dictionary says ほうしゅつ") << "放出"
                                                          << "はなてん" << false;
    QTest::newRow("御徒町") << "御徒町"
                            << "おかちまち" << true;
    QTest::newRow("ヶ read as が") << "ひばりヶ丘"
                                   << "ひばりがおか" << true;
    QTest::newRow("ヶ not understood") << "七ヶ岳登山口"
                                       << "ななつがたけとざんぐち" << false;
    QTest::newRow("long tram stop") << "オークスカナルパークホテル富山前"
                                    << "おーくすかなるぱーくほてるとやままえ" << true;
    QTest::newRow("long tram stop with a letter")
        << "トヨタモビリティ富山 Gスクエア五福前"
        << "とよたもびりてぃとやまじーすくえあごふくまえ" << false;
}

void TestSpeech::chooseText()
{
    QFETCH(QString, name);
    QFETCH(QString, reading);
    QFETCH(bool, fromName);
    NEEDS_OPEN_JTALK();
    speech::Speaker speaker(voice(dir_.filePath("choose")));
    QSignalSpy made(&speaker, &speech::Speaker::made);
    speaker.prepare({{name, reading}});
    QVERIFY(settle(speaker));
    QCOMPARE(made.size(), 1);
    QCOMPARE(made[0][1].toBool(), fromName);
    QVERIFY2(speech::PhonemesSpell(made[0][2].toString(), reading),
             qPrintable(made[0][2].toString()));
}

// 200 of the library's stations, spread over it: what the voice said spells the reading, whichever
// text it was given.
void TestSpeech::libraryReadingsSpelt()
{
    std::set<std::pair<QString, QString>> all;
    QDirIterator files(QStringLiteral(TABIDORI_LINE_FOLDER), {"*.txt"}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        TextFile file;
        QVERIFY(file.open(files.next()));
        for (const LineFileStation& st : ParseLineFile(file).stations)
            all.insert({st.fields[0], st.fields[1]});
    }
    QVERIFY(all.size() > 1000);
    NEEDS_OPEN_JTALK();
    constexpr int kSample = 200;
    QList<Reading> sample;
    std::size_t i = 0;
    for (const auto& [name, reading] : all) {
        if (i++ % (all.size() / kSample) == 0 && sample.size() < kSample)
            sample.append({name, reading});
    }
    QCOMPARE(sample.size(), kSample);
    speech::Speaker speaker(voice(dir_.filePath("library")));
    std::map<QString, Reading> byPath;
    for (const Reading& r : sample)
        byPath[speaker.pathOf(r)] = r;
    QStringList wrong;
    int fromName = 0;
    int made = 0;
    connect(&speaker, &speech::Speaker::made, this,
            [&](const QString& path, bool name, const QString& phonemes) {
                ++made;
                fromName += name ? 1 : 0;
                const Reading& r = byPath.at(path);
                if (!speech::PhonemesSpell(phonemes, r.reading))
                    wrong << r.name + u' ' + r.reading + QStringLiteral(": ") + phonemes;
            });
    speaker.prepare(sample);
    QVERIFY(settle(speaker, 280000));
    QCOMPARE(made, kSample);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    qInfo("%d of %d from the name, %d from the reading", fromName, kSample, kSample - fromName);
}

void TestSpeech::cache_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("miss: made, then spoken") << "miss";
    QTest::newRow("hit: spoken at once") << "hit";
    QTest::newRow("partial file: made again") << "partial";
    QTest::newRow("full disk: skipped, one log line") << "full";
    QTest::newRow("sound switched off") << "off";
}

void TestSpeech::cache()
{
    QFETCH(QString, kind);
    NEEDS_OPEN_JTALK();
    const QString folder = dir_.filePath(QStringLiteral("cache-") + QTest::currentDataTag());
    speech::VoiceSetup s = voice(folder);
    const Reading r {"放出", "はなてん"};
    if (kind == "full") {
        // The folder cannot be made: writing fails as on a full disk.
        QVERIFY(QFile(dir_.filePath("a-file")).open(QIODevice::WriteOnly));
        s.cacheFolder = dir_.filePath("a-file/voice");
    }
    speech::Speaker speaker(s);
    const QString path = speaker.pathOf(r);
    if (kind == "hit" || kind == "partial") {
        speaker.prepare({r});
        QVERIFY(settle(speaker));
        QVERIFY(speech::WholeWav([&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }()));
    }
    if (kind == "partial")
        QVERIFY(QFile::resize(path, 1000));
    if (kind == "off")
        gSoundOn = 0;
    QSignalSpy made(&speaker, &speech::Speaker::made);
    if (kind == "full") {
        QLoggingCategory::setFilterRules(QStringLiteral("tabidori.speech.warning=true"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("reading not kept, speech skipped"));
    }
    speaker.say(r);
    const std::vector<QString> once {path};
    if (kind == "hit") {
        QCOMPARE(mixer_->spoken, once);
        QVERIFY(!speaker.working());
        return;
    }
    QVERIFY(mixer_->spoken.empty());
    QVERIFY(settle(speaker));
    QLoggingCategory::setFilterRules(QString());
    if (kind == "full" || kind == "off") {
        QVERIFY(mixer_->spoken.empty());
        QCOMPARE(made.size(), 0);
        QCOMPARE(QFile::exists(path), false);
        return;
    }
    QCOMPARE(made.size(), 1);
    QCOMPARE(mixer_->spoken, once);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(speech::WholeWav(f.readAll()));
}

QTEST_GUILESS_MAIN(TestSpeech)
#include "test_speech.moc"
