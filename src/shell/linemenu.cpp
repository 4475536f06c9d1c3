// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linemenu.h"
#include "linegroups.h"

#include <QHash>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include <algorithm>

namespace {

const char kPathProperty[] = "linePath";
const char kNameProperty[] = "lineText";
const char kSignatureProperty[] = "lineSignature";

// A line's name as a menu shows it: "&" is no shortcut, and a name longer than any line's
// (a player's file may hold 60,000 characters on its first line) is cut with "…", so that no
// menu grows wider than the screen.
QString menuText(const QString& name)
{
    constexpr qsizetype kLongestName = 48;
    QString text = name.size() > kLongestName ? name.left(kLongestName - 1) + u'…' : name;
    return text.replace(u'&', QStringLiteral("&&"));
}

bool numbered(const QString& group)
{
    return !group.isEmpty()
        && std::all_of(group.begin(), group.end(), [](QChar c) { return c.isDigit(); });
}

QPixmap swatchPixmap(const QColor& fill, int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A dark edge, so that a white or pale line still shows on a pale menu.
    p.setPen(QPen(fill.darker(160), side / 16.0));
    p.setBrush(fill);
    const qreal inset = side / 8.0;
    p.drawRoundedRect(QRectF(inset, inset, side - 2 * inset, side - 2 * inset), side / 8.0,
                      side / 8.0);
    return pixmap;
}

// The access key a menu text marks ("&S"), upper case; null when it marks none.
QChar accessKeyOf(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return text[i + 1].toUpper();
        ++i; // "&&" is an ampersand
    }
    return {};
}

// Gives each entry of a menu made here an access key of its own, in order: 1 to 9, 0, then A
// to Z, leaving out the keys the menu's own commands carry (マイ路線(&M)). A disabled note
// such as （路線ファイルがありません） takes none.
void giveAccessKeys(QMenu* menu)
{
    static const QString keys = QStringLiteral("1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString used;
    for (const QAction* a : menu->actions())
        if (const QChar key = accessKeyOf(a->text()); !key.isNull())
            used += key;
    qsizetype next = 0;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isEnabled() || !accessKeyOf(a->text()).isNull())
            continue;
        while (next < keys.size() && used.contains(keys[next]))
            ++next;
        if (next == keys.size())
            return;
        const QString prefix = u'&' + keys[next++] + u' ';
        a->setText(prefix + a->text());
        // The notes are written after the name, which now begins with its key.
        if (a->property(kNameProperty).isValid())
            a->setProperty(kNameProperty, prefix + a->property(kNameProperty).toString());
    }
}

// The notes of a line menu's lines, asked as it opens: only the lines about to be seen are read.
void showNotes(QMenu* menu, const std::function<QString(const QString&)>& note)
{
    for (QAction* a : menu->actions()) {
        const QString path = a->property(kPathProperty).toString();
        if (path.isEmpty())
            continue;
        const QString extra = note(path);
        const QString base = a->property(kNameProperty).toString();
        a->setText(extra.isEmpty() ? base : base + u'\u3000' + extra);
    }
}

void addLines(QMenu* menu, const QList<LineEntry>& lines, bool separators,
              const LineMenuHandlers& handlers)
{
    QString group;
    for (const LineEntry& line : lines) {
        // A line between operators; numbered files are one operator's lines in order.
        if (separators && !group.isEmpty() && line.group != group && !numbered(line.group))
            menu->addSeparator();
        group = line.group;
        const QString path = line.path;
        const auto open = handlers.open;
        // A line with a section where no train runs for now says so after its name, and the
        // tooltip says where and since when.
        QString text = menuText(line.name);
        if (!line.meta.suspended.isEmpty()) {
            text += QStringLiteral("\u3000（運休区間あり）");
            menu->setToolTipsVisible(true);
        }
        QAction* a = menu->addAction(LineSwatch(line.meta.colour), text, menu,
                                     [open, path] { open(path); });
        if (!line.meta.suspended.isEmpty())
            a->setToolTip(SuspendedText(line.meta));
        a->setProperty(kPathProperty, path);
        a->setProperty(kNameProperty, text);
    }
}

// The submenus of a node note their lines as they open; the caller notes the node's own.
void addNode(QMenu* menu, const LineMenuNode& node, const LineMenuHandlers& handlers)
{
    for (const LineMenuNode& sub : node.submenus) {
        QMenu* child = menu->addMenu(menuText(sub.title));
        addNode(child, sub, handlers);
        giveAccessKeys(child);
        if (handlers.note) {
            const auto note = handlers.note;
            QObject::connect(child, &QMenu::aboutToShow, child,
                             [child, note] { showNotes(child, note); });
        }
    }
    if (!node.submenus.isEmpty() && !node.lines.isEmpty() && node.separators)
        menu->addSeparator();
    addLines(menu, node.lines, node.separators, handlers);
}

// Empties a menu made here before: its submenus go with their actions.
void clearMenu(QMenu* menu)
{
    menu->clear();
    qDeleteAll(menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
}

// What a menu shows of its lines: when this is the same, the menu made last time still holds.
QString signatureOf(const QList<LineEntry>& lines)
{
    QString out;
    for (const LineEntry& line : lines)
        out += line.path + u'|' + line.name + u'|' + line.group + u'|' + line.meta.colour + u'|'
            + line.meta.prefectures.join(u' ') + u'|' + SuspendedText(line.meta) + u'\n';
    return out;
}

// How many rows a menu may have on the screen it opens on: 25 on a 768-pixel screen at
// 96 dpi, fewer when the screen is scaled up; never so few that the menus multiply.
int rowsFitting(const QMenu* menu)
{
    const QScreen* screen = menu->screen();
    if (!screen)
        return kLineMenuLimit;
    const int row = std::max(menu->fontMetrics().height(), 16) + 6;
    // The task bar and the menu bar above the menu are left over.
    const int rows = (screen->availableGeometry().height() - 64) / row;
    return std::clamp(rows, 12, kLineMenuLimit);
}

// A region's menu, made the first time it opens and again only when its files changed: the
// heads of its files are read then, not when 路線一覧 opens.
void fillRegion(QMenu* menu, LineCatalogue& catalogue, const QString& libraryFolder,
                const QString& folder, const LineMenuHandlers& handlers)
{
    const LineRegion region = catalogue.region(libraryFolder, folder);
    // Made again on a screen of another size too.
    const int limit = rowsFitting(menu);
    const QString signature = QString::number(limit) + u'\n' + signatureOf(region.lines);
    if (menu->property(kSignatureProperty).toString() != signature) {
        clearMenu(menu);
        menu->setProperty(kSignatureProperty, signature);
        addNode(menu, SplitLineMenu(region.lines, region.folder, limit), handlers);
        if (region.lines.isEmpty())
            menu->addAction(QStringLiteral("（路線ファイルがありません）"))->setEnabled(false);
        giveAccessKeys(menu);
    }
    if (handlers.note)
        showNotes(menu, handlers.note);
}

} // namespace

QIcon LineSwatch(const QString& colour)
{
    static QHash<QString, QIcon> made;
    auto it = made.find(colour);
    if (it != made.end())
        return *it;
    const QColor fill
        = QColor::isValidColorName(colour) ? QColor::fromString(colour) : QColor(0xA8, 0xA8, 0xA8);
    QIcon icon;
    // Sharp at a scale factor of 1, 1.5 and 2.
    for (const int side : {16, 24, 32})
        icon.addPixmap(swatchPixmap(fill, side));
    return *made.insert(colour, icon);
}

bool FillLineMenu(QMenu* menu, LineCatalogue& catalogue, const QString& libraryFolder,
                  const QString& ownFolder, const LineMenuHandlers& handlers)
{
    const QList<LineRegion> regions = catalogue.regionFolders(libraryFolder);
    const QList<LineEntry> own = catalogue.lines(ownFolder);
    QString signature = signatureOf(own);
    for (const LineRegion& region : regions)
        signature += u'\n' + region.folder;
    if (menu->property(kSignatureProperty).toString() == signature && !menu->isEmpty())
        return false;
    clearMenu(menu);
    menu->setProperty(kSignatureProperty, signature);
    for (const LineRegion& region : regions) {
        QMenu* sub = menu->addMenu(region.title.isEmpty() ? QStringLiteral("その他")
                                                          : menuText(region.title));
        const QString folder = region.folder;
        QObject::connect(sub, &QMenu::aboutToShow, sub, [=, &catalogue] {
            fillRegion(sub, catalogue, libraryFolder, folder, handlers);
        });
    }
    menu->addSeparator();
    QMenu* mine = menu->addMenu(QStringLiteral("マイ路線(&M)"));
    mine->setObjectName(QStringLiteral("mnuMyLines"));
    // The player's own lines by name, as few as most players keep fit in one menu.
    addNode(mine, SplitLineMenu(own, QString(), kLineMenuLimit - 2), handlers);
    if (own.isEmpty())
        mine->addAction(QStringLiteral("（自分の路線ファイルはまだありません）"))
            ->setEnabled(false);
    if (handlers.openOwnFolder) {
        mine->addSeparator();
        mine->addAction(QStringLiteral("マイ路線のフォルダを開く(&O)..."), mine,
                        handlers.openOwnFolder);
    }
    giveAccessKeys(mine);
    giveAccessKeys(menu);
    if (handlers.note) {
        const auto note = handlers.note;
        QObject::connect(mine, &QMenu::aboutToShow, mine, [mine, note] { showNotes(mine, note); });
    }
    return true;
}
