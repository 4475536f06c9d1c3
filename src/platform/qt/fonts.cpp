// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fonts.h"

#include <QFont>
#include <QString>

namespace platform {

void registerFontSubstitutions()
{
    QFont::insertSubstitution(QString::fromUtf8(kProportionalGothic), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QString::fromUtf8(kFixedGothic), QStringLiteral("IPAGothic"));
}

} // namespace platform
