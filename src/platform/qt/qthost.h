// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "corehost.h"

namespace platform {

// The real platform: Qt's event loop, dialogs, clipboard and desktop services.
class QtHost : public CoreHost
{
public:
    Answer messageBox(const QString& text, Buttons buttons, Icon icon,
                      const QString& title) override;
    void beep() override;
    QString openFileName(const FileDialogSettings& settings) override;
    QString saveFileName(const FileDialogSettings& settings) override;
    QString folderName(const FileDialogSettings& settings) override;
    bool openDocument(const QString& path) override;
    void setClipboardText(const QString& text) override;
    void endProgram() override;
};

} // namespace platform
