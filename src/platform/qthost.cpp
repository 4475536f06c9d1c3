// SPDX-License-Identifier: GPL-3.0-or-later
#include "qthost.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace platform {

QtHost::QtHost()
{
    clock_.start();
}

std::int32_t QtHost::tickCount()
{
    // Keep only the low 32 bits, as a millisecond counter of the system would.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(clock_.elapsed()));
}

void QtHost::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtHost::waitForEvents(int ms)
{
    if (ending())
        return;
    // Sleep in a local event loop: events are delivered as they come, and no core is spun.
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(qMax(0, ms));
    loop.exec();
}

Answer QtHost::messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title)
{
    if (ending())
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
    QString shown = text;
    box.setText(shown.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

void QtHost::beep()
{
    QApplication::beep();
}

QString QtHost::openFileName(const FileDialogSettings& settings)
{
    QFileDialog dialog(QApplication::activeWindow(), settings.title, settings.initialFolder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(settings.filters);
    // "*.*" means every file, as it always has on Windows; taken literally it would hide the
    // files without a dot. The entry keeps its text; only the files it lists change.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        auto* model = dialog.findChild<QFileSystemModel*>();
        if (model && f.endsWith(QLatin1String("(*.*)")))
            model->setNameFilters({QStringLiteral("*")});
    });
    if (!settings.filters.isEmpty())
        dialog.selectNameFilter(settings.filters.first());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

bool QtHost::openDocument(const QString& path)
{
    // The path travels as a URL, never through a shell.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtHost::setClipboardText(const QString& text)
{
    QApplication::clipboard()->setText(text);
}

QString QtHost::programFolder()
{
    return QCoreApplication::applicationDirPath();
}

void QtHost::endProgram()
{
    setEnding(true);
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        w->hide();
    // Leaves every running event loop, the nested ones of waits and modal windows included.
    QCoreApplication::exit(0);
}

} // namespace platform
