// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "corehost.h"
#include "logging.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace platform {

CoreHost::CoreHost()
{
    clock_.start();
}

std::int32_t CoreHost::tickCount()
{
    // Keep only the low 32 bits, as a millisecond counter of the system would.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(clock_.elapsed()));
}

void CoreHost::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CoreHost::waitForEvents(int ms)
{
    if (ending())
        return;
    // Sleep in a local event loop: events are delivered as they come, and no core is spun.
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(qMax(0, ms));
    loop.exec();
}

Answer CoreHost::messageBox(const QString& text, Buttons buttons, Icon, const QString& title)
{
    qCWarning(logPlatform).noquote()
        << "message box without a window system:" << (title.isEmpty() ? applicationTitle() : title)
        << text;
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

QString CoreHost::openFileName(const FileDialogSettings& settings)
{
    qCWarning(logPlatform).noquote() << "no file dialog without a window system:" << settings.title;
    return {};
}

QString CoreHost::saveFileName(const FileDialogSettings& settings)
{
    qCWarning(logPlatform).noquote() << "no file dialog without a window system:" << settings.title;
    return {};
}

bool CoreHost::openDocument(const QString& path)
{
    qCWarning(logPlatform).noquote() << "cannot open a document without a desktop:" << path;
    return false;
}

void CoreHost::setClipboardText(const QString&)
{
    qCWarning(logPlatform) << "no clipboard without a window system";
}

QString CoreHost::programFolder()
{
    return QCoreApplication::applicationDirPath();
}

void CoreHost::endProgram()
{
    setEnding(true);
    // Leaves every running event loop, the nested ones of waits and modal windows included.
    QCoreApplication::exit(0);
}

} // namespace platform
