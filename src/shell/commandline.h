#pragma once
// The command line: a line file to load, autoplay, sound off and the game mode, read once while
// the main window loads.

#include <QString>
#include <QStringList>

extern bool gAutoPlay;

// The argument text the program reads: the arguments joined by blanks, each one that holds a
// blank or a tab put in double quotes so that it survives as one token.
QString ArgumentText(const QStringList& arguments);

// Splits argument text at blanks and tabs (blanks around a token are dropped); a token that
// begins with a double quote runs to the next double quote. An empty token ends the text: a tab
// right after another separator stops processing there.
QStringList TokenizeArguments(const QString& text);

// Applies the options of the argument text to the start-up globals; loads a named line file.
// "/?" shows the option help and ends the program.
void GetArrgment(const QString& argumentText);

// The option help text and its title.
QString OptionHelpText();
QString OptionHelpTitle();
