// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which line a file holds, as the history knows lines (by name and stations), and how many
// stations it has: read once per file and again only when the file changes.

#include <QDateTime>
#include <QHash>
#include <QString>

struct LineIdentity
{
    QString key; // "" when the file cannot be read as a line
    int stations = 0;
};

class LineIdentities
{
public:
    LineIdentity of(const QString& path);

private:
    struct Known
    {
        QDateTime modified;
        qint64 size = -1;
        LineIdentity identity;
    };
    QHash<QString, Known> known_;
};
