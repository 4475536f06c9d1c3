// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "linegroups.h"

#include <QMap>

#include <algorithm>

namespace {

// In the order of their numbers (JIS X 0401), north to south.
constexpr const char* kPrefectures[] = {
    "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県",   "福島県", "茨城県",
    "栃木県", "群馬県", "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県",
    "石川県", "福井県", "山梨県", "長野県", "岐阜県", "静岡県",   "愛知県", "三重県",
    "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県", "鳥取県", "島根県",
    "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県",   "高知県", "福岡県",
    "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県",
};

// The last prefecture number of each region folder.
struct RegionSpan
{
    int last;
    const char* folder;
};
constexpr RegionSpan kRegionSpans[] = {
    {1, "hokkaido"}, {7, "tohoku"},           {14, "kanto"},  {23, "chubu"},
    {30, "kinki"},   {39, "chugoku-shikoku"}, {47, "kyushu"},
};

// Lines too many for one menu, in runs of at most limit, each run named by its first and last
// line.
QList<LineMenuNode> runsOf(const QList<LineEntry>& lines, int limit)
{
    QList<LineMenuNode> out;
    for (qsizetype i = 0; i < lines.size(); i += limit) {
        LineMenuNode run;
        run.lines = lines.mid(i, limit);
        run.title = run.lines.front().name + u'～' + run.lines.back().name;
        out.append(run);
    }
    return out;
}

int groupsIn(const QList<LineEntry>& lines)
{
    int groups = 0;
    QString last;
    for (const LineEntry& line : lines) {
        if (groups == 0 || line.group != last)
            ++groups;
        last = line.group;
    }
    return groups;
}

// A menu of the lines as they come; too many become runs of their own.
LineMenuNode listOf(const QString& title, const QList<LineEntry>& lines, int limit)
{
    LineMenuNode node {title, {}, {}, true};
    if (lines.size() <= limit) {
        node.lines = lines;
        node.separators = lines.size() + groupsIn(lines) - 1 <= limit;
        return node;
    }
    node.submenus = runsOf(lines, limit);
    return node;
}

// Lines of one prefecture: the operators with the most lines get a submenu each, the largest
// first, until the menu fits; the rest stay as lines.
LineMenuNode byOperator(const QString& title, const QList<LineEntry>& lines, int limit)
{
    if (lines.size() <= limit)
        return listOf(title, lines, limit);
    QMap<QString, int> count;
    for (const LineEntry& line : lines) {
        // A hand-made file's group is a piece of its file name: no title for a submenu.
        if (!line.meta.operatorName.isEmpty())
            ++count[line.group];
    }
    QList<QString> operators = count.keys();
    std::stable_sort(operators.begin(), operators.end(),
                     [&](const QString& a, const QString& b) { return count[a] > count[b]; });
    qsizetype entries = lines.size();
    QList<QString> apart;
    for (const QString& op : operators) {
        if (entries <= limit || count[op] < 2)
            break;
        apart.append(op);
        entries -= count[op] - 1;
    }
    LineMenuNode node {title, {}, {}, true};
    QList<LineEntry> rest;
    for (const QString& op : apart) {
        QList<LineEntry> own;
        for (const LineEntry& line : lines) {
            if (line.group == op)
                own.append(line);
        }
        node.submenus.append(listOf(op, own, limit));
    }
    for (const LineEntry& line : lines) {
        if (!apart.contains(line.group))
            rest.append(line);
    }
    if (node.submenus.size() + rest.size() > limit) {
        // Still too long (many operators of one line each): the rest in runs.
        node.submenus += runsOf(rest, limit);
        rest.clear();
    }
    node.lines = rest;
    node.separators = node.submenus.size() + rest.size() + groupsIn(rest) - 1 <= limit;
    return node;
}

} // namespace

int PrefectureCode(const QString& name)
{
    for (int i = 0; i < int(std::size(kPrefectures)); ++i) {
        if (name == QString::fromUtf8(kPrefectures[i]))
            return i + 1;
    }
    return 0;
}

QString PrefectureRegion(const QString& name)
{
    const int code = PrefectureCode(name);
    for (const RegionSpan& span : kRegionSpans) {
        if (code > 0 && code <= span.last)
            return QString::fromLatin1(span.folder);
    }
    return {};
}

QString MenuPrefecture(const LineEntry& line, const QString& folder)
{
    for (const QString& p : line.meta.prefectures) {
        if (PrefectureRegion(p) == folder)
            return p;
    }
    return line.meta.prefectures.value(0);
}

LineMenuNode SplitLineMenu(const QList<LineEntry>& lines, const QString& folder, int limit)
{
    if (lines.size() <= limit)
        return listOf(QString(), lines, limit);
    // Prefectures north to south, a name of no prefecture after them; lines that name none
    // (hand-made files) last, as その他.
    QMap<std::pair<int, QString>, QList<LineEntry>> byPrefecture;
    for (const LineEntry& line : lines) {
        const QString p = MenuPrefecture(line, folder);
        const int code = PrefectureCode(p);
        byPrefecture[{p.isEmpty() ? 999 : code ? code : 100, p}].append(line);
    }
    if (byPrefecture.size() == 1)
        return byOperator(QString(), lines, limit);
    LineMenuNode node {QString(), {}, {}, false};
    for (auto it = byPrefecture.cbegin(); it != byPrefecture.cend(); ++it)
        node.submenus.append(
            byOperator(it.key().second.isEmpty() ? QStringLiteral("その他") : it.key().second,
                       it.value(), limit));
    if (node.submenus.size() > limit) {
        // Never with Japan's prefectures; a folder of many unknown names is listed in runs.
        return listOf(QString(), lines, limit);
    }
    return node;
}
