// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "envguard.h"
#include "fakehost.h"
#include "fakemixer.h"
#include "fonts.h"
#include "frmfinder.h"
#include "frmmain.h"
#include "panelstatusbar.h"
#include "stationtable.h"
#include "testfiles.h"
#include "twips.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <functional>

class TestShell : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { platform::registerFontSubstitutions(); }
    void frameControls_data();
    void frameControls();
    void statusPanels();
    void menuTree_data();
    void menuTree();
    void windowFrame();
    void accessKeysAreOwn();
    void finderLoadsLine();
};

void TestShell::frameControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twipRect");
    QTest::addColumn<bool>("visible");
    QTest::newRow("txtKaitou") << "txtKaitou" << QRect(2280, 2280, 3135, 270) << true;
    QTest::newRow("picStationPlate") << "picStationPlate" << QRect(120, 120, 8000, 2000) << true;
    QTest::newRow("sbStatusBar") << "sbStatusBar" << QRect(0, 2700, 8250, 375) << true;
    QTest::newRow("cmdHint") << "cmdHint" << QRect(5520, 2160, 975, 495) << false;
    QTest::newRow("cmbGameMode") << "cmbGameMode" << QRect(6840, 2280, 1335, 300) << true;
}

void TestShell::frameControls()
{
    QFETCH(QString, name);
    QFETCH(QRect, twipRect);
    QFETCH(bool, visible);
    frmMain w;
    w.show();
    auto* control = w.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(),
             twips::rect(twipRect.x(), twipRect.y(), twipRect.width(), twipRect.height()));
    QCOMPARE(control->isVisible(), visible);
}

void TestShell::statusPanels()
{
    frmMain w;
    w.show();
    QCOMPARE(w.sbStatusBar->keys(),
             (QStringList {"Guide", "StaLabel", "StaPlace", "TimeLabel", "Time", "ScoreLabel",
                           "Score"}));
    const QStringList texts {"", "駅：", "", "時間：", "0", "得点：", "0"};
    const QStringList tips {"", "", "駅", "", "残り時間", "", "得点"};
    const QStringList keys = w.sbStatusBar->keys();
    int x = -1;
    for (int i = 0; i < keys.size(); ++i) {
        QCOMPARE(w.sbStatusBar->panelText(keys[i]), texts[i]);
        QCOMPARE(w.sbStatusBar->panel(keys[i])->toolTip(), tips[i]);
        // Left to right in this order.
        QVERIFY(w.sbStatusBar->panel(keys[i])->x() > x);
        x = w.sbStatusBar->panel(keys[i])->x();
    }
    QCOMPARE(w.sbStatusBar->panel("StaLabel")->width(), twips::toPx(400));
    QCOMPARE(w.sbStatusBar->panel("TimeLabel")->width(), twips::toPx(600));
    // The guide takes the remaining width.
    QVERIFY(w.sbStatusBar->panel("Guide")->width() > twips::toPx(4000));
    w.sbStatusBar->setPanelText("Score", "-12");
    QCOMPARE(w.sbStatusBar->panelText("Score"), QStringLiteral("-12"));
}

void TestShell::menuTree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("parentMenu");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("mnuFileEnd") << "mnuFileEnd"
                                << "終了(&E)"
                                << "mnuFile" << QKeySequence() << true;
    QTest::newRow("mnuLine") << "mnuLine"
                             << "路線ファイルを開く(&O)..."
                             << "mnuLineMenu" << QKeySequence(Qt::CTRL | Qt::Key_O) << true;
    QTest::newRow("mnuFinder") << "mnuFinder"
                               << "路線を探す(&F)..."
                               << "mnuLineMenu" << QKeySequence(Qt::CTRL | Qt::Key_F) << true;
    QTest::newRow("mnuMap") << "mnuMap"
                            << "地図(&M)..."
                            << "mnuLineMenu" << QKeySequence(Qt::CTRL | Qt::Key_M) << true;
    QTest::newRow("mnuGameStart") << "mnuGameStart"
                                  << "スタート(&S)"
                                  << "mnuGame" << QKeySequence(Qt::Key_F5) << true;
    QTest::newRow("mnuGameStop") << "mnuGameStop"
                                 << "中断(&S)"
                                 << "mnuGame" << QKeySequence(Qt::CTRL | Qt::Key_S) << false;
    QTest::newRow("mnuGameScore") << "mnuGameScore"
                                  << "スコア詳細(&S)"
                                  << "mnuGame" << QKeySequence() << false;
    QTest::newRow("mnuSound") << "mnuSound"
                              << "サウンド(&S)"
                              << "mnuOption" << QKeySequence() << true;
    QTest::newRow("mnuShare") << "mnuShare"
                              << "記録を共有するフォルダ(&Y)..."
                              << "mnuOption" << QKeySequence() << true;
    QTest::newRow("mnuHelpHelp") << "mnuHelpHelp"
                                 << "ヘルプ(&H)"
                                 << "mnuHelp" << QKeySequence() << true;
    QTest::newRow("mnuHelpAbout") << "mnuHelpAbout"
                                  << "tabidoriについて(&A)..."
                                  << "mnuHelp" << QKeySequence() << true;
}

void TestShell::menuTree()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, parentMenu);
    QFETCH(QKeySequence, shortcut);
    QFETCH(bool, enabled);
    frmMain w;
    auto* action = w.findChild<QAction*>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->isEnabled(), enabled);
    if (parentMenu.isEmpty()) {
        QVERIFY(w.menuBar()->actions().contains(action));
    } else {
        auto* menu = w.findChild<QMenu*>(parentMenu);
        QVERIFY(menu);
        QVERIFY(menu->actions().contains(action));
    }
}

void TestShell::windowFrame()
{
    frmMain w;
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("TabiDori"));
    // The application icon, which the splash and about windows show too.
    QVERIFY(w.windowIcon().availableSizes().contains(QSize(32, 32)));
    QCOMPARE(w.centralWidget()->size(), twips::size(8250, 3075));
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(w.mnuSound->isCheckable() && w.mnuSound->isChecked());
    QVERIFY(w.mnuGameBar->isSeparator());
    // Menu bar order; the library's menu stands beside the line menu.
    const QStringList bar {"ファイル(&F)", "路線(&L)",       "路線一覧(&R)",
                           "ゲーム(&G)",   "オプション(&O)", "ヘルプ(&H)"};
    QStringList got;
    for (QAction* a : w.menuBar()->actions())
        got << a->text();
    QCOMPARE(got, bar);
    // The mode list starts empty; its items come when the window loads.
    QCOMPARE(w.cmbGameMode->count(), 0);
}

// Every entry of every menu, 路線一覧's regions and lines with them, has an access key that no
// other entry of its menu has; only ゲーム's three designed (&S) share theirs.
void TestShell::accessKeysAreOwn()
{
    QTemporaryDir dir;
    EnvironmentGuard xdg("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.filePath("xdg").toUtf8());
    FakeHost host;
    host.folder = dir.path();
    FakeMixer mixer;
    for (const char* folder : {"line/kanto", "line/shinkansen", "xdg/tabidori/line"})
        QVERIFY(QDir().mkpath(dir.filePath(folder)));
    for (int i = 0; i < 12; ++i)
        writeLineFile(dir, QStringLiteral("line/kanto/線%1.txt").arg(i),
                      {QStringLiteral("線%1").arg(i), "###", "a,あ"});
    writeLineFile(dir, "line/shinkansen/新幹線.txt", {"新幹線", "###", "c,し"});
    writeLineFile(dir, "xdg/tabidori/line/mine.txt", {"自分線", "###", "m,む"});
    frmMain w;
    w.Form_Load(QString());
    const QStringList shareS {"スタート(&S)", "中断(&S)", "スコア詳細(&S)"};
    static const QRegularExpression key(QStringLiteral("&([^&])"));
    int menus = 0;
    const std::function<void(const QList<QAction*>&, const QString&)> check
        = [&](const QList<QAction*>& actions, const QString& where) {
              ++menus;
              QHash<QChar, QString> seen;
              for (QAction* a : actions) {
                  if (a->isSeparator() || (!a->isEnabled() && a->text().startsWith(u'（')))
                      continue;
                  const QRegularExpressionMatch m = key.match(a->text());
                  QVERIFY2(m.hasMatch(), qPrintable(where + u'/' + a->text()));
                  const QChar k = m.captured(1).at(0).toUpper();
                  const bool shared = shareS.contains(a->text()) && shareS.contains(seen.value(k));
                  QVERIFY2(!seen.contains(k) || shared,
                           qPrintable(where + u'/' + a->text() + u'/' + seen.value(k)));
                  seen.insert(k, a->text());
                  if (QMenu* sub = a->menu()) {
                      emit sub->aboutToShow();
                      check(sub->actions(), where + u'/' + a->text());
                  }
              }
          };
    check(w.menuBar()->actions(), QString());
    QVERIFY(menus > 9); // the bar, its six menus, two regions, マイ路線
}

// 路線を探す as the player uses it: a reading typed, the list as it stands, Down and
// Enter; the line loads as if its file had been opened. Esc closes and loads nothing.
void TestShell::finderLoadsLine()
{
    QTemporaryDir dir;
    FakeHost host;
    host.folder = dir.path();
    FakeMixer mixer;
    QVERIFY(QDir().mkpath(dir.filePath("line/kanto")));
    writeLineFile(dir, "line/kanto/JR山手線.txt",
                  {"JR山手線", "@読み: じぇいあーるやまのてせん", "@事業者: JR東日本",
                   "@色: #9ACD32", "###", "大崎,おおさき", "新宿,しんじゅく", "渋谷,しぶや"});
    writeLineFile(dir, "line/kanto/都営新宿線.txt",
                  {"都営新宿線", "@読み: とえいしんじゅくせん", "###", "新宿,しんじゅく",
                   "本八幡,もとやわた"});
    frmMain w;
    w.Form_Load(QString());
    QStringList listed;
    QString found;
    const auto type = [&](const QString& text, const QList<Qt::Key>& keys) {
        QTimer::singleShot(0, [&, text, keys] {
            auto* finder = qobject_cast<frmFinder*>(QApplication::activeModalWidget());
            QVERIFY(finder);
            // As an input method hands kana over, a character at a time.
            for (const QChar c : text) {
                QInputMethodEvent typed;
                typed.setCommitString(c);
                QApplication::sendEvent(finder->txtFind, &typed);
            }
            listed.clear();
            const QAbstractItemModel* model = finder->lstLines->model();
            for (int r = 0; r < model->rowCount(); ++r)
                listed << model->index(r, 0).data().toString() + u'|'
                        + model->index(r, 3).data().toString();
            found = finder->lblFound->text();
            for (const Qt::Key key : keys)
                QTest::keyClick(finder->txtFind, key);
        });
        w.mnuFinder->trigger();
    };
    type(QStringLiteral("シンジュク"), {Qt::Key_Escape});
    QCOMPARE(listed, (QStringList {"都営新宿線|", "JR山手線|新宿（しんじゅく）"}));
    QCOMPARE(found, QStringLiteral("2 路線が見つかりました。"));
    QVERIFY(gLineName.isEmpty());
    type(QStringLiteral("しんじゅく"), {Qt::Key_Down, Qt::Key_Return});
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(gLineName, QStringLiteral("JR山手線"));
    QCOMPARE(w.windowTitle(), QStringLiteral("JR山手線 - Tabi Dori"));
    QCOMPARE(w.sbStatusBar->panelText("Guide"), kLineLoadedGuide);
    // Enter with nothing listed keeps the finder open; Esc closes it.
    type(QStringLiteral("札幌"), {Qt::Key_Return, Qt::Key_Escape});
    QCOMPARE(listed, QStringList {});
    QCOMPARE(found, QStringLiteral("「札幌」に合う路線は見つかりません。"));

    // With a voice, the button says the selected row: the station that matched, or the line.
    IndexedLine toei;
    toei.name = QStringLiteral("都営新宿線");
    toei.meta.reading = QStringLiteral("とえいしんじゅくせん");
    toei.stations = {{QStringLiteral("新宿"), QStringLiteral("しんじゅく"), {}}};
    IndexedLine yamanote;
    yamanote.name = QStringLiteral("JR山手線");
    yamanote.stations = {{QStringLiteral("大崎"), QStringLiteral("おおさき"), {}},
                         {QStringLiteral("新宿"), QStringLiteral("しんじゅく"), {}}};
    QStringList said;
    frmFinder finder({toei, yamanote}, nullptr, [&](const QString& name, const QString& reading) {
        said << name + u'/' + reading;
    });
    finder.txtFind->setText(QStringLiteral("しんじゅく"));
    QVERIFY(!finder.cmdSpeak->isHidden());
    finder.cmdSpeak->click();
    finder.lstLines->setCurrentIndex(finder.lstLines->model()->index(1, 0));
    finder.cmdSpeak->click();
    QCOMPARE(said, (QStringList {"都営新宿線/とえいしんじゅくせん", "新宿/しんじゅく"}));
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
