#pragma once
// Cleaning up the game's route list "Routes.xml": line ends made uniform, every line
// re-indented with tabs and cut after its last ">", two accented letters made plain, and
// every line whose tag brackets do not pair up reported. The line rewriter also runs over
// the tree page's XML before it is converted back.
//
// Files are handled as ANSI text, so every byte the cleaning does not mean to
// change comes out as it went in (UTF-8 text included).

#include <QByteArray>
#include <QList>
#include <QString>

// The result of rewriting a text line by line.
struct TagBalanceResult {
    QString text;                // every line followed by CR LF
    QList<qint64> unpairedLines; // 1-based numbers of lines with "<" but no ">" or the reverse
};

// Rewrites text line by line. Lines end at CR or CR LF (a lone LF stays inside its line);
// after a final line end no empty line follows. Per line: everything before the first "<"
// becomes one tab per character; everything after the last ">" is cut (a line without ">"
// becomes empty); "ó" and "ü" in either case become "o" and "u".
TagBalanceResult CleanTagLines(const QString& text);

// Every CR LF and every lone LF becomes CR LF; a lone CR stays.
QString NormaliseLineEnds(const QString& text);

// The message for an unpaired line: the number follows "Line " with a blank of its own.
QString MismatchedTagMessage(qint64 line);

// True when the file name of path (after its last "\" or "/"), up to and including its last
// ".", is "Routes." in any letter case.
bool IsRoutesXmlName(const QString& path);

// The bytes of the text file at path, as CheckTagBalance reads them: a missing file raises
// VbError 53, one that cannot be opened 70, a failed read 57.
QByteArray ReadTagCheckFile(const QString& path);

// Rewrites the text file at path with CleanTagLines, showing one message per unpaired line,
// and writes it back with WriteTextFile (which reports a failed or empty write). Returns
// whether the write succeeded. A missing or unreadable file raises VbError 53 or 70 and
// leaves it unchanged.
bool CheckTagBalance(const QString& path);
// The same with the file's bytes, read by ReadTagCheckFile.
bool CheckTagBalance(const QString& path, const QByteArray& bytes);

// The "Check Routes.xml file" command: asks for the file, checks its name, copies it to the
// work folder, cleans it, moves the original to its backup name and writes the cleaned text
// in its place. When no backup name is free, or any step fails, the file stays as it was and
// a message says why. Never throws.
void CheckRoutesXmlFile();
