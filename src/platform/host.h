// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few platform services the game needs, behind one small interface, so that tests can swap
// in a recorder with a virtual clock. This layer needs Qt Core only: the program installs the
// Qt Widgets implementation (qt/qthost.h) as its default host at start-up.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace platform {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Information, Exclamation };
enum class Answer { Ok, Yes, No };

struct FileDialogSettings
{
    QString initialFolder;
    QString title;
    QStringList filters; // "Name (*.txt)" entries; the first one is preselected
};

class Host
{
public:
    virtual ~Host() = default;

    // Milliseconds since an arbitrary start; a 32-bit counter that wraps.
    virtual std::int32_t tickCount() = 0;
    // Delivers every pending event once, then returns.
    virtual void processEvents() = 0;
    // Sleeps up to ms while delivering events as they come.
    virtual void waitForEvents(int ms) = 0;

    // Modal message box; an empty title shows the application title.
    virtual Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title)
        = 0;
    virtual void beep() = 0;
    // Open-file dialog that accepts existing files only; empty when cancelled.
    virtual QString openFileName(const FileDialogSettings& settings) = 0;
    // Save-file dialog that asks before a file is replaced; empty when cancelled. A host
    // without one answers as if the player had cancelled.
    virtual QString saveFileName(const FileDialogSettings&) { return {}; }
    // Folder dialog that accepts existing folders only; empty when cancelled (and on a host
    // without one).
    virtual QString folderName(const FileDialogSettings&) { return {}; }
    // Opens a document in the desktop's associated program; false when nothing could.
    virtual bool openDocument(const QString& path) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // The folder the program lives in; its data folders sit beside it.
    virtual QString programFolder() = 0;
    // Ends the program at once: every window goes, every wait returns, no handler runs after.
    virtual void endProgram() = 0;
};

// The current host: the one a test installed, else the default host.
Host& host();
// Installs a host for tests; nullptr puts the default host back. The caller keeps ownership.
void setHost(Host* h);
// The host used when none is installed: the program's window system. nullptr (the start value)
// gives the Qt Core host, which has no windows (corehost.h). The caller keeps ownership.
void setDefaultHost(Host* h);

// True once the program has been asked to end; waits and loops return at once.
bool ending();
void setEnding(bool on);

// Shorthands for the common message boxes.
inline Answer messageBox(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                         const QString& title = {})
{
    return host().messageBox(text, buttons, icon, title);
}

// The title message boxes show when they are given none.
inline QString applicationTitle()
{
    return QStringLiteral("TabiDori");
}

} // namespace platform
