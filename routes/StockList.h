#pragma once
// The rolling stock a scenario uses: converting the scenario's "Scenario.bin" into the work
// folder, reading the blueprint references out of its XML, keeping the list sorted without
// duplicates, and the two reports built from the list (missing stock, bin paths to print).

#include "common/Serializer.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace routes {

// The hub's file in work: the hub registers a function that makes a game file, already
// converted into the work copy of its name in "TempFiles" (xml: that copy's text), the file its
// text page works on; the stock list hands it the scenario it converts. Unset, the hub is not
// told.
std::function<void(const QString& gameFile, const QString& xml)>& HubFileInWork();

// The "Scenario.bin" of scenario folder scenarioFolder of the route at routePath.
QString ScenarioBinPath(const QString& routePath, const QString& scenarioFolder);

// The work copy of a scenario in the program folder's "TempFiles": "Scenario." (the name up to
// and including its last "."), to which "bin" and "xml" are added.
QString ScenarioWorkBase(const QString& scenarioBin);

// Copies the scenario to its work copy ScenarioWorkBase & "bin" and converts that to
// ScenarioWorkBase & "xml", which is read into xml. On failure xml is left empty and the
// result names the file.
ConversionResult ConvertScenarioCopy(const QString& scenarioBin, QString& xml);

// The provider and product texts of the reference whose "<BlueprintID d:type" element starts
// at pos (0-based): the last "<Provider" and "<Product" elements between from (just past the
// reference before) and pos. Every search compares exactly. A text not found is empty.
void GetProviderProduct(QStringView text, qsizetype from, qsizetype pos, QString& provider, QString& product);

// Every rolling-stock reference of a scenario's XML, in the order they stand: for each
// "<BlueprintID d:type" element (exact case), provider & "\" & product & "\" & its text. A
// reference cut short (no ">" or no "<" after it) ends the walk.
QStringList StockReferences(const QString& scenarioXml);

// Sorts entries ignoring case, equal ones in exact order, so that exact equals stand together.
void SortStockList(QStringList& entries);

// Removes every entry that equals the one before it exactly (case counts).
void RemoveAdjacentDuplicates(QStringList& entries);

// The list the window shows: the references sorted, without duplicates.
QStringList StockList(const QString& scenarioXml);

// The blueprint file of an entry (gamePath & "\Assets\" & entry) and its binary form (the
// same without its last three characters, followed by "bin").
QString StockBlueprintPath(const QString& gamePath, const QString& entry);
QString StockBinPath(const QString& gamePath, const QString& entry);

// One line per entry whose blueprint exists neither as the named file nor as its binary form:
// the bin path & " is missing" & CR LF; "No Missing Rolling-Stock" when none is missing. An
// entry whose path leads out of the Assets folder is not looked up: its line is the bin path &
// " lies outside the Assets folder and was not followed" & CR LF. One behind a link that leads
// nowhere (a disk that is not mounted) is missing.
QString MissingStockReport(const QString& gamePath, const QStringList& entries);

// The bin path of every entry, each followed by CR LF; "" for an empty list.
QString PrintStockReport(const QString& gamePath, const QStringList& entries);

} // namespace routes
