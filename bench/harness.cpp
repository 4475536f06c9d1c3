// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "harness.h"
#include "frmscorelist.h"
#include "gamestate.h"
#include "sound.h"
#include "stationtable.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QTimer>

namespace bench {

platform::Answer BenchHost::messageBox(const QString& text, platform::Buttons, platform::Icon,
                                       const QString&)
{
    fail(QStringLiteral("unexpected message box: ") + text);
}

void VirtualClockHost::waitForEvents(int ms)
{
    now_ += ms;
    if (onWait)
        onWait();
    processEvents();
}

ScopedHost::ScopedHost(platform::Host* host)
{
    platform::setHost(host);
}

ScopedHost::~ScopedHost()
{
    platform::setHost(nullptr);
}

void BenchWindow::drawPlate(std::int32_t index)
{
    if (onPlate)
        onPlate(index);
    frmMain::drawPlate(index);
}

void BenchWindow::playSound(int sound)
{
    if (onSound)
        onSound(sound);
    frmMain::playSound(sound);
}

ScoreWindowCloser::ScoreWindowCloser()
{
    qApp->installEventFilter(this);
}

bool ScoreWindowCloser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        if (auto* score = qobject_cast<frmScoreList*>(watched)) {
            ++closed;
            QTimer::singleShot(0, score, &QDialog::accept);
        }
    }
    return false;
}

void settleEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::unique_ptr<BenchWindow> loadMainWindow(BenchHost& host, const QString& linePath)
{
    ResetStationTable();
    ResetGameState();
    ResetSound();
    auto w = std::make_unique<BenchWindow>();
    w->Form_Load(QString());
    if (!linePath.isEmpty()) {
        host.chosenFile = linePath;
        w->mnuLine_Click();
        if (gStationCount <= 0)
            fail(QStringLiteral("the line did not load: ") + linePath);
    }
    settleEvents();
    return w;
}

void pressEnter(QWidget* target)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(target, &release);
}

} // namespace bench
