#pragma once
// The entries of a route's scenario list (its "Scenarios.bin" as XML text): one
// "cScenarioProperties" element per scenario, tied to its folder below the route's "Scenarios"
// by the element's "DevString", with the scenario's localised name after it. The route list
// and the scenario browser both find entries here, so that they always agree on which entry
// belongs to a folder.
//
// Texts are searched as one whole text, by tag name, ignoring case, positions counted from 1.

#include <QString>

// The start and end tags of one entry.
inline const QString kScenarioEntryStart = QStringLiteral("<cScenarioProperties");
inline const QString kScenarioEntryEnd = QStringLiteral("</cScenarioProperties>");

// The value of the "DevString" element whose start tag is at position p: the text between the
// last ">" at or before its end tag and the end tag. endTag receives the position of
// "</DevString" (0, with an empty result, when the element has no end tag).
QString DevStringValue(const QString& text, qsizetype p, qsizetype& endTag);

// One step of a walk over the "DevString" elements of a list: finds the next "<DevString" at
// or after p, leaves p on it, and reads its value and end tag as DevStringValue does. False
// when there is none, or when it has no end tag (nothing after it can be read then).
bool NextDevString(const QString& text, qsizetype& p, qsizetype& endTag, QString& value);

// The localised name that follows position e: the text of the "English" element, or when that
// is empty of "French", "Italian", "German" and "Spanish" in turn, each searched from the
// start of the element tried before; "" when all are empty. Elements that start at or after
// limit (the next entry; 0 for the end of the text) count as absent, so an entry without a
// name never takes its neighbour's. lastEndTag receives the position of the end tag of the
// last language element tried (e when none was found).
QString ReadLocalisedName(const QString& text, qsizetype e, qsizetype limit, qsizetype& lastEndTag);

// Where one entry stands in the list text (positions from 1).
struct ScenarioEntry {
    qsizetype start = 0;     // its "<cScenarioProperties"; 0 when no entry was found
    qsizetype devString = 0; // its "<DevString"
    qsizetype end = 0;       // its "</cScenarioProperties>", 0 when the entry is not closed
    explicit operator bool() const { return start > 0; }
};

// The first entry at or after position from whose "DevString" is the folder name, the whole
// of it (ignoring case): "S1" never finds the entry of "S10", nor a text that merely holds
// "S1" somewhere. A "DevString" that stands in no entry (no "<cScenarioProperties" before
// it, or that entry closed before it) is passed over.
ScenarioEntry FindScenarioEntry(const QString& text, const QString& folder, qsizetype from = 1);

// The same walk for entries of any element: entryStart ("<cRouteProperties") and entryEnd
// ("</cRouteProperties>") name it. With closedOnly an entry that is not closed after its
// "DevString" is passed over too; without it such an entry is found, with end 0.
ScenarioEntry FindDevStringEntry(const QString& text, const QString& folder, const QString& entryStart,
                                 const QString& entryEnd, bool closedOnly, qsizetype from = 1);
