// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"
#include "gamestate.h"
#include "host.h"
#include "lib_util.h"
#include "sound.h"
#include "stationtable.h"
#include "versioninfo.h"

#include <QFileInfo>

#include <cmath>

bool gAutoPlay = false;

QStringList CommandLineTokens(const QStringList& arguments)
{
    QStringList tokens;
    for (const QString& a : arguments) {
        // `tabidori "$FILE" /AP` with an empty $FILE must not throw the options away.
        if (!a.isEmpty())
            tokens << a;
    }
    return tokens;
}

QStringList TokenizeArguments(const QString& text)
{
    static const QString separators = QStringLiteral(" \t\"");
    QStringList tokens;
    QString rest = text;
    while (!rest.isEmpty()) {
        QString sep = FindFirstDelimiter(rest, separators);
        QString token;
        if (sep == QLatin1String("\"") && !rest.startsWith(u'"')) {
            // A quote inside a token is an ordinary character: split at the blank or tab.
            sep = FindFirstDelimiter(rest, QStringLiteral(" \t"));
        }
        if (sep == QLatin1String("\"")) {
            const qsizetype close = rest.indexOf(u'"', 1);
            token = close < 0 ? rest.mid(1) : rest.mid(1, close - 1);
            rest = close < 0 ? QString() : TrimBlanks(rest.mid(close + 1));
            if (token.isEmpty())
                break;
            tokens << token;
            continue;
        }
        if (sep.isEmpty()) {
            token = rest;
            rest.clear();
        } else {
            token = LeftOfToken(rest, sep);
            rest = TrimBlanks(RightOfToken(rest, sep));
        }
        if (token.isEmpty())
            break;
        tokens << token;
    }
    return tokens;
}

QString OptionHelpText()
{
    static const char* const lines[] = {
        "[FileName] : 自動読み込みの線ファイル",
        "/SOUND=0 : サウンドを鳴らさない",
        "/AUTOPLAY : 起動後、自動的にプレイを開始する",
        "/GAMEMODE=n : プレイするモードを指定",
        "n=0 : 早打ちモード",
        "n=1 : 読み当てモード",
        "n=2 : 駅当てモード",
    };
    QString text;
    for (const char* line : lines)
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return text;
}

QString OptionHelpTitle()
{
    return platform::versionInfo().productName + QStringLiteral(" コマンドラインオプションヘルプ");
}

namespace {

// A mode the list cannot show falls back to the first mode.
std::int32_t modeFrom(double value)
{
    const double rounded = std::nearbyint(value); // halves to even
    if (!(rounded >= -1.0 && rounded <= 2.0))
        return kModeHayauchi;
    return std::int32_t(rounded);
}

} // namespace

void GetArrgment(const QString& argumentText)
{
    GetArrgment(TokenizeArguments(argumentText));
}

void GetArrgment(const QStringList& tokens)
{
    for (const QString& token : tokens) {
        if (token == QLatin1String("/?")) {
            platform::messageBox(OptionHelpText(), platform::Buttons::Ok,
                                 platform::Icon::Information, OptionHelpTitle());
            platform::host().endProgram();
            return;
        }
        if (token == QLatin1String("/AUTOPLAY") || token == QLatin1String("/AP")
            || token == QLatin1String("/autoplay") || token == QLatin1String("/ap"))
            gAutoPlay = true;

        if (StartsWith(token, QStringLiteral("/SOUND=0"), 1)
            || StartsWith(token, QStringLiteral("/SO=0"), 1)) {
            gSoundOn = 0;
        } else if (StartsWith(token, QStringLiteral("/GAMEMODE="), 1)) {
            gGameMode = modeFrom(LeadingNumber(token.mid(10)));
        } else if (StartsWith(token, QStringLiteral("/GM="), 1)) {
            gGameMode = modeFrom(LeadingNumber(token.mid(4)));
        } else {
            const QString upper = token.toUpper();
            if (upper.contains(QLatin1String(".TXT"))) {
                // On a file system that tells a.txt from A.TXT the name as typed comes first;
                // the upper-cased name also fails for names like "ß" whose capitals are longer.
                const QString found = ResolvePath(token);
                if (found.isEmpty()) {
                    gLineFilePath = upper;
                } else if (QFileInfo(found).isFile()) {
                    gLineFilePath = found;
                } else {
                    // A folder, a FIFO or a device by that name: the player is told now, with
                    // the name as typed, rather than meeting a name never typed at the start.
                    // The load refuses it without opening it.
                    gLineFilePath = token;
                    LoadLineFile(token);
                }
            }
            // Every further plain token loads the named file again, as it always has. A file
            // that is refused leaves no line file behind.
            if (FileExists(gLineFilePath) && !LoadLineFile(gLineFilePath))
                gLineFilePath.clear();
        }
    }
}
