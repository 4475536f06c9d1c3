// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A connection of the benchmark's own to the X server the program runs on. It hears of every
// window being mapped the moment it happens; a new xdotool process for every look would pay a
// whole connection set-up each time (tens to hundreds of milliseconds on a busy machine).

#include <QString>

#include <xcb/xcb.h>

#include <map>
#include <utility>

class QElapsedTimer;
class QProcess;

namespace bench {

class XWindowWatcher
{
public:
    explicit XWindowWatcher(const QString& display);
    ~XWindowWatcher();
    XWindowWatcher(const XWindowWatcher&) = delete;
    XWindowWatcher& operator=(const XWindowWatcher&) = delete;

    // Forgets the windows of an earlier run.
    void reset();

    // Waits until a mapped (visible) window is named exactly name; returns its id and the
    // clock's reading when it was mapped.
    std::pair<xcb_window_t, double> waitForWindow(const QString& name, const QElapsedTimer& clock,
                                                  const QProcess& child);

    // Gives window the input focus and types Enter into it, as xdotool windowfocus + key does.
    void pressEnter(xcb_window_t window);

    // Gives window the input focus, as xdotool windowfocus does.
    void focus(xcb_window_t window);
    // The window that has the input focus now.
    xcb_window_t focusedWindow();

private:
    void sync();
    void readEvents(const QElapsedTimer& clock);
    QString property(xcb_window_t window, xcb_atom_t name);
    QString nameOf(xcb_window_t window);
    xcb_atom_t atom(const char* name);
    xcb_keycode_t keycodeOf(xcb_keysym_t keysym);

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t netWmName_ = 0;
    xcb_keycode_t returnKey_ = 0;
    std::map<xcb_window_t, double> mapped_;
};

} // namespace bench
