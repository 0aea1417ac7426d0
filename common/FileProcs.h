#pragma once
// Shared file and process procedures that every window calls: file and folder tests, whole
// text files, a recursive folder copy, running a program and waiting for it, ending processes
// by name, the folder picker, the registry reader, GUIDs, hexadecimal to decimal, a
// case-insensitive sort and the word-character test.
//
// Paths are the program's Windows-style texts (or native ones); every file-system access goes
// through platform::nativePath().

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>

// Root keys of the registry, as the Windows headers number them.
constexpr quint32 HKEY_CURRENT_USER = 0x80000001u;
constexpr quint32 HKEY_LOCAL_MACHINE = 0x80000002u;

// Ends every running process whose executable name ends with exeName, ignoring case. An
// empty name does nothing. This program's own process is left alone.
void KillProcessByName(const QString& exeName);

// A new GUID as upper-case hyphenated hexadecimal text (8-4-4-4-12, no braces). half1 gets
// the GUID's first eight bytes and half2 its last eight bytes, each read as one unsigned
// little-endian 64-bit number, in decimal. half2 is read on entry: its text is put in front
// of the hexadecimal digits (callers pass "").
QString NewGuid(QString& half1, QString& half2);
// The same for a given GUID in its 16-byte memory form (32-bit first field, two 16-bit
// fields, eight bytes; the fields little-endian).
QString NewGuidFromBytes(const std::array<quint8, 16>& bytes, QString& half1, QString& half2);

// The decimal text of a hexadecimal text (either case); "0" for an empty text and "" when a
// character is not a hexadecimal digit. Exact up to the 96-bit range of the Decimal type;
// beyond it VbError 6 "Overflow".
QString HexToDec(const QString& hexText);

// Copies the folder source with all its contents to destination (created when missing;
// a destination ending in a backslash receives the source folder by its own name). Existing
// files are replaced only when overwrite is true. The destination is taken as it is named, and
// a linked folder below it is written into as the folder it leads to; a link there that leads
// nowhere, or a linked file, stops the copy with error 70. Errors raise VbError: 76 "Path not
// found" (missing source, or a destination that cannot be made), 52 "Bad file name or number"
// (a destination name Windows does not allow), 58 "File already exists", 70 "Permission
// denied", and 5 for a destination inside the source, which is refused before anything is
// copied (a linked folder below the destination that leads into the source: before anything is
// written into it).
void CopyFolder(const QString& source, const QString& destination, bool overwrite = true);

// Raises VbError 52 "Bad file name or number" when a file or folder that path would make has
// a name Windows does not allow (a character of * ? < > | or the double quote); existing
// folders on the way are not judged.
void CheckNameToMake(const QString& path);

// True when text is not empty and every character is an ASCII letter or one of " $ ' , - .
bool IsWordChars(const QString& text);

// True when the file exists and can be opened for reading.
bool FileExists(const QString& path);

// True when the folder exists. One trailing backslash is removed from the caller's variable.
bool FolderExists(QString& path);
// For a path that is not a variable (a temporary or a constant): nothing to strip it from.
bool FolderExists(const QString& path);

// Creates a folder (and its parents) when it is missing. False when it cannot be made.
bool MakeFolder(const QString& folder);

// Copies a file to a path, replacing a file there. Copying a file onto itself does nothing.
// False when the copy failed; the target then keeps what it held.
bool CopyFileOver(const QString& source, const QString& target);

// Reads a whole text file into content: ANSI, or UTF-16 when the name ends in "mkr".
// Pending window events are processed once before the file is opened. A missing file leaves
// content unchanged; an empty file raises VbError 62 "Input past end of file"; an unreadable
// one VbError 70 "Permission denied".
void ReadTextFile(const QString& path, QString& content);

// A template or other program file read whole with ReadTextFile; false, with text empty, when
// the file is missing, unreadable or empty.
bool ReadWholeTextFile(const QString& path, QString& text);

// Writes content as an ANSI file, replacing the file as a whole (never half-written), then
// processes pending window events. On any failure (a new name that Windows does not allow
// included), and when content is empty (the empty file is still written), shows "An error
// occurred while writing " and the path, and returns false. A content that the ANSI code page
// cannot hold is not written at all: the message names the file and the line (UnwritableTextMessage).
bool WriteTextFile(const QString& path, const QString& content);

// Sorts list[low..high] in place, ignoring case (a recursive quicksort with the middle
// element as pivot). Indexes outside the list raise VbError 9.
void QuickSort(QStringList& list, int low, int high);

// Runs a Windows command line (window style: 0 hidden, 1 normal with focus, ...) and waits
// for its end, polling every 50 ms and processing window events between polls when
// pumpMessages is true. Returns the process id, or 0 when nothing started.
qint64 ShellAndWait(const QString& commandLine, bool pumpMessages, int windowStyle);
// The exit status of the last ShellAndWait: the program's exit code, -1 when it did not start
// or was ended by a signal.
int lastExitStatus();

// The folder picker; "" when cancelled.
QString BrowseForFolder(const QString& title);

// Reads a registry value: the default (an invalid QVariant when none is given) for a missing
// key; text for string and expandable-string values, a QByteArray for binary values, a qint32
// for 32-bit numbers and one text with NUL separators for multi-string values. A missing value
// or one of another type raises VbError 1001 "Unsupported value type". valueName "" reads the
// key's default value.
QVariant GetRegValue(quint32 hKey, const QString& subKey, const QString& valueName,
                     const QVariant& defaultValue = QVariant());
