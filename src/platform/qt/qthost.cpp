// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#include "qthost.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QUrl>
#include <QWidget>

namespace platform {

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

QString QtHost::folderName(const FileDialogSettings& settings)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), settings.title,
                                             settings.initialFolder);
}

QString QtHost::saveFileName(const FileDialogSettings& settings)
{
    QFileDialog dialog(QApplication::activeWindow(), settings.title, settings.initialFolder);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(settings.filters);
    // A name typed without its extension gets the first filter's: "成績" is saved as "成績.png".
    if (!settings.filters.isEmpty()) {
        static const QRegularExpression suffix(QStringLiteral("\\(\\*\\.(\\w+)"));
        const QRegularExpressionMatch m = suffix.match(settings.filters.first());
        if (m.hasMatch())
            dialog.setDefaultSuffix(m.captured(1));
        dialog.selectNameFilter(settings.filters.first());
    }
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

void QtHost::endProgram()
{
    setEnding(true);
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        w->hide();
    CoreHost::endProgram();
}

} // namespace platform
