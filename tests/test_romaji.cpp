// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "kanalineedit.h"
#include "romaji.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <set>
#include <string>

namespace {

// Types keys into a composer, '\b' standing for Backspace; returns what was committed.
QString typeInto(romaji::Composer& composer, const QString& keys)
{
    QString committed;
    for (const QChar c : keys) {
        if (c == u'\b')
            composer.backspace();
        else
            committed += composer.feed(c);
    }
    return committed;
}

bool isKana(char16_t c)
{
    return (c >= u'ぁ' && c <= u'ゖ') || c == u'ー' || c == u'ヵ' || c == u'ヶ';
}

} // namespace

class TestRomaji : public QObject
{
    Q_OBJECT

private slots:
    void convert_data();
    void convert();
    void composer_data();
    void composer();
    void backspaceSaysWhetherSomethingWaited();
    void tableIsWellFormed();

    void boxTypesKana_data();
    void boxTypesKana();
    void enterCommitsTrailingNBeforeTheHook();
    void hookSwallowsEnter();
    void hookSeesAndSwallowsCharacters();
    void hookCanReplaceACharacter();
    void backspaceRemovesWaitingLettersFirst();
    void escapeCancelsWaitingLetters();
    void setTextAndClearDropPending();
    void focusOutDropsPending();
    void cursorKeyCommitsBeforeMoving();
    void clickCommitsBeforeMoving();
    void typingReplacesSelectionAndUndoes();
    void inputMethodCommitIsInsertedUnchanged();
    void keypadMinusIsNotALongVowel();
    void readOnlyBoxTakesNothing();
};

void TestRomaji::convert_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("kana");

    // clang-format off
    const char* const pairs[][2] = {
        // n before a vowel, a consonant, n, ' and y
        {"kanna", "かんあ"}, {"kannna", "かんな"}, {"kan'na", "かんな"},
        {"konnichiha", "こんいちは"}, {"konnnichiha", "こんにちは"},
        {"shinnnosuke", "しんのすけ"}, {"onna", "おんあ"}, {"nnn", "んん"}, {"n'a", "んあ"},
        {"nnya", "んや"}, {"kanya", "かにゃ"}, {"kan'ya", "かんや"}, {"kan", "かん"},
        {"tennnouji", "てんのうじ"}, {"shin'ookubo", "しんおおくぼ"},
        {"den'enchoufu", "でんえんちょうふ"}, {"sentaakita", "せんたあきた"},
        {"shinjuku", "しんじゅく"}, {"n", "ん"}, {"xn", "ん"}, {"nk", "んk"},
        {"n-", "んー"}, {"ny", "ny"}, {"nyk", "nyk"},
        // doubled consonants
        {"tokkyuu", "とっきゅう"}, {"kitte", "きって"}, {"nippori", "にっぽり"},
        {"maccha", "まっちゃ"}, {"xtu", "っ"}, {"ltsu", "っ"}, {"xxtu", "っっ"},
        {"yya", "っや"}, {"wwa", "っわ"}, {"wwo", "っを"}, {"ttsu", "っつ"}, {"sshi", "っし"},
        {"kyakka", "きゃっか"}, {"qqa", "っくぁ"}, {"kkk", "っっk"},
        // long vowel mark
        {"ra-men", "らーめん"}, {"senta-kita", "せんたーきた"}, {"--", "ーー"},
        // other spellings and foreign sounds
        {"vu", "ゔ"}, {"va", "ゔぁ"}, {"whi", "うぃ"}, {"wyi", "ゐ"}, {"wye", "ゑ"},
        {"tha", "てゃ"}, {"t'u", "とぅ"}, {"d'u", "どぅ"}, {"hwyu", "ふゅ"}, {"kwa", "くぁ"},
        {"tsa", "つぁ"}, {"ye", "いぇ"}, {"xka", "ヵ"}, {"lke", "ヶ"}, {"di", "ぢ"},
        {"du", "づ"}, {"cya", "ちゃ"}, {"jya", "じゃ"}, {"zya", "じゃ"}, {"ci", "し"},
        {"qu", "く"}, {"hu", "ふ"}, {"wo", "を"}, {"xwa", "ゎ"}, {"lyu", "ゅ"},
        {"ikebukuro", "いけぶくろ"}, {"hamamatsuchou", "はままつちょう"},
        // letters that can no longer grow stay letters
        {"ky", "ky"}, {"kyt", "kyt"}, {"kyta", "kyた"}, {"ts", "ts"}, {"yi", "yい"},
        {"zh", "zh"}, {"t'", "t'"}, {"t'a", "t'あ"},
        // capitals, digits, ' and everything else commit what waits and go in as typed
        {"kA", "kA"}, {"kanA", "かんA"}, {"Tokyo", "Tおきょ"}, {"ka1", "か1"},
        {"n1", "ん1"}, {"sh1", "sh1"}, {"'", "'"}, {"a'", "あ'"}, {"k'a", "k'あ"},
        {"n''", "ん'"}, {"kan ka", "かん か"}, {"x.", "x."}, {"えきa", "えきあ"}, {"", ""},
    };
    // clang-format on
    for (const auto& [keys, kana] : pairs)
        QTest::newRow(keys) << QString::fromUtf8(keys) << QString::fromUtf8(kana);
}

void TestRomaji::convert()
{
    QFETCH(QString, keys);
    QFETCH(QString, kana);
    QCOMPARE(romaji::convert(keys), kana);
}

void TestRomaji::composer_data()
{
    QTest::addColumn<QString>("keys"); // '\b' is Backspace
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("pending");
    QTest::addColumn<QString>("flushed");

    QTest::newRow("n waits") << "kan"
                             << "か"
                             << "n"
                             << "ん";
    QTest::newRow("ny waits") << "kany"
                              << "か"
                              << "ny"
                              << "ny";
    QTest::newRow("doubled keeps one") << "kk"
                                       << "っ"
                                       << "k"
                                       << "k";
    QTest::newRow("t' waits") << "t'"
                              << ""
                              << "t'"
                              << "t'";
    QTest::newRow("dead end commits") << "kyt"
                                      << "ky"
                                      << "t"
                                      << "t";
    QTest::newRow("backspace one") << "sh\ba"
                                   << "さ"
                                   << ""
                                   << "";
    QTest::newRow("backspace to n") << "ny\b"
                                    << ""
                                    << "n"
                                    << "ん";
    QTest::newRow("backspace then vowel") << "ny\ba"
                                          << "な"
                                          << ""
                                          << "";
    QTest::newRow("backspace after tsu") << "kk\ba"
                                         << "っあ"
                                         << ""
                                         << "";
    QTest::newRow("backspace on nothing") << "k\b\ba"
                                          << "あ"
                                          << ""
                                          << "";
    QTest::newRow("backspace after kana") << "ka\b"
                                          << "か"
                                          << ""
                                          << "";
}

void TestRomaji::composer()
{
    QFETCH(QString, keys);
    QFETCH(QString, committed);
    QFETCH(QString, pending);
    QFETCH(QString, flushed);

    romaji::Composer composer;
    QCOMPARE(typeInto(composer, keys), committed);
    QCOMPARE(composer.pending(), pending);
    QCOMPARE(composer.hasPending(), !pending.isEmpty());
    QCOMPARE(composer.flush(), flushed);
    QVERIFY(!composer.hasPending());
}

void TestRomaji::backspaceSaysWhetherSomethingWaited()
{
    romaji::Composer composer;
    QVERIFY(!composer.backspace());
    composer.feed(u's');
    composer.feed(u'h');
    QVERIFY(composer.backspace());
    QCOMPARE(composer.pending(), QStringLiteral("s"));
    QVERIFY(composer.backspace());
    QVERIFY(!composer.backspace());
    composer.feed(u'k');
    composer.reset();
    QVERIFY(!composer.hasPending());
    QCOMPARE(composer.feed(u'a'), QStringLiteral("あ"));
}

void TestRomaji::tableIsWellFormed()
{
    const auto table = romaji::rules();
    QVERIFY(table.size() > 250);
    QVERIFY(std::ranges::is_sorted(table, {}, &romaji::Rule::keys)); // lookup relies on it

    std::set<std::string_view> keys;
    for (const romaji::Rule& rule : table) {
        const std::string name(rule.keys);
        QVERIFY2(keys.insert(rule.keys).second, ("duplicate " + name).c_str());
        QVERIFY(!rule.keys.empty());
        QVERIFY2(
            std::ranges::all_of(
                rule.keys, [](char c) { return (c >= 'a' && c <= 'z') || c == '-' || c == '\''; }),
            name.c_str());
        QVERIFY2(!rule.kana.empty() && std::ranges::all_of(rule.kana, isKana), name.c_str());
        if (!rule.next.empty())
            QVERIFY2(rule.keys.size() == 2 && rule.keys.substr(1) == rule.next, name.c_str());
    }

    // Every consonant but n doubles into っ and keeps itself waiting.
    for (char c = 'a'; c <= 'z'; ++c) {
        if (std::string_view("aeioun").find(c) != std::string_view::npos)
            continue;
        const std::string doubled(2, c);
        const auto it = std::ranges::find(table, std::string_view(doubled), &romaji::Rule::keys);
        QVERIFY2(it != table.end(), doubled.c_str());
        QVERIFY(it->kana == u"っ");
    }
    QVERIFY(std::ranges::find(table, std::string_view("nn"), &romaji::Rule::keys)->next.empty());
}

void TestRomaji::boxTypesKana_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");

    QTest::newRow("shinjuku") << "shinjuku"
                              << "しんじゅく";
    QTest::newRow("trailing n") << "kan"
                                << "かん";
    QTest::newRow("tokkyuu") << "tokkyuu"
                             << "とっきゅう";
    QTest::newRow("long vowel") << "ra-men"
                                << "らーめん";
    QTest::newRow("capital") << "kA"
                             << "kA";
    QTest::newRow("digit") << "ka1"
                           << "か1";
    QTest::newRow("apostrophe alone") << "a'"
                                      << "あ'";
}

void TestRomaji::boxTypesKana()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);

    KanaLineEdit box;
    QTest::keyClicks(&box, keys);
    QCOMPARE(box.text() + romaji::convert(box.pendingText()), text);
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.text(), text);
    QCOMPARE(box.pendingText(), QString());
}

void TestRomaji::enterCommitsTrailingNBeforeTheHook()
{
    KanaLineEdit box;
    QList<int> codes;
    QString textSeenByHook;
    box.keyPress = [&](int& keyAscii) {
        codes.append(keyAscii);
        if (keyAscii == 13)
            textSeenByHook = box.text();
    };
    QSignalSpy returnPressed(&box, &QLineEdit::returnPressed);

    QTest::keyClicks(&box, "kan");
    QCOMPARE(box.text(), QStringLiteral("か"));
    QCOMPARE(box.pendingText(), QStringLiteral("n"));
    QTest::keyClick(&box, Qt::Key_Return);

    QCOMPARE(codes, (QList<int> {'k', 'a', 'n', 13}));
    QCOMPARE(textSeenByHook, QStringLiteral("かん"));
    QCOMPARE(box.text(), QStringLiteral("かん"));
    QCOMPARE(returnPressed.count(), 1);

    QTest::keyClick(&box, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(codes.count(13), 2);
    QVERIFY(!box.text().contains(u'\n') && !box.text().contains(u'\r'));
}

void TestRomaji::hookSwallowsEnter()
{
    KanaLineEdit box;
    int submitted = 0;
    box.keyPress = [&](int& keyAscii) {
        if (keyAscii == 13) {
            ++submitted;
            keyAscii = 0;
        }
    };
    QSignalSpy returnPressed(&box, &QLineEdit::returnPressed);

    QTest::keyClicks(&box, "ekin");
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(submitted, 1);
    QCOMPARE(box.text(), QStringLiteral("えきん"));
    QCOMPARE(returnPressed.count(), 0);
}

void TestRomaji::hookSeesAndSwallowsCharacters()
{
    KanaLineEdit box;
    QList<int> codes;
    box.keyPress = [&](int& keyAscii) {
        codes.append(keyAscii);
        if (keyAscii >= '0' && keyAscii <= '9')
            keyAscii = 0;
    };
    QTest::keyClicks(&box, "k1a2");
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_Escape);
    QTest::keyClick(&box, Qt::Key_Left); // no character: the hook does not see it
    QCOMPARE(codes, (QList<int> {'k', '1', 'a', '2', 8, 27}));
    QCOMPARE(box.text(), QString());
}

void TestRomaji::hookCanReplaceACharacter()
{
    KanaLineEdit box;
    box.keyPress = [](int& keyAscii) {
        if (keyAscii >= 'A' && keyAscii <= 'Z')
            keyAscii += 'a' - 'A';
    };
    QTest::keyClicks(&box, "KyOTO");
    QCOMPARE(box.text(), QStringLiteral("きょと"));
    QCOMPARE(box.pendingText(), QStringLiteral(""));

    box.keyPress = [](int& keyAscii) {
        if (keyAscii == 'q')
            keyAscii = '?';
    };
    QTest::keyClicks(&box, "kq");
    QCOMPARE(box.text(), QStringLiteral("きょとk?"));
}

void TestRomaji::backspaceRemovesWaitingLettersFirst()
{
    KanaLineEdit box;
    QTest::keyClicks(&box, "shiky");
    QCOMPARE(box.text(), QStringLiteral("し"));
    QCOMPARE(box.pendingText(), QStringLiteral("ky"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.pendingText(), QStringLiteral("k"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), QStringLiteral("し"));
    QCOMPARE(box.pendingText(), QString());
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.text(), QStringLiteral("し"));
    QTest::keyClick(&box, Qt::Key_Backspace); // nothing waits: the kana goes
    QCOMPARE(box.text(), QString());
}

void TestRomaji::escapeCancelsWaitingLetters()
{
    KanaLineEdit box;
    QTest::keyClicks(&box, "kats");
    QTest::keyClick(&box, Qt::Key_Escape);
    QCOMPARE(box.text(), QStringLiteral("か"));
    QCOMPARE(box.pendingText(), QString());
    QTest::keyClick(&box, Qt::Key_A);
    QCOMPARE(box.text(), QStringLiteral("かあ"));
}

void TestRomaji::setTextAndClearDropPending()
{
    KanaLineEdit box;
    QTest::keyClicks(&box, "sh");
    box.setText(QStringLiteral("えき"));
    QCOMPARE(box.pendingText(), QString());
    QTest::keyClicks(&box, "a");
    QCOMPARE(box.text(), QStringLiteral("えきあ"));

    QTest::keyClicks(&box, "k");
    box.clear();
    QCOMPARE(box.pendingText(), QString());
    QTest::keyClicks(&box, "a");
    QCOMPARE(box.text(), QStringLiteral("あ"));

    // The time ran out mid-composition: the input method's late commit is for the old question.
    QInputMethodEvent oldReading(QStringLiteral("しぶや"), {});
    QApplication::sendEvent(&box, &oldReading);
    box.setText(QString());
    QInputMethodEvent lateCommit;
    lateCommit.setCommitString(QStringLiteral("しぶや"));
    QApplication::sendEvent(&box, &lateCommit);
    QCOMPARE(box.text(), QString());
    QInputMethodEvent newReading(QStringLiteral("え"), {});
    QApplication::sendEvent(&box, &newReading);
    QInputMethodEvent newCommit;
    newCommit.setCommitString(QStringLiteral("えき"));
    QApplication::sendEvent(&box, &newCommit);
    QCOMPARE(box.text(), QStringLiteral("えき"));
}

void TestRomaji::focusOutDropsPending()
{
    KanaLineEdit box;
    QTest::keyClicks(&box, "kan");
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&box, &focusOut);
    QCOMPARE(box.pendingText(), QString());
    QCOMPARE(box.text(), QStringLiteral("か"));
}

void TestRomaji::cursorKeyCommitsBeforeMoving()
{
    KanaLineEdit box;
    QTest::keyClicks(&box, "kan");
    QTest::keyClick(&box, Qt::Key_Left);
    QCOMPARE(box.text(), QStringLiteral("かん"));
    QCOMPARE(box.cursorPosition(), 1);
    QTest::keyClicks(&box, "ki"); // goes in at the cursor
    QCOMPARE(box.text(), QStringLiteral("かきん"));
    QTest::keyClick(&box, Qt::Key_Shift); // a modifier alone commits nothing
    QTest::keyClicks(&box, "s");
    QTest::keyClick(&box, Qt::Key_Shift);
    QCOMPARE(box.pendingText(), QStringLiteral("s"));
}

void TestRomaji::clickCommitsBeforeMoving()
{
    KanaLineEdit box;
    box.resize(200, 30);
    QTest::keyClicks(&box, "kan");
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(2, box.height() / 2));
    QCOMPARE(box.text(), QStringLiteral("かん"));
    QCOMPARE(box.pendingText(), QString());
    QCOMPARE(box.cursorPosition(), 0);
}

void TestRomaji::typingReplacesSelectionAndUndoes()
{
    KanaLineEdit box;
    box.setText(QStringLiteral("あいう"));
    box.selectAll();
    QTest::keyClicks(&box, "k");
    QCOMPARE(box.text(), QString()); // a composition replaces the selection at once
    QTest::keyClicks(&box, "akin");
    QCOMPARE(box.text(), QStringLiteral("かき"));
    box.undo();
    QVERIFY(!box.text().contains(u'き'));
}

void TestRomaji::inputMethodCommitIsInsertedUnchanged()
{
    KanaLineEdit box;
    QTest::keyClicks(&box, "kak");
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("ｶﾀｶﾅ"));
    QApplication::sendEvent(&box, &commit);
    QCOMPARE(box.text(), QStringLiteral("かkｶﾀｶﾅ")); // the waiting letter stays where it was
    QCOMPARE(box.pendingText(), QString());

    QInputMethodEvent latin;
    latin.setCommitString(QStringLiteral("ka"));
    QApplication::sendEvent(&box, &latin);
    QCOMPARE(box.text(), QStringLiteral("かkｶﾀｶﾅka"));

    // Switching the input method on sends an empty event; the letters seen are not lost.
    box.clear();
    QTest::keyClicks(&box, "shin");
    QInputMethodEvent switchedOn;
    QApplication::sendEvent(&box, &switchedOn);
    QCOMPARE(box.text() + box.pendingText(), QStringLiteral("しん"));
}

void TestRomaji::keypadMinusIsNotALongVowel()
{
    KanaLineEdit box;
    QTest::keyClicks(&box, "a");
    QTest::keyClick(&box, Qt::Key_Minus, Qt::KeypadModifier);
    QTest::keyClick(&box, Qt::Key_Minus);
    QCOMPARE(box.text(), QStringLiteral("あ-ー"));
}

void TestRomaji::readOnlyBoxTakesNothing()
{
    KanaLineEdit box;
    box.setReadOnly(true);
    QTest::keyClicks(&box, "kan");
    QCOMPARE(box.text(), QString());
    QCOMPARE(box.pendingText(), QString());
}

QTEST_MAIN(TestRomaji)
#include "test_romaji.moc"
