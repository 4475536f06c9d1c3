// SPDX-License-Identifier: GPL-3.0-or-later
#include "host.h"
#include "qthost.h"

namespace platform {

namespace {
Host* current = nullptr;
bool endingNow = false;
} // namespace

Host& host()
{
    if (!current) {
        static QtHost qtHost;
        return qtHost;
    }
    return *current;
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
