// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line and the main window's load: what the player gets from the options given.

#include "commandline.h"
#include "fakehost.h"
#include "fakemixer.h"
#include "fonts.h"
#include "frmlearning.h"
#include "frmlogin.h"
#include "frmmain.h"
#include "frmsplash.h"
#include "gamestate.h"
#include "lib_util.h"
#include "panelstatusbar.h"
#include "plate.h"
#include "platewidget.h"
#include "resetglobals.h"
#include "settings.h"
#include "sound.h"
#include "stationtable.h"
#include "tabidori.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void argumentText_data();
    void argumentText();
    void tokenize_data();
    void tokenize();
    void leadingNumber_data();
    void leadingNumber();
    void options_data();
    void options();
    void optionHelp();
    void twoFilesAndRepeatedLoads();
    void quotedPathWithBlank();
    void notARegularFile_data();
    void notARegularFile();
    void loadWithoutLine();
    void loadSelectsMode_data();
    void loadSelectsMode();
    void autoplayRunsInsideLoad();
    void autoplayWithoutLine();
    void soundOffOption();
    void closingEndsProgram();
    void settingsKeptAcrossRuns();
    void learningWindowLimits();
    void mainAutoplaysBeforeSplash();
    void mainLogonCancelled();
    void helpCommand_data();
    void helpCommand();
    void aboutCommand();

private:
    QTemporaryDir dir_;
    QString yamanote_;
    QString ginza_;
    FakeHost* host_ = nullptr;
    FakeMixer* mixer_ = nullptr;
};

void TestStartup::initTestCase()
{
    platform::registerFontSubstitutions();
    QDir().mkpath(dir_.filePath("line"));
    yamanote_ = writeLineFile(dir_, "line/yamanote.txt",
                              {"山手線", "###", "東京,とうきょう", "神田,かんだ"});
    ginza_ = writeLineFile(dir_, "line/ginza.txt", {"銀座線", "###", "渋谷,しぶや"});
    QDir::setCurrent(dir_.path());
}

void TestStartup::init()
{
    ResetGlobals();
    gSoundOn = -1;
    host_ = new FakeHost;
    host_->folder = dir_.path();
    mixer_ = new FakeMixer;
}

void TestStartup::cleanup()
{
    delete mixer_;
    delete host_;
}

void TestStartup::argumentText_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("tokens");
    QTest::newRow("none") << QStringList() << QStringList();
    QTest::newRow("plain") << QStringList {"a.txt", "/AP"} << QStringList {"a.txt", "/AP"};
    QTest::newRow("empty dropped") << QStringList {"", "/AP", ""} << QStringList {"/AP"};
    QTest::newRow("blanks, tab and quotes stay one")
        << QStringList {"/x/my \"best\" lines/a.txt", "a\tb"}
        << QStringList {"/x/my \"best\" lines/a.txt", "a\tb"};
}

void TestStartup::argumentText()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, tokens);
    QCOMPARE(CommandLineTokens(args), tokens);
}

void TestStartup::tokenize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("tokens");
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("one") << "/AP" << QStringList {"/AP"};
    QTest::newRow("several blanks act as one")
        << "a.txt    /AP  /SO=0" << QStringList {"a.txt", "/AP", "/SO=0"};
    QTest::newRow("tab separates") << "a.txt\t/AP" << QStringList {"a.txt", "/AP"};
    QTest::newRow("blank then tab ends") << "a.txt \t/AP" << QStringList {"a.txt"};
    QTest::newRow("two tabs end") << "a.txt\t\t/AP" << QStringList {"a.txt"};
    QTest::newRow("quoted with blank")
        << "\"/x/my lines/a.txt\" /AP" << QStringList {"/x/my lines/a.txt", "/AP"};
    QTest::newRow("unclosed quote runs to the end") << "/AP \"a b" << QStringList {"/AP", "a b"};
    QTest::newRow("quote inside a token is plain") << "ab\"c d" << QStringList {"ab\"c", "d"};
    QTest::newRow("empty quotes end") << "\"\" /AP" << QStringList();
    QTest::newRow("trailing blank") << "/AP " << QStringList {"/AP"};
}

void TestStartup::tokenize()
{
    QFETCH(QString, text);
    QFETCH(QStringList, tokens);
    QCOMPARE(TokenizeArguments(text), tokens);
}

void TestStartup::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("2") << "2" << 2.0;
    QTest::newRow("2x") << "2x" << 2.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("abc") << "abc" << 0.0;
    QTest::newRow("-1") << "-1" << -1.0;
    QTest::newRow("1.5") << "1.5" << 1.5;
    QTest::newRow("exponent") << "2e0" << 2.0;
    QTest::newRow("lone e") << "2e" << 2.0;
    QTest::newRow("huge") << "99999999999999999999" << 1e20;
}

void TestStartup::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(LeadingNumber(text), value);
}

void TestStartup::options_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("autoplay");
    QTest::addColumn<int>("soundOn");
    QTest::addColumn<int>("mode");
    QTest::newRow("no arguments") << "" << false << -1 << 0;
    QTest::newRow("/AP") << "/AP" << true << -1 << 0;
    QTest::newRow("/autoplay") << "/autoplay" << true << -1 << 0;
    QTest::newRow("/Autoplay is not an option") << "/Autoplay" << false << -1 << 0;
    QTest::newRow("/sound=0xyz") << "/sound=0xyz" << false << 0 << 0;
    QTest::newRow("/SO=0") << "/SO=0" << false << 0 << 0;
    QTest::newRow("/SOUND=1") << "/SOUND=1" << false << -1 << 0;
    QTest::newRow("/GM=2") << "/GM=2" << false << -1 << 2;
    QTest::newRow("/gm=1") << "/gm=1" << false << -1 << 1;
    QTest::newRow("/GAMEMODE=2x") << "/GAMEMODE=2x" << false << -1 << 2;
    QTest::newRow("/GAMEMODE=") << "/GM=2 /GAMEMODE=" << false << -1 << 0;
    QTest::newRow("/GAMEMODE=abc") << "/GM=1 /GAMEMODE=abc" << false << -1 << 0;
    QTest::newRow("/GM=-1") << "/GM=-1" << false << -1 << -1;
    QTest::newRow("/GM=1.5 halves to even") << "/GM=1.5" << false << -1 << 2;
    QTest::newRow("/GM=7 falls back") << "/GM=7" << false << -1 << 0;
    QTest::newRow("/GM=past 32 bits") << "/GM=99999999999" << false << -1 << 0;
    QTest::newRow("blank then tab ends") << "/GM=2 \t/AP" << false << -1 << 2;
}

void TestStartup::options()
{
    QFETCH(QString, text);
    QFETCH(bool, autoplay);
    QFETCH(int, soundOn);
    QFETCH(int, mode);
    GetArrgment(text);
    QCOMPARE(gAutoPlay, autoplay);
    QCOMPARE(int(gSoundOn), soundOn);
    QCOMPARE(gGameMode, mode);
    QVERIFY(host_->messages.empty());
}

void TestStartup::optionHelp()
{
    // The file before "/?" is loaded; nothing after it is read.
    GetArrgment("line/ginza.txt /? /AP");
    QCOMPARE(gStationCount, 1);
    QCOMPARE(gAutoPlay, false);
    QCOMPARE(host_->messages.size(), size_t(1));
    QCOMPARE(host_->messages[0].text,
             QStringLiteral("[FileName] : 自動読み込みの線ファイル\r\n"
                            "/SOUND=0 : サウンドを鳴らさない\r\n"
                            "/AUTOPLAY : 起動後、自動的にプレイを開始する\r\n"
                            "/GAMEMODE=n : プレイするモードを指定\r\n"
                            "n=0 : 早打ちモード\r\n"
                            "n=1 : 読み当てモード\r\n"
                            "n=2 : 駅当てモード\r\n"));
    QCOMPARE(host_->messages[0].title, QStringLiteral("Tabi Dori コマンドラインオプションヘルプ"));
    QCOMPARE(host_->messages[0].icon, platform::Icon::Information);
    QCOMPARE(host_->endCalls, 1);
}

void TestStartup::twoFilesAndRepeatedLoads()
{
    // The path that was really found is kept.
    GetArrgment("line/ginza.txt /AP");
    QCOMPARE(gLineFilePath, QStringLiteral("line/ginza.txt"));
    QCOMPARE(gStationCount, 1);
    QVERIFY(gAutoPlay);
    // The second file wins; a later missing one keeps the path but not the table.
    GetArrgment("line/ginza.txt line/yamanote.txt");
    QCOMPARE(gStationCount, 2);
    QCOMPARE(gLineName, QStringLiteral("山手線"));
    GetArrgment("line/yamanote.txt missing.txt");
    QCOMPARE(gLineFilePath, QStringLiteral("MISSING.TXT"));
    QCOMPARE(gLineName, QStringLiteral("山手線"));
    // ".TXT" anywhere counts, a further extension included.
    GetArrgment("notes.txt.bak");
    QCOMPARE(gLineFilePath, QStringLiteral("NOTES.TXT.BAK"));
    QVERIFY(host_->messages.empty());

    // Where a.txt and A.TXT both exist the name as typed wins; only a name that does not exist
    // is matched without regard to case. ß has a longer upper-case form.
    writeLineFile(dir_, "line/a.txt", {"小文字線", "###", "a,あ"});
    writeLineFile(dir_, "line/A.TXT", {"大文字線", "###", "a,あ"});
    writeLineFile(dir_, "line/Straße.txt", {"通り線", "###", "a,あ"});
    const QList<std::pair<const char*, const char*>> typed {{"line/a.txt", "小文字線"},
                                                            {"line/A.TXT", "大文字線"},
                                                            {"LINE/a.txt", "小文字線"},
                                                            {"line/Straße.txt", "通り線"}};
    for (const auto& [name, line] : typed) {
        GetArrgment(QString::fromUtf8(name));
        QCOMPARE(gLineName, QString::fromUtf8(line));
    }
}

void TestStartup::quotedPathWithBlank()
{
    QDir().mkpath(dir_.filePath("my \"best\" lines"));
    writeLineFile(dir_, "my \"best\" lines/keio.txt", {"京王線", "###", "新宿,しんじゅく"});
    GetArrgment(CommandLineTokens({dir_.filePath("my \"best\" lines/keio.txt"), "", "/GM=1"}));
    QCOMPARE(gLineName, QStringLiteral("京王線"));
    QCOMPARE(gGameMode, 1);
}

void TestStartup::notARegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("folder") << "folder"
                            << QStringLiteral("路線ファイルではなくフォルダです。\r\n%1");
    const QString other
        = QStringLiteral("路線ファイルではありません。\r\n%1\r\n通常のファイルではありません");
    QTest::newRow("FIFO") << "fifo" << other;
    QTest::newRow("link to /dev/zero") << "zero" << other;
}

void TestStartup::notARegularFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    const QString path = dir_.filePath(kind + ".txt");
    QVERIFY(kind == "folder"     ? QDir().mkpath(path)
                : kind == "fifo" ? mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                 : QFile::link("/dev/zero", path));
    // Said at start-up with the name as typed (a FIFO must not block it); the start command
    // names the same path, not an upper-cased one.
    frmMain w;
    w.Form_Load(QStringList {path, "/AP"});
    w.mnuGameStart_Click();
    QCOMPARE(host_->messages.size(), size_t(2));
    QCOMPARE(host_->messages[0].text, message.arg(path));
    QCOMPARE(host_->messages[1].text, QStringLiteral("路線ファイルが存在しません。\r\n") + path);
    QCOMPARE(gLineFilePath, path);
    QCOMPARE(gStationCount, 0);
}

void TestStartup::loadWithoutLine()
{
    frmMain w;
    w.Form_Load(QString());
    QVERIFY(w.isVisible());
    QCOMPARE(w.cmbGameMode->count(), 3);
    QCOMPARE(w.cmbGameMode->currentText(), QStringLiteral("早打ち"));
    QCOMPARE(w.sbStatusBar->panelText("Guide"), QStringLiteral("路線ファイルを選択してください。"));
    QVERIFY(w.mnuSound->isChecked());
    QCOMPARE(gSoundOn, std::int16_t(-1));
    // A line from the command line without autoplay: caption stays, guide stays empty.
    frmMain w2;
    w2.Form_Load("line/ginza.txt");
    QCOMPARE(w2.windowTitle(), QStringLiteral("TabiDori"));
    QCOMPARE(w2.sbStatusBar->panelText("Guide"), QString());
    QCOMPARE(gStationCount, 1);
}

void TestStartup::loadSelectsMode_data()
{
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("mode");
    QTest::newRow("/GM=2") << "/GM=2" << 2 << 2;
    QTest::newRow("/GM=-1") << "/GM=-1" << -1 << -1;
    QTest::newRow("/GM=9") << "/GM=9" << 0 << 0;
}

void TestStartup::loadSelectsMode()
{
    QFETCH(QString, args);
    QFETCH(int, index);
    QFETCH(int, mode);
    frmMain w;
    w.Form_Load(args);
    QCOMPARE(w.cmbGameMode->currentIndex(), index);
    QCOMPARE(gGameMode, mode);
    if (mode == 2)
        QCOMPARE(w.txtKaitouLeft(), 120); // arranged for the mode
    if (mode == -1)
        QCOMPARE(w.txtKaitouLeft(), 2280); // nothing selected, nothing arranged
}

void TestStartup::autoplayRunsInsideLoad()
{
    frmMain w;
    mixer_->installAllSounds();
    bool sawGame = false;
    host_->onWait = [&](int) { sawGame = sawGame || GameRunning(); };
    // Close the score window the game opens at its end.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* m = QApplication::activeModalWidget())
            m->close();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isModal() && top->isVisible())
                top->close();
    });
    closer.start(0);
    w.Form_Load("line/yamanote.txt /AP /GM=1");
    QVERIFY(sawGame);
    QVERIFY(!GameRunning());
    QCOMPARE(w.sbStatusBar->panelText("Guide"), QStringLiteral("終点につきました"));
    QCOMPARE(gGameMode, 1);
}

void TestStartup::autoplayWithoutLine()
{
    frmMain w;
    w.Form_Load("/AP missing.txt");
    QVERIFY(!GameRunning());
    QVERIFY(host_->waitedMs == 0);
    QCOMPARE(w.sbStatusBar->panelText("Guide"), QStringLiteral("路線ファイルを選択してください。"));
}

void TestStartup::soundOffOption()
{
    frmMain w;
    w.Form_Load("/SOUND=0");
    QVERIFY(!w.mnuSound->isChecked());
    for (int k = 0; k < 8; ++k)
        QCOMPARE(gSoundFiles[k].RingFlag, std::int16_t(0));
    w.mnuSound->trigger();
    QVERIFY(w.mnuSound->isChecked());
    QCOMPARE(gSoundOn, std::int16_t(-1));
}

void TestStartup::closingEndsProgram()
{
    frmMain w;
    w.Form_Load(QString());
    w.mnuFileEnd->trigger();
    QCOMPARE(host_->endCalls, 1);
    QVERIFY(platform::ending());
    QVERIFY(!w.isVisible());
}

// What the player chose is there again in the next window, as in the next run: the mode, the
// sound, the line with its title plate, the learning settings. The command line still wins and
// is not kept; a line that is gone is not loaded; a settings file that cannot be read or
// written leaves the defaults and stops nothing.
void TestStartup::settingsKeptAcrossRuns()
{
    const QString line = writeLineFile(dir_, "kept.txt",
                                       {"銀座線", "###", "渋谷,しぶや", "表参道,おもてさんどう"});
    const auto nextRun = [] {
        ResetStationTable();
        ResetGameState();
        gSoundOn = -1;
    };
    {
        frmMain w;
        w.Form_Load(QString());
        w.cmbGameMode->setCurrentIndex(2);
        w.mnuSound->trigger();
        QVERIFY(w.OpenLineFile(line));
        QTimer::singleShot(0, [] {
            auto* window = qobject_cast<frmLearning*>(QApplication::activeModalWidget());
            QVERIFY(window);
            window->cmbSeconds->setCurrentIndex(2);
            window->cmbDirection->setCurrentIndex(1);
            window->chkRetype->setChecked(true);
            window->accept();
        });
        w.mnuLearning->trigger();
        QCOMPARE(StationTable[0].StationName, QStringLiteral("表参道")); // loaded the other way
    }
    nextRun();
    {
        frmMain w;
        w.Form_Load(QString());
        QCOMPARE(w.cmbGameMode->currentIndex(), 2);
        QVERIFY(!w.mnuSound->isChecked());
        QCOMPARE(gLineFilePath, line);
        QCOMPARE(StationTable[0].StationName, QStringLiteral("表参道"));
        QCOMPARE(w.picStationPlate->surface().texts().value(0).text,
                 QStringLiteral("駅当てモード"));
        QCOMPARE(w.sbStatusBar->panelText("Guide"), kLineLoadedGuide);
        QCOMPARE(gLearning.questionSeconds, 20);
        QVERIFY(gLearning.retype && gLearning.reversed && gLearning.correction);
    }
    nextRun();
    {
        frmMain w;
        w.Form_Load("/GM=0 /SOUND=0 line/ginza.txt");
        QCOMPARE(gGameMode, 0);
        QVERIFY(gLineFilePath.endsWith(QStringLiteral("line/ginza.txt")));
        w.mnuCorrection->trigger(); // a change of the player's own: written with what was kept
    }
    nextRun();
    QVERIFY(QFile::remove(line));
    {
        frmMain w;
        w.Form_Load(QString());
        QCOMPARE(gGameMode, 2);
        QVERIFY(!gLearning.correction);
        QCOMPARE(gStationCount, 0);
    }
    QVERIFY(host_->messages.empty());

    nextRun();
    QVERIFY(QFile::remove(KeptSettingsPath()));
    QVERIFY(QDir().mkpath(KeptSettingsPath()));
    {
        frmMain w;
        w.Form_Load(QString());
        QCOMPARE(gGameMode, 0);
        QVERIFY(w.mnuSound->isChecked());
        w.mnuSound->trigger();
        QVERIFY(w.isVisible());
    }
    QVERIFY(host_->messages.empty());
}

// The learning settings window offers what the kept settings file accepts, and gives back what
// it was shown.
void TestStartup::learningWindowLimits()
{
    frmLearning window(LearningSettings {30, true, true, false, true, 0.97, 1000});
    QCOMPARE(window.spnRetention->minimum(), 80);
    QCOMPARE(window.spnRetention->maximum(), 97);
    QCOMPARE(window.spnGoal->minimum(), 1);
    QCOMPARE(window.spnGoal->maximum(), 1000);
    QStringList seconds;
    for (int i = 0; i < window.cmbSeconds->count(); ++i)
        seconds << window.cmbSeconds->itemText(i);
    QCOMPARE(seconds, QStringList({"10 秒 (標準)", "15 秒", "20 秒", "30 秒"}));
    const LearningSettings back = window.settings();
    QCOMPARE(back.questionSeconds, 30);
    QVERIFY(back.shuffled && back.reversed && !back.correction && back.retype);
    QCOMPARE(back.retention, 0.97);
    QCOMPARE(back.dailyGoal, 1000);
    window.spnRetention->setValue(0);
    window.spnGoal->setValue(5000);
    QCOMPARE(window.settings().retention, 0.8);
    QCOMPARE(window.settings().dailyGoal, 1000);

    const LearningSettings defaults = frmLearning(LearningSettings {}).settings();
    QCOMPARE(defaults.questionSeconds, 10);
    QVERIFY(!defaults.shuffled && !defaults.reversed && defaults.correction && !defaults.retype);
    QCOMPARE(defaults.retention, 0.9);
    QCOMPARE(defaults.dailyGoal, 50);
}

namespace {

// Answers the log-on dialog as soon as it shows, with OK or Cancel.
void answerLogon(bool ok)
{
    QTimer::singleShot(0, [ok] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* login = qobject_cast<frmLogin*>(top); login && login->isVisible()) {
                (ok ? login->cmdOK : login->cmdCancel)->click();
                return;
            }
        }
        QFAIL("no log-on dialog");
    });
}

template<typename T> T* visibleTopLevel()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* w = qobject_cast<T*>(top); w && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

void TestStartup::mainAutoplaysBeforeSplash()
{
    mixer_->installAllSounds();
    bool splashDuringGame = false;
    bool mainVisibleDuringGame = false;
    host_->onWait = [&](int) {
        if (GameRunning()) {
            splashDuringGame = splashDuringGame || visibleTopLevel<frmSplash>();
            mainVisibleDuringGame = mainVisibleDuringGame || visibleTopLevel<frmMain>();
        }
    };
    QTimer closer; // closes the score window the game opens at its end
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* m = QApplication::activeModalWidget(); m && !qobject_cast<frmLogin*>(m))
            m->close();
    });
    closer.start(0);
    answerLogon(true);
    const std::int64_t before = host_->now;
    QCOMPARE(Main({"line/yamanote.txt", "/AP"}), -1);
    QVERIFY(mainVisibleDuringGame);
    QVERIFY(!splashDuringGame);
    // The game, then the splash's two seconds; then only the main window stays.
    QVERIFY(host_->now - before > 2000 + 2 * 10100);
    QVERIFY(!visibleTopLevel<frmSplash>());
    frmMain* main = visibleTopLevel<frmMain>();
    QVERIFY(main);
    QCOMPARE(main->sbStatusBar->panelText("Guide"), QStringLiteral("終点につきました"));
    delete main;
}

void TestStartup::mainLogonCancelled()
{
    answerLogon(false);
    QCOMPARE(Main({}), 0);
    QVERIFY(!visibleTopLevel<frmMain>());
    QVERIFY(!visibleTopLevel<frmSplash>());
}

void TestStartup::helpCommand_data()
{
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<bool>("opener");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("opened");
    const QString missing
        = "ヘルプがありません。別途入手してください。\r\nhttps://tabidori.example.org/";
    const QString noFallback = "ヘルプ前紙もありません。再インストールしてください。\r\n";
    QTest::newRow("manual") << QStringList {"index.htm", "index0.htm"} << true << QStringList()
                            << "index.htm";
    QTest::newRow("fallback only")
        << QStringList {"index0.htm"} << true << QStringList {missing} << "index0.htm";
    QTest::newRow("neither") << QStringList() << true << QStringList {missing, noFallback} << "";
    // Nothing to open the page with: the player is told where it is (%1).
    QTest::newRow("no opener") << QStringList {"index.htm"} << false
                               << QStringList {"ヘルプのページを開くプログラムが見つかりません。"
                                               "ブラウザーで次のファイルを開いてください。\r\n%1"}
                               << "";
}

void TestStartup::helpCommand()
{
    QFETCH(QStringList, pages);
    QFETCH(bool, opener);
    QFETCH(QStringList, messages);
    QFETCH(QString, opened);
    QTemporaryDir folder;
    QDir().mkpath(folder.filePath("help"));
    for (const QString& page : pages)
        writeFile(folder, "help/" + page, "<html></html>");
    host_->folder = folder.path();
    host_->documentOpens = opener;
    frmMain w;
    w.mnuHelpHelp->trigger();
    QStringList shown;
    for (const auto& m : host_->messages) {
        shown << m.text;
        QCOMPARE(m.icon, platform::Icon::Information);
        QVERIFY(m.title.isEmpty()); // the application title
    }
    for (QString& m : messages)
        m.replace("%1", folder.filePath("help/index.htm"));
    QCOMPARE(shown, messages);
    QCOMPARE(host_->opened,
             opened.isEmpty() ? QStringList() : QStringList {folder.filePath("help/" + opened)});
}

void TestStartup::aboutCommand()
{
    frmMain w;
    QString caption;
    QTimer::singleShot(0, [&] {
        if (QWidget* about = QApplication::activeModalWidget()) {
            caption = about->windowTitle();
            about->close();
        }
    });
    w.mnuHelpAbout->trigger();
    QCOMPARE(caption, QStringLiteral("Tabi Doriについて"));
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
