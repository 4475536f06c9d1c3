// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xvfb.h"
#include "common.h"
#include "xwindowwatcher.h"

#include <QElapsedTimer>
#include <QProcess>

namespace bench {

QString startXvfb(QProcess& xvfb)
{
    xvfb.setStandardErrorFile(QProcess::nullDevice());
    xvfb.start(QStringLiteral("Xvfb"),
               // -noreset: the programs measured come and go; a reset between them could refuse
               // the next one's connection.
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                QStringLiteral("-dpi"), QStringLiteral("96"), QStringLiteral("-nolisten"),
                QStringLiteral("tcp")});
    if (!xvfb.waitForStarted(5000))
        fail(QStringLiteral("cannot start Xvfb"));
    QByteArray out;
    QElapsedTimer waited;
    waited.start();
    while (!out.contains('\n') && waited.elapsed() < 15000) {
        xvfb.waitForReadyRead(500);
        out += xvfb.readAllStandardOutput();
    }
    if (!out.contains('\n'))
        fail(QStringLiteral("Xvfb did not report its display"));
    return u':' + QString::fromLatin1(out.trimmed());
}

void stopXvfb(QProcess& xvfb)
{
    xvfb.terminate();
    xvfb.waitForFinished(3000);
}

QProcessEnvironment programEnvironment(const QString& display, const QString& runtimeDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    return env;
}

void startProgram(QProcess& child, QElapsedTimer& clock, const QString& program,
                  const QStringList& arguments, const QProcessEnvironment& env, XWindowWatcher& x)
{
    x.reset();
    child.setProcessEnvironment(env);
    child.setStandardOutputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    clock.start();
    child.start(program, arguments);
    if (!child.waitForStarted(10000))
        fail(QStringLiteral("cannot start ") + program);
}

} // namespace bench
