// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xwindowwatcher.h"
#include "common.h"

#include <QElapsedTimer>
#include <QProcess>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace bench {

XWindowWatcher::XWindowWatcher(const QString& display)
{
    int screenNumber = 0;
    c_ = xcb_connect(display.toLatin1().constData(), &screenNumber);
    if (xcb_connection_has_error(c_))
        fail(QStringLiteral("cannot connect to ") + display);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    root_ = it.data->root;
    // Without a window manager top-level windows are children of the root: watching the
    // root's substructure sees each of them mapped and unmapped.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
    netWmName_ = atom("_NET_WM_NAME");
    returnKey_ = keycodeOf(0xff0d); // XK_Return
    xcb_flush(c_);
}

XWindowWatcher::~XWindowWatcher()
{
    xcb_disconnect(c_);
}

void XWindowWatcher::reset()
{
    while (xcb_generic_event_t* e = xcb_poll_for_event(c_))
        std::free(e);
    mapped_.clear();
}

std::pair<xcb_window_t, double> XWindowWatcher::waitForWindow(const QString& name,
                                                              const QElapsedTimer& clock,
                                                              const QProcess& child)
{
    while (clock.elapsed() < 30000) {
        readEvents(clock);
        for (const auto& [window, mappedMs] : mapped_) {
            if (nameOf(window) == name)
                return {window, mappedMs};
        }
        if (child.state() == QProcess::NotRunning)
            fail(QStringLiteral("the program ended before showing ") + name);
        pollfd fd {xcb_get_file_descriptor(c_), POLLIN, 0};
        poll(&fd, 1, 10);
    }
    fail(QStringLiteral("no window ") + name + QStringLiteral(" within 30 s"));
}

void XWindowWatcher::focus(xcb_window_t window)
{
    xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    sync();
}

xcb_window_t XWindowWatcher::focusedWindow()
{
    xcb_get_input_focus_reply_t* reply
        = xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr);
    const xcb_window_t window = reply ? reply->focus : xcb_window_t(XCB_NONE);
    std::free(reply);
    return window;
}

void XWindowWatcher::pressEnter(xcb_window_t window)
{
    xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    for (const std::uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
        xcb_key_press_event_t key {};
        key.response_type = type;
        key.detail = returnKey_;
        key.time = XCB_CURRENT_TIME;
        key.root = root_;
        key.event = window;
        key.child = XCB_NONE;
        key.same_screen = 1;
        xcb_send_event(c_, false, window, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE,
                       reinterpret_cast<const char*>(&key));
    }
    sync();
}

void XWindowWatcher::sync()
{
    // A round trip: everything sent before it has reached the server.
    std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
}

void XWindowWatcher::readEvents(const QElapsedTimer& clock)
{
    while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        switch (e->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            mapped_[reinterpret_cast<xcb_map_notify_event_t*>(e)->window] = ms;
            break;
        case XCB_UNMAP_NOTIFY:
            mapped_.erase(reinterpret_cast<xcb_unmap_notify_event_t*>(e)->window);
            break;
        case XCB_DESTROY_NOTIFY:
            mapped_.erase(reinterpret_cast<xcb_destroy_notify_event_t*>(e)->window);
            break;
        default:
            break;
        }
        std::free(e);
    }
}

QString XWindowWatcher::property(xcb_window_t window, xcb_atom_t name)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c_, xcb_get_property(c_, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    if (!reply)
        return {};
    const QString text = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                           xcb_get_property_value_length(reply));
    std::free(reply);
    return text;
}

QString XWindowWatcher::nameOf(xcb_window_t window)
{
    const QString name = property(window, netWmName_);
    return name.isEmpty() ? property(window, XCB_ATOM_WM_NAME) : name;
}

xcb_atom_t XWindowWatcher::atom(const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c_, xcb_intern_atom(c_, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

xcb_keycode_t XWindowWatcher::keycodeOf(xcb_keysym_t keysym)
{
    const xcb_setup_t* setup = xcb_get_setup(c_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        c_, xcb_get_keyboard_mapping(c_, setup->min_keycode, std::uint8_t(count)), nullptr);
    if (!reply)
        fail(QStringLiteral("no keyboard mapping"));
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int perCode = reply->keysyms_per_keycode;
    xcb_keycode_t found = 0;
    for (int i = 0; i < count * perCode && !found; ++i) {
        if (syms[i] == keysym)
            found = xcb_keycode_t(setup->min_keycode + i / perCode);
    }
    std::free(reply);
    if (!found)
        fail(QStringLiteral("no key for Return"));
    return found;
}

} // namespace bench
