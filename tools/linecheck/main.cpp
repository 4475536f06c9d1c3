// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// tabidori-linecheck: checks line files the way the game reads them, and their readings
// against the station dictionary when it is installed.

#include "linecheck.h"
#include "stationdictionary.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

void print(FILE* to, const QString& text)
{
    std::fputs(text.toUtf8().constData(), to);
    std::fputc('\n', to);
}

int usage()
{
    print(
        stderr,
        QStringLiteral(
            "使い方: tabidori-linecheck [--fill] [--strict] [--dictionary FILE] "
            "[--exceptions FILE] FILE...\n"
            "  路線ファイルをゲームと同じように読んで調べます。問題ごとに1行\n"
            "  (ファイル:行: 何が違うか (辞書の読み)) を出し、エラーがあれば 1 で終わります。\n"
            "  --fill          読みのない駅に辞書の読みが1つだけあれば、それを入れた写しを\n"
            "                  元のファイルの横に NAME.filled.txt として書きます (元は変えません)\n"
            "  --strict        辞書にない駅も、例外ファイルになければエラーにします\n"
            "  --dictionary F  駅名辞書 (既定: %1)\n"
            "  --exceptions F  辞書と違ってよい駅の一覧 (パス<TAB>駅名<TAB>読み<TAB>理由)")
            .arg(StationDictionary::defaultPath().isEmpty()
                     ? QStringLiteral("skk/SKK-JISYO.station (未インストール)")
                     : StationDictionary::defaultPath()));
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    bool fill = false;
    LineCheckOptions options;
    QString dictionaryPath = StationDictionary::defaultPath();
    bool dictionaryChosen = false;
    LineExceptions exceptions;
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--fill")) {
            fill = true;
        } else if (a == QLatin1String("--strict")) {
            options.strict = true;
        } else if (a == QLatin1String("--dictionary") && i + 1 < args.size()) {
            dictionaryPath = args[++i];
            dictionaryChosen = true;
        } else if (a == QLatin1String("--exceptions") && i + 1 < args.size()) {
            if (!exceptions.load(args[++i])) {
                print(stderr, QStringLiteral("例外ファイルを読めません: ") + args[i]);
                return 2;
            }
            options.exceptions = &exceptions;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            usage();
            return 0;
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage();
        } else {
            files << a;
        }
    }
    if (files.isEmpty())
        return usage();

    StationDictionary dictionary;
    if (dictionary.load(dictionaryPath)) {
        options.dictionary = &dictionary;
    } else {
        // Without the dictionary every other check still runs.
        print(stderr,
              QStringLiteral("駅名辞書がないので読みは辞書と比べません: ")
                  + (dictionaryPath.isEmpty() ? QStringLiteral("skk/SKK-JISYO.station")
                                              : dictionaryPath)
                  + (dictionaryChosen ? QString() : QStringLiteral(" (Debian の skkdic-extra)")));
        if (dictionaryChosen || fill || options.strict)
            return 2;
    }

    int errors = 0;
    for (const QString& file : files) {
        const LineCheck check = CheckLineFile(file, options);
        for (const LineProblem& p : check.problems) {
            const bool error = p.severity == LineProblem::Severity::Error;
            print(stdout,
                  QStringLiteral("%1:%2: %3: %4%5")
                      .arg(file)
                      .arg(p.line)
                      .arg(error ? QStringLiteral("エラー") : QStringLiteral("注意"), p.what,
                           p.dictionary.isEmpty()
                               ? QString()
                               : QStringLiteral(" (辞書: %1)").arg(p.dictionary)));
        }
        errors += check.errors();
        if (fill) {
            QString written, why;
            const int filled = FillReadings(file, dictionary, &written, &why);
            if (filled < 0) {
                print(stderr, file + QStringLiteral(": 書き出せません: ") + why);
                ++errors;
            } else {
                print(stdout,
                      QStringLiteral("%1: %2 駅の読みを入れて %3 に書きました")
                          .arg(file)
                          .arg(filled)
                          .arg(written));
            }
        }
    }
    return errors > 0 ? 1 : 0;
}
