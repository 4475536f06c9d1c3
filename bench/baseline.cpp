// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
// What any Qt window costs while it shows a clock: the yardstick the CPU figure measures the
// game against. A window of about the game's size with a focused, empty line edit (its cursor
// blinks, as the answer box's does) and a label whose text changes every 100 ms, as the time
// panel's does during a question. Nothing else: no sound, no menus, no status bar.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tabidori CPU baseline"));
    auto* layout = new QVBoxLayout(&window);
    auto* answer = new QLineEdit(&window);
    auto* time = new QLabel(QStringLiteral("10.0"), &window);
    layout->addWidget(answer);
    layout->addWidget(time);
    window.resize(550, 223);

    // Counts down 10.0 to 0.1 and over again, one tenth every 100 ms, on the same precise
    // timer kind the game waits on.
    int tenths = 100;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &window, [&] {
        tenths = tenths > 1 ? tenths - 1 : 100;
        time->setText(QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10));
    });
    tick.start(100);

    window.show();
    window.activateWindow();
    answer->setFocus();
    return QApplication::exec();
}
