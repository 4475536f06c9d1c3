// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "host.h"

#include <QElapsedTimer>

namespace platform {

// The real platform: Qt's event loop, dialogs, clipboard and desktop services.
class QtHost : public Host
{
public:
    QtHost();
    std::int32_t tickCount() override;
    void processEvents() override;
    void waitForEvents(int ms) override;
    Answer messageBox(const QString& text, Buttons buttons, Icon icon,
                      const QString& title) override;
    void beep() override;
    QString openFileName(const FileDialogSettings& settings) override;
    bool openDocument(const QString& path) override;
    void setClipboardText(const QString& text) override;
    QString programFolder() override;
    void endProgram() override;

private:
    QElapsedTimer clock_;
};

} // namespace platform
