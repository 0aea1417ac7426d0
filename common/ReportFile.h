#pragma once
// Saving a report of the report window as a text file.

#include <QString>
#include <QStringList>

// The text a report is saved as: the rich text when there is any (its line breaks written as
// CR LF), else every list row followed by CR LF.
QString ReportFileText(const QString& plainText, const QStringList& rows);

// Writes text as an ANSI file at path, replacing any old file as a whole (never half-written).
// On failure shows "An error occurred while writing " and the path, and returns false; a text the
// ANSI code page cannot hold is not written at all (UnwritableTextMessage).
bool SaveReportFile(const QString& path, const QString& text);
