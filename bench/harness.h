// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game inside the benchmark's own process, for the figures that time it from within: the
// real Qt platform with a few answers prepared. The main window that says when a question
// begins and a sound is asked for, the virtual clock (FakeHost) for games that would otherwise
// take hours, its player and the score window's watcher are the tests' own (gamedriver.h).

#include "common.h"
#include "gamedriver.h"
#include "qthost.h"

#include <memory>

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

// Installs a host for the lifetime of the object.
class ScopedHost
{
public:
    explicit ScopedHost(platform::Host* host);
    ~ScopedHost();
    ScopedHost(const ScopedHost&) = delete;
    ScopedHost& operator=(const ScopedHost&) = delete;
};

void settleEvents();

// Loads the main window as the program does (sound, command line, mode list, shown), then
// chooses linePath through the line command when one is given.
std::unique_ptr<TestWindow> loadMainWindow(BenchHost& host, const QString& linePath);

} // namespace bench
