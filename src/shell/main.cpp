// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fonts.h"
#include "host.h"
#include "qthost.h"
#include "tabidori.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
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
