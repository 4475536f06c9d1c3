// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linemenu.h"

#include <QMenu>

#include <algorithm>

namespace {

QString menuText(const QString& name)
{
    QString text = name;
    return text.replace(u'&', QStringLiteral("&&"));
}

bool numbered(const QString& group)
{
    return !group.isEmpty()
        && std::all_of(group.begin(), group.end(), [](QChar c) { return c.isDigit(); });
}

void addLines(QMenu* menu, const QList<LineEntry>& lines,
              const std::function<void(const QString&)>& open,
              const std::function<QString(const QString&)>& note)
{
    QString group;
    for (const LineEntry& line : lines) {
        // A line between operators; numbered files are one operator's lines in order.
        if (!group.isEmpty() && line.group != group && !numbered(line.group))
            menu->addSeparator();
        group = line.group;
        const QString path = line.path;
        const QString extra = note ? note(path) : QString();
        menu->addAction(menuText(line.name) + (extra.isEmpty() ? QString() : u'\u3000' + extra),
                        menu, [open, path] { open(path); });
    }
}

} // namespace

QMenu* FillLineMenu(QMenu* menu, LineCatalogue& catalogue, const QString& libraryFolder,
                    const QString& ownFolder, const std::function<void(const QString&)>& open,
                    const std::function<QString(const QString& path)>& note)
{
    menu->clear();
    for (const LineRegion& region : catalogue.regions(libraryFolder)) {
        QMenu* sub = menu->addMenu(region.title.isEmpty() ? QStringLiteral("その他")
                                                          : menuText(region.title));
        addLines(sub, region.lines, open, note);
    }
    menu->addSeparator();
    QMenu* mine = menu->addMenu(QStringLiteral("マイ路線(&M)"));
    mine->setObjectName(QStringLiteral("mnuMyLines"));
    const QList<LineEntry> own = catalogue.lines(ownFolder);
    addLines(mine, own, open, note);
    if (own.isEmpty())
        mine->addAction(QStringLiteral("（自分の路線ファイルはまだありません）"))
            ->setEnabled(false);
    mine->addSeparator();
    return mine;
}
