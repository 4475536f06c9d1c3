// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "envguard.h"

#include <QtGlobal>

EnvironmentGuard::EnvironmentGuard(const char* name)
    : name_(name), had_(qEnvironmentVariableIsSet(name)), value_(qgetenv(name))
{ }

EnvironmentGuard::~EnvironmentGuard()
{
    if (had_)
        qputenv(name_, value_);
    else
        qunsetenv(name_);
}
