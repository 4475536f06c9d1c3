// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Puts an environment variable back when the test ends, however it ends.
class EnvironmentGuard
{
public:
    explicit EnvironmentGuard(const char* name);
    ~EnvironmentGuard();

private:
    const char* name_;
    bool had_;
    QByteArray value_;
};
