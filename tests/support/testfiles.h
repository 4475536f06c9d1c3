// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing test files: line files as code page 932 bytes, and temporary folders.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The text encoded as code page 932 (every character must exist there).
QByteArray toCp932(const QString& text);
// Writes bytes to dir/name (or folder/name) and returns the path.
QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
QString writeFile(const QString& folder, const QString& name, const QByteArray& bytes);
// Writes a line file: the lines joined with CR LF, encoded as code page 932.
QString writeLineFile(const QTemporaryDir& dir, const QString& name, const QStringList& lines);
QString writeLineFile(const QString& folder, const QString& name, const QStringList& lines);
