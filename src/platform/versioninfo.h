// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's product data, shown by the splash and about windows and message titles.

#include <QString>

namespace platform {

struct VersionInfo
{
    QString productName;
    QString comments; // one-line description
    QString companyName;
    QString legalCopyright;
    QString authorMail; // the author's e-mail address
    QString authorWeb; // the author's web page
    int major;
    int minor;
    int build;
    int revision;
};

const VersionInfo& versionInfo();

} // namespace platform
