// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game inside the benchmark's own process, for the figures that time it from within: the
// real Qt platform with a few answers prepared, a virtual clock for games that would otherwise
// take hours, and a main window that says when a question begins and a sound is asked for.

#include "common.h"
#include "frmmain.h"
#include "qthost.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace bench {

// The real Qt platform, with the program folder set by the benchmark, the line dialog answered
// with a prepared file, and a message box taken as a failure: nobody is there to close it.
class BenchHost : public platform::QtHost
{
public:
    explicit BenchHost(QString programFolder) : folder_(std::move(programFolder)) { }

    QString programFolder() override { return folder_; }
    QString openFileName(const platform::FileDialogSettings&) override { return chosenFile; }
    platform::Answer messageBox(const QString& text, platform::Buttons, platform::Icon,
                                const QString&) override;

    QString chosenFile;

private:
    QString folder_;
};

// A virtual clock for games that would otherwise take hours: a wait advances the counter by
// its length at once and delivers pending events once.
class VirtualClockHost : public BenchHost
{
public:
    using BenchHost::BenchHost;

    std::int32_t tickCount() override { return std::int32_t(std::uint32_t(now_)); }
    void waitForEvents(int ms) override;

    std::function<void()> onWait;

private:
    std::int64_t now_ = 0;
};

// Installs a host for the lifetime of the object.
class ScopedHost
{
public:
    explicit ScopedHost(platform::Host* host);
    ~ScopedHost();
    ScopedHost(const ScopedHost&) = delete;
    ScopedHost& operator=(const ScopedHost&) = delete;
};

// The main window, telling the benchmark when a plate is drawn (a question begins) and when a
// sound is asked for.
class BenchWindow : public frmMain
{
public:
    void drawPlate(std::int32_t index) override;
    void playSound(int sound) override;

    std::function<void(std::int32_t)> onPlate;
    std::function<void(int)> onSound;
};

// Closes the score window the moment it is shown, as a player who has seen enough would.
// An event filter rather than a polling timer: it costs nothing while a question waits.
class ScoreWindowCloser : public QObject
{
public:
    ScoreWindowCloser();

    int closed = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

void settleEvents();

// Loads the main window as the program does (sound, command line, mode list, shown), then
// chooses linePath through the line command when one is given.
std::unique_ptr<BenchWindow> loadMainWindow(BenchHost& host, const QString& linePath);

void pressEnter(QWidget* target);

} // namespace bench
