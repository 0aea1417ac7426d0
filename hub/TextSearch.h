#pragma once
// Searching the text page's text. Positions count the characters of the text as the page
// shows it from 0, every line break being one "\n", so a search text that holds line
// breaks matches across lines.

#include <QList>
#include <QString>
#include <QStringView>

namespace hub {

// Options of a search (the values the text page's Find takes).
enum TextFindOption { TextFindWholeWord = 2, TextFindMatchCase = 4 };

// The search text with every line end (CR LF, LF or a lone CR) as one "\n", as the page
// shows its own.
QString searchLines(const QString& what);

// The position of the first match of what at or after start (and ending at or before end,
// when end is not negative); -1 when there is none, when what is empty or start lies
// outside the text. Letter case is ignored unless TextFindMatchCase is given; with
// TextFindWholeWord a match must not touch a letter or a digit on either side.
qsizetype findInText(QStringView text, QStringView what, qsizetype start, qsizetype end = -1, int options = 0);

// The positions of every match of what from the text's start, letter case ignored, each
// search beginning where the previous match ends (so the matches never overlap): what a
// replacement of all matches replaces. Empty when what is empty.
QList<qsizetype> matchesToReplace(QStringView text, QStringView what);

} // namespace hub
