// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "host.h"

#include <QElapsedTimer>

namespace platform {

// The platform without a window system: real time, Qt Core's event loop, and the program's
// folder. What needs windows (message boxes, dialogs, the clipboard) is written to the log
// instead and answered with the cautious choice. The Qt Widgets host builds on it.
class CoreHost : public Host
{
public:
    CoreHost();
    std::int32_t tickCount() override;
    void processEvents() override;
    void waitForEvents(int ms) override;
    Answer messageBox(const QString& text, Buttons buttons, Icon icon,
                      const QString& title) override;
    void beep() override { }
    QString openFileName(const FileDialogSettings& settings) override;
    QString saveFileName(const FileDialogSettings& settings) override;
    bool openDocument(const QString& path) override;
    void setClipboardText(const QString& text) override;
    QString programFolder() override;
    void endProgram() override;

private:
    QElapsedTimer clock_;
};

} // namespace platform
