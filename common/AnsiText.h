#pragma once
// Texts that go into ANSI files but that the system's code page cannot hold. A road that
// writes paths into a file (a batch file, the settings, a texture's header file) checks them
// before it makes or changes anything, and a file whose text does not fit is never written:
// no "?" ever stands in a path in place of a letter.

#include <QString>

#include <initializer_list>

// "The path <path> cannot be written in the system's code page (Windows-1252): it holds "ł"."
QString UnwritablePathMessage(const QString& path);

// The first of the paths that the code page cannot hold, or a null text when it holds them all.
QString FirstUnwritablePath(std::initializer_list<QString> paths);

// For a file that was not written because its text does not fit: the file, the character and
// the line of the text that holds it.
QString UnwritableTextMessage(const QString& file, const QString& text);
