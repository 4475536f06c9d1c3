// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehost.h"

#include <QCoreApplication>

void (*FakeHost::hideWindows)() = nullptr;

FakeHost::FakeHost()
    : configBefore_(qgetenv("XDG_CONFIG_HOME"))
    , configWasSet_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    platform::setHost(this);
}

FakeHost::~FakeHost()
{
    if (configWasSet_)
        qputenv("XDG_CONFIG_HOME", configBefore_);
    else
        qunsetenv("XDG_CONFIG_HOME");
    platform::setHost(nullptr);
    platform::setEnding(false);
}

void FakeHost::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    runDue();
}

void FakeHost::waitForEvents(int ms)
{
    // Time passes at once; whatever was due in that time happens, then events are delivered.
    now += ms;
    waitedMs += ms;
    runDue();
    if (onWait)
        onWait(ms);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void FakeHost::runDue()
{
    while (!scheduled_.empty() && scheduled_.begin()->first <= now) {
        auto action = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        action();
    }
}

void FakeHost::after(std::int64_t ms, std::function<void()> action)
{
    scheduled_.emplace(now + ms, std::move(action));
}

platform::Answer FakeHost::messageBox(const QString& text, platform::Buttons buttons,
                                      platform::Icon icon, const QString& title)
{
    messages.push_back({text, buttons, icon, title});
    if (onMessage)
        onMessage(messages.back());
    if (!answers.empty()) {
        const platform::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == platform::Buttons::YesNo ? platform::Answer::Yes : platform::Answer::Ok;
}

QString FakeHost::openFileName(const platform::FileDialogSettings& settings)
{
    ++dialogs;
    lastDialog = settings;
    return dialogAnswer;
}

QString FakeHost::saveFileName(const platform::FileDialogSettings& settings)
{
    ++saveDialogs;
    lastSaveDialog = settings;
    return saveDialogAnswer;
}

bool FakeHost::openDocument(const QString& path)
{
    if (!documentOpens)
        return false;
    opened << path;
    return true;
}

void FakeHost::endProgram()
{
    ++endCalls;
    // As the real host does: every window goes, so a modal window's exec() returns. The test's
    // own event loop is left running.
    platform::setEnding(true);
    if (hideWindows)
        hideWindows();
}
