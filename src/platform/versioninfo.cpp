// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "versioninfo.h"

namespace platform {

const VersionInfo& versionInfo()
{
    static const VersionInfo info {
        .productName = QStringLiteral("Tabi Dori"),
        .comments = QStringLiteral("鉄道路線の駅名と読みを覚えるクイズゲーム"),
        .companyName = QStringLiteral("Tabidori Project"),
        .legalCopyright = QStringLiteral("Copyright (C) 2026 Tabidori Project, GPL-3.0-or-later"),
        // Placeholders until the project has an address of its own.
        .authorMail = QStringLiteral("tabidori@example.org"),
        .authorWeb = QStringLiteral("https://tabidori.example.org/"),
        .major = TABIDORI_VERSION_MAJOR,
        .minor = TABIDORI_VERSION_MINOR,
        .build = TABIDORI_VERSION_PATCH,
        .revision = TABIDORI_VERSION_TWEAK,
    };
    return info;
}

} // namespace platform
