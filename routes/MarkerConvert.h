#pragma once
// The marker converter's text work: GPS and map marker files (".kml", ".gpx", ".wpt", ".mkr")
// turned into the lines of a ".csv" file (one point a line, each ended by CR LF), and the X
// and Y values of a ".dcsv" number list set back at full precision from its Source ".csv".
//
// Nothing is parsed as XML: every input is searched as text, and every search compares
// exactly (letter case counts). Input that does not have the expected form never loops or
// reads past the text: the broken piece is skipped.

#include <QString>
#include <QStringList>

namespace routes {

enum class MarkerType { None, Kml, Gpx, Wpt, Mkr };

// The type of a marker file by the last four characters of its path, compared exactly
// (".KML" is no marker file).
MarkerType markerTypeOf(const QString& path);

// A ".kml" file. With "<longitude>" anywhere, each placemark gives longitude, latitude and its
// name (blanks trimmed from the ends, inner blanks turned into "_"); a placemark without
// "name>" or "<coordinates>" before the next placemark is skipped. Without "<longitude>" the
// first coordinate list gives one "longitude,latitude" line per point that is followed by
// ",0 ". hasCoordinates is false (and the result empty) when that list is missing.
QString kmlToCsv(const QString& text, bool& hasCoordinates);

// A ".gpx" file: the track points from "<trkseg>" on, or, without "<trkseg>", the waypoints;
// each gives "longitude,latitude".
QString gpxToCsv(const QString& text);

// A ".wpt" file: from the first line holding "1,1," on, each line gives its fourth field, a
// comma and its third field; lines with fewer than four fields are skipped.
QString wptToCsv(const QString& text);

// An ".mkr" file (already decoded from UTF-16): each "Marker (" record gives its first three
// blank-separated tokens joined by commas, the third being the rest of the record (the second
// may end at a tab instead, which is dropped); records with fewer than three tokens are
// skipped.
QString mkrToCsv(const QString& text);

// The ".csv" name of a marker file name: its last three characters replaced by "csv".
QString csvNameOf(const QString& markerFileName);

// The Source ".csv" of a ".dcsv" file below the game's "Assets" folder: gamePath & "\Source"
// & the part of the path after its first component "Assets" (exact case), with the last four
// characters replaced by "csv". Empty when the path has no such component.
QString dcsvSourcePath(const QString& gamePath, const QString& dcsvPath);

// Copies the values of the Source ".csv" lines into the ".dcsv" text: line i sets the i-th
// "X" element to the text before its first comma and the i-th "Y" element to the text after
// it, up to the next comma or the line's end. Empty lines are skipped; the walk ends at the
// first missing "<X" or "<Y", so extra lines change nothing. A non-empty line without a comma
// leaves the text unchanged and returns false with badLine its 1-based number.
bool improveDcsvPrecision(QString& dcsvText, const QString& sourceText, qsizetype* badLine = nullptr);

// The lines of a text, split at CR LF, LF or CR; a last empty line is not counted.
QStringList textLines(const QString& text);

} // namespace routes
