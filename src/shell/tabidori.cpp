// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabidori.h"
#include "commandline.h"
#include "frmlogin.h"
#include "frmmain.h"
#include "frmsplash.h"
#include "host.h"
#include "lib_util.h"

#include <QPointer>

int Main(const QStringList& arguments)
{
    {
        frmLogin login;
        login.exec();
        if (platform::ending() || !login.LoginSucceeded)
            return 0;
    } // the log-on dialog is unloaded here

    // The splash shows the main window's icon, so the main window loads first: the command
    // line is read, the window shown, and with autoplay a whole game runs, all before the
    // splash is seen.
    auto* main = new frmMain;
    main->setAttribute(Qt::WA_DeleteOnClose, false);
    main->Form_Load(CommandLineTokens(arguments));
    if (platform::ending())
        return 0;

    QPointer<frmSplash> splash = new frmSplash(main->windowIcon());
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->setWindowRole(QStringLiteral("frmSplash"));
    splash->show();
    // The main window shows and takes the focus first; a window manager may stack the later
    // window below the active one. The splash belongs in front.
    splash->raise();
    splash->repaint();
    WaitTicks(2000);
    if (platform::ending())
        return 0;
    main->show();
    main->raise();
    main->activateWindow();
    if (splash)
        splash->Unload();
    return -1;
}
