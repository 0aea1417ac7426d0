#pragma once
// The settings file "preferences.txt" in the program folder: one line of ten
// comma-separated fields, written and read the way Basic's Write # and Input # statements
// write and read one record.
//
//   12000,9000,600,1200,"","","C:\Games\Rail Simulator",#FALSE#,"",""<CR><LF>
//
// Fields 1 to 4 are the main window's outer width, height, top and left in twips (16-bit
// signed), texts are in double quotes, the Boolean is #TRUE# or #FALSE#. Field 9 is
// reserved: whatever was read there is written back unchanged. The file is ANSI.

#include <QByteArray>
#include <QString>

struct PreferencesRecord {
    qint16 Width = 0;  // twips
    qint16 Height = 0; // twips
    qint16 Top = 0;    // twips
    qint16 Left = 0;   // twips
    QString TextureEditorPath;
    QString ViewerPath;
    QString GamePath;
    bool XmlEditorDefault = false;
    QString Reserved;
    QString AcrobatPath;

    // The four window values were all read and describe a window with a positive size.
    bool hasUsableGeometry(int fieldsRead) const { return fieldsRead >= 4 && Width > 0 && Height > 0; }
};

// Reads the fields of one record from the bytes, in the order of the record, into rec and
// returns how many were read (0 to 10). Reading stops at the end of the data and at a field
// that does not fit its type (a number outside the 16-bit range, a Boolean that is neither
// #TRUE# nor #FALSE#); fields not read keep the values rec held.
int ParsePreferences(const QByteArray& bytes, PreferencesRecord& rec);

// The same for a file; -1 when the file cannot be read (rec unchanged).
int ReadPreferences(const QString& path, PreferencesRecord& rec);

// The record as the file holds it, CR LF included. ok, when given, is false when a text field
// holds a character the ANSI code page cannot hold (the bytes then hold "?" for it).
QByteArray FormatPreferences(const PreferencesRecord& rec, bool* ok = nullptr);

// The first text field of the record that the ANSI code page cannot hold, or a null text.
QString UnwritablePreferencesField(const PreferencesRecord& rec);

// Replaces the file with the record (never half-written). False when it cannot be written; a
// record with a field the code page cannot hold is never written (the file stays as it was) and
// unwritable, when given, receives that field.
bool WritePreferences(const QString& path, const PreferencesRecord& rec, QString* unwritable = nullptr);

// "The settings could not be written to <path>." and, for a field the code page cannot hold,
// which one it is and that the file has not been changed.
QString PreferencesNotWrittenMessage(const QString& path, const QString& unwritable);

// A window measure in twips as the record holds it: rounded to the nearest integer (halves
// to the even neighbour) and held within the 16-bit range, so that a very large window or
// one parked far off-screen can still be saved.
qint16 ToRecordInteger(double twips);
