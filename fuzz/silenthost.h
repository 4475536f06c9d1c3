// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A platform for the fuzz targets: nothing is shown and nothing waits. Message boxes are
// counted and answered OK (Yes for a question), events are never delivered, the tick counter
// advances by one on every read, and ending the program is only counted.

#include "host.h"

#include <QString>
#include <cstdint>

namespace fuzz {

class SilentHost : public platform::Host
{
public:
    std::int32_t tickCount() override { return std::int32_t(++ticks); }
    void processEvents() override { }
    void waitForEvents(int ms) override { ticks += std::uint32_t(ms > 0 ? ms : 0); }
    platform::Answer messageBox(const QString& text, platform::Buttons buttons, platform::Icon icon,
                                const QString& title) override;
    void beep() override { }
    QString openFileName(const platform::FileDialogSettings&) override { return {}; }
    bool openDocument(const QString&) override { return false; }
    void setClipboardText(const QString&) override { }
    QString programFolder() override { return folder; }
    void endProgram() override { ++endCalls; }

    // Forgets what the last run counted.
    void clearCounts()
    {
        messages = 0;
        endCalls = 0;
    }

    std::uint32_t ticks = 0;
    int messages = 0;
    int endCalls = 0;
    QString folder;
};

// The host of this process, installed on first use.
SilentHost& host();

// An empty folder of this process under $TMPDIR (or /tmp), made on first use and removed with
// everything in it when the process exits normally.
const QString& scratchFolder();

// Stops the process with a message when an invariant does not hold; the fuzzer then keeps the
// input as a crash.
[[noreturn]] void fail(const char* what);
inline void check(bool condition, const char* what)
{
    if (!condition)
        fail(what);
}

} // namespace fuzz
