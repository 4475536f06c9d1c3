// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line: a line file to load, autoplay, sound off and the game mode, read once while
// the main window loads.

#include <QString>
#include <QStringList>

extern bool gAutoPlay;

// The tokens of the program's own arguments: the shell has split them already, so each
// argument is one token whatever blanks or double quotes it holds; empty ones are dropped.
QStringList CommandLineTokens(const QStringList& arguments);

// Splits argument text at blanks and tabs (blanks around a token are dropped); a token that
// begins with a double quote runs to the next double quote. An empty token ends the text: a tab
// right after another separator stops processing there.
QStringList TokenizeArguments(const QString& text);

// Applies the options of the argument text to the start-up globals; loads a named line file,
// looking its name up exactly as given first and without regard to case only when that does
// not exist. "/?" shows the option help and ends the program.
void GetArrgment(const QString& argumentText);
void GetArrgment(const QStringList& tokens);

// The option help text and its title.
QString OptionHelpText();
QString OptionHelpTitle();
