// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "host.h"
#include "corehost.h"

namespace platform {

namespace {
Host* current = nullptr;
Host* fallback = nullptr;
bool endingNow = false;
} // namespace

Host& host()
{
    if (current)
        return *current;
    if (fallback)
        return *fallback;
    static CoreHost coreHost;
    return coreHost;
}

void setDefaultHost(Host* h)
{
    fallback = h;
}

void setHost(Host* h)
{
    current = h;
}

bool ending()
{
    return endingNow;
}
void setEnding(bool on)
{
    endingNow = on;
}

} // namespace platform
