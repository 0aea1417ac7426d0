#pragma once
// Tag-search text helpers: the small procedures that read and change the game's XML as one
// whole text, by searching for tag names and cutting and joining the text around them, plus
// the folder and list helpers that travel with them.
//
// Several windows carry their own copy of these procedures and the copies differ in a few
// points (exact or case-ignoring search, trimmed values, what position 0 means, which
// repairs UnEscapeText makes). There is one implementation, driven by a small Policy, and one
// namespace per window copy, so that every caller says which copy it uses:
//
//   tags::hub              the hub (frmEditor)
//   tags::routeList        the route list window (frmDelRoute)
//   tags::assetWindow      the asset list window (frmAssets)
//   tags::markerConverter  the marker converter (frmMarkers)
//   tags::scenarioEditor   the scenario editor window (frmZelvorn)
//   tags::scenarioBrowser  the route and scenario browser (frmShowRoutes)
//
// Positions count from 1; 0 means "not found" or "stop". A search from position p looks at
// the text starting with the character at p. A search for "<" & tag also stops at longer
// names that begin with the tag ("<Name" finds "<NameX") and at opening tags that carry
// attributes. The value of an element is the text between the ">" that ends its opening tag
// and the "</" that begins its closing tag.

#include "common/Vb.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace tags {

// What sets one window's copy apart from another's.
struct Policy {
    // How tag names are matched: Text ignores case, Binary compares character codes.
    vb::Compare compare = vb::Compare::Text;
    // PutDetail writes the value without its leading and trailing blanks.
    bool trimValue = false;
    // GetDetail from position 0 reads as "tag absent" (position 0, result kept) instead of
    // failing with the invalid-argument error.
    bool positionZeroIsNotFound = false;
    // UnEscapeText also repairs the mis-decoded "ü" and "ä" after "ß".
    bool umlautRepairs = false;
};

inline constexpr Policy hubPolicy{vb::Compare::Text, false, false, false};
inline constexpr Policy routeListPolicy{vb::Compare::Text, false, false, true};
inline constexpr Policy assetWindowPolicy{vb::Compare::Text, false, true, false};
inline constexpr Policy markerConverterPolicy{vb::Compare::Binary, false, false, false};
inline constexpr Policy scenarioEditorPolicy{vb::Compare::Text, true, false, false};
// The scenario editor's exact reader (GetDetailExact).
inline constexpr Policy scenarioEditorExactPolicy{vb::Compare::Binary, true, false, false};

// Text typed by the user as it goes into the XML: "&", "<" and ">" become "&amp;", "&lt;" and
// "&gt;"; an "&" that already starts one of XML's entities ("&amp;", "&lt;", "&gt;", "&quot;",
// "&apos;") or a character reference ("&#233;", "&#xE9;") is left alone, so text loaded from
// the file and saved unchanged stays as it was.
QString escapeBoxText(const QString& text);

// The one implementation of each shared procedure. Call these through a window's namespace.
namespace detail {

// From pos, finds "<" & tag, the next ">" after it and the next "</" & tag after that, and
// puts value between the ">" and the "</". pos becomes where "</" & tag stood before the
// change. When a search fails, pos is 0 or less, or any step fails, text is unchanged and pos
// becomes 0; it never throws.
void PutDetail(const Policy& policy, QString& text, qsizetype& pos, const QString& tag,
               const QString& value);

// The same searches; result receives the value and pos the position of "</" & tag. When
// "<" & tag is absent, pos becomes 0 and result keeps what it held. A tag found without a
// later ">" or closing tag, or a pos of 0 or less (position 0 only when the policy does not
// read it as "absent"), throws VbError 5.
void GetDetail(const Policy& policy, const QString& text, qsizetype& pos, const QString& tag,
               QString& result);

// Turns "&apos;" into "'", every "&amp;" into "&" until none is left (so "&amp;amp;" ends as
// "&"), and the three characters U+00EF U+00BF U+0178 into "ß"; with umlautRepairs also
// U+00EF U+00BF U+00BC into "ü" and U+00EF U+00BF U+00A4 into "ä", in that order. All
// searches ignore case. changed becomes true when anything was replaced; it is never set
// to false.
void UnEscapeText(const Policy& policy, QString& text, bool& changed);

// Deletes a folder tree, read-only entries included, ignoring every failure. Refuses (does
// nothing for) an empty path, a path ending in a separator, a bare drive ("c:") and a path
// whose last component is "." or "..", since each of those would name a parent's whole tree.
void DelAll(const QString& folder);

// Copies a sorted list without entries equal (ignoring case) to the entry before them in the
// input and without empty entries; the first entry is always copied. An empty list gives an
// empty list.
void RemD2(const QStringList& inList, QStringList& outList);

// The message RemD2 shows when it fails at run time.
QString remD2ErrorMessage(int errorNumber);

} // namespace detail

// The hub (frmEditor): case-ignoring searches, values written as given.
namespace hub {
inline const Policy& policy = hubPolicy;
inline void PutDetail(QString& text, qsizetype& pos, const QString& tag, const QString& value)
{ detail::PutDetail(policy, text, pos, tag, value); }
inline void GetDetail(const QString& text, qsizetype& pos, const QString& tag, QString& result)
{ detail::GetDetail(policy, text, pos, tag, result); }
inline void UnEscapeText(QString& text, bool& changed) { detail::UnEscapeText(policy, text, changed); }
inline void DelAll(const QString& folder) { detail::DelAll(folder); }
} // namespace hub

// The route list window (frmDelRoute): as the hub, and UnEscapeText also repairs "ü" and "ä".
namespace routeList {
inline const Policy& policy = routeListPolicy;
inline void PutDetail(QString& text, qsizetype& pos, const QString& tag, const QString& value)
{ detail::PutDetail(policy, text, pos, tag, value); }
inline void GetDetail(const QString& text, qsizetype& pos, const QString& tag, QString& result)
{ detail::GetDetail(policy, text, pos, tag, result); }
inline void UnEscapeText(QString& text, bool& changed) { detail::UnEscapeText(policy, text, changed); }
inline void DelAll(const QString& folder) { detail::DelAll(folder); }
inline void RemD2(const QStringList& inList, QStringList& outList) { detail::RemD2(inList, outList); }
} // namespace routeList

// The asset list window (frmAssets): as the hub, but GetDetail reads position 0 as "absent".
namespace assetWindow {
inline const Policy& policy = assetWindowPolicy;
inline void PutDetail(QString& text, qsizetype& pos, const QString& tag, const QString& value)
{ detail::PutDetail(policy, text, pos, tag, value); }
inline void GetDetail(const QString& text, qsizetype& pos, const QString& tag, QString& result)
{ detail::GetDetail(policy, text, pos, tag, result); }
inline void UnEscapeText(QString& text, bool& changed) { detail::UnEscapeText(policy, text, changed); }
inline void DelAll(const QString& folder) { detail::DelAll(folder); }

// The asset window's rename of a blueprint (its own PutLocalisedText, unlike the scenario
// editor's): from the first "<Name " (with the blank, ignoring case), PutDetail writes name
// into "Name", then into "English", "French", "Italian", "German" and "Spanish", each search
// starting where the one before left its position. The first absent element stops the chain
// (every later one stays as it was); without "<Name " nothing changes. Never throws.
void PutLocalisedTextChain(QString& text, const QString& name);
} // namespace assetWindow

// The marker converter (frmMarkers): PutDetail with exact searches.
namespace markerConverter {
inline const Policy& policy = markerConverterPolicy;
inline void PutDetail(QString& text, qsizetype& pos, const QString& tag, const QString& value)
{ detail::PutDetail(policy, text, pos, tag, value); }
} // namespace markerConverter

// The scenario editor window (frmZelvorn): PutDetail writes values trimmed of blanks; it also
// carries an exact reader and the localised-text, start-time and level helpers.
namespace scenarioEditor {
inline const Policy& policy = scenarioEditorPolicy;
inline void PutDetail(QString& text, qsizetype& pos, const QString& tag, const QString& value)
{ detail::PutDetail(policy, text, pos, tag, value); }
inline void GetDetail(const QString& text, qsizetype& pos, const QString& tag, QString& result)
{ detail::GetDetail(policy, text, pos, tag, result); }
// GetDetail with exact searches (the marker names of a route's track file).
inline void GetDetailExact(const QString& text, qsizetype& pos, const QString& tag, QString& result)
{ detail::GetDetail(scenarioEditorExactPolicy, text, pos, tag, result); }

// Writes value (as given, not trimmed) into the "English" element found from pos and, when
// a "French" element follows it, into "French", "Italian", "German" and "Spanish". Each
// language's value ends at its closing tag and starts after the last ">" before it. pos is
// not changed. A missing English element, or a missing Italian, German or Spanish element
// after a French one, throws VbError 5 (the languages before it stay written).
void PutLocalisedText(QString& text, qsizetype pos, const QString& value);

// The first non-empty language text of the localised text found from pos, in the order
// English, French, Italian, German, Spanish; empty when all are empty. A language element
// missing on the way throws VbError 5.
void GetLocalisedText(const QString& text, qsizetype pos, QString& result);

// PutDetail's searches (ignoring case); adds the element's value (read as a number, rounded
// half to even) to seconds, takes 86400 off a sum above 86400 (once), and writes the result
// back as a plain integer. pos becomes the closing tag's position as in PutDetail. A failed
// search or any failure sets pos to 0 and leaves the text unchanged.
void PutTime(QString& text, qsizetype& pos, const QString& tag, qint32& seconds);

// Adds offset seconds to every element whose name begins with "StartTime" in the scenario
// text (the editor passes the shared ScenarioText), processing window events after each.
void ShiftAllStartTimes(QString& scenarioText, qint32 offset);

// Exchanges the first two "e" elements after the first "<InitialLevel" of a vehicle's text.
// A missing InitialLevel or "e" element throws VbError 5 and leaves the text unchanged.
void SwapInitialLevels(QString& text);
} // namespace scenarioEditor

// The route and scenario browser (frmShowRoutes).
namespace scenarioBrowser {
inline void DelAll(const QString& folder) { detail::DelAll(folder); }
inline void RemD2(const QStringList& inList, QStringList& outList) { detail::RemD2(inList, outList); }
} // namespace scenarioBrowser

} // namespace tags
