// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"
#include "fonts.h"
#include "host.h"
#include "qthost.h"
#include "tabidori.h"
#include "versioninfo.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstring>

namespace {

// What a terminal asks of any program, answered before a window could be wanted: --help and
// --version; and "/?" where there is no display to show its message box on (it would abort in
// the platform plugin).
int answerTerminal(int argc, char* argv[])
{
    const bool display = qEnvironmentVariableIsSet("DISPLAY")
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!std::strcmp(arg, "--version")) {
            const platform::VersionInfo& v = platform::versionInfo();
            std::printf("tabidori %d.%d.%d\n", v.major, v.minor, v.build);
            return 0;
        }
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")
            || (!std::strcmp(arg, "/?") && !display)) {
            QString help = OptionHelpText();
            help.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            std::printf("使い方: tabidori [線ファイル] [/SOUND=0] [/AUTOPLAY] [/GAMEMODE=n] [/?]\n"
                        "%s--help : この説明\n--version : 版\n",
                        help.toUtf8().constData());
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const int status = answerTerminal(argc, argv); status >= 0)
        return status;
    // The window is small and a panel changes ten times a second while a question waits.
    // Through X shared memory every repaint first waits for the server to finish the last one
    // (a round trip); sending a panel's few pixels over the socket costs less.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TabiDori"));
    QApplication::setQuitOnLastWindowClosed(false);
    // The windows' platform: message boxes, dialogs, the clipboard and the desktop.
    static platform::QtHost qtHost;
    platform::setDefaultHost(&qtHost);
    platform::registerFontSubstitutions();
    // The whole interface is Japanese, whatever the locale: Qt's own dialogs and buttons
    // (the file dialog, Yes and No) must not mix English into it.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);
    QApplication::setFont(QFont(QString::fromUtf8(platform::kProportionalGothic), 9));

    const int status = Main(QApplication::arguments().mid(1));
    if (status >= 0 || platform::ending())
        return status >= 0 ? status : 0;
    return app.exec();
}
