// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "harness.h"
#include "gamestate.h"
#include "sound.h"
#include "stationtable.h"

#include <QCoreApplication>

namespace bench {

platform::Answer BenchHost::messageBox(const QString& text, platform::Buttons, platform::Icon,
                                       const QString&)
{
    fail(QStringLiteral("unexpected message box: ") + text);
}

ScopedHost::ScopedHost(platform::Host* host)
{
    platform::setHost(host);
}

ScopedHost::~ScopedHost()
{
    platform::setHost(nullptr);
}

void settleEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::unique_ptr<TestWindow> loadMainWindow(BenchHost& host, const QString& linePath)
{
    ResetStationTable();
    ResetGameState();
    ResetSound();
    auto w = std::make_unique<TestWindow>();
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

} // namespace bench
