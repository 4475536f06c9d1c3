// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A platform for tests: a virtual clock, message boxes that are recorded and answered from a
// script, and recorders for every other service. Installs itself on construction.

#include "host.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <map>
#include <vector>

class FakeHost : public platform::Host
{
public:
    struct Message
    {
        QString text;
        platform::Buttons buttons;
        platform::Icon icon;
        QString title;
    };

    FakeHost();
    ~FakeHost() override;

    std::int32_t tickCount() override { return std::int32_t(std::uint32_t(now)); }
    void processEvents() override;
    void waitForEvents(int ms) override;
    platform::Answer messageBox(const QString& text, platform::Buttons buttons, platform::Icon icon,
                                const QString& title) override;
    void beep() override { ++beeps; }
    QString openFileName(const platform::FileDialogSettings& settings) override;
    QString saveFileName(const platform::FileDialogSettings& settings) override;
    QString folderName(const platform::FileDialogSettings&) override
    {
        ++folderDialogs;
        return folderAnswer;
    }
    bool openDocument(const QString& path) override;
    void setClipboardText(const QString& text) override { clipboard = text; }
    QString programFolder() override { return folder; }
    void endProgram() override;

    // Runs action once the virtual clock has reached at (milliseconds from now).
    void after(std::int64_t ms, std::function<void()> action);
    // Runs after every wait, once the virtual time has passed (ms is the length of the wait).
    std::function<void(int ms)> onWait;
    // Runs action whenever a message box is shown, before it is answered.
    std::function<void(const Message&)> onMessage;

    std::int64_t now = 0; // virtual milliseconds
    std::int64_t waitedMs = 0;
    std::vector<Message> messages;
    std::deque<platform::Answer> answers; // answers for coming boxes; Ok/Yes when empty
    int beeps = 0;
    QString folder;
    platform::FileDialogSettings lastDialog;
    int dialogs = 0;
    QString dialogAnswer; // path the open-file dialog returns ("" = cancelled)
    int folderDialogs = 0;
    QString folderAnswer; // what the folder dialog returns ("" = cancelled)
    platform::FileDialogSettings lastSaveDialog;
    int saveDialogs = 0;
    QString saveDialogAnswer; // path the save-file dialog returns ("" = cancelled)
    bool documentOpens = true;
    QStringList opened;
    QString clipboard;
    int endCalls = 0;

    // Hides every window when the program ends, as the real host does; set by the tests that
    // have windows (windowhost.cpp), so that the others need no more than Qt Core.
    static void (*hideWindows)();

private:
    void runDue();
    // Each test starts with nothing kept from an earlier one, and never touches the player's own
    // settings: $XDG_CONFIG_HOME is an empty folder of its own while the host lives.
    QTemporaryDir config_;
    QByteArray configBefore_;
    bool configWasSet_ = false;
    std::multimap<std::int64_t, std::function<void()>> scheduled_;
};
